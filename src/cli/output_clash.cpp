#include "cli/output_clash.hpp"

#include "cli/terminal_services.hpp"
#include "link/path_text.hpp"
#include "link/private_files.hpp"

namespace rcp::app {

namespace {

std::string clashText(const NamedFile& output, const NamedFile& other) {
  return std::string(output.what) + "“" + link::textOf(output.file) + "”与" + other.what + "“" +
         link::textOf(other.file) + "”是同一个文件：输出会毁掉它，未做任何操作。";
}

}  // namespace

std::optional<std::string> outputClash(const std::vector<NamedFile>& outputs,
                                       const std::vector<NamedFile>& inputs) {
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (outputs[i].file.empty()) continue;
    for (const NamedFile& input : inputs)
      if (!input.file.empty() && link::sameFile(outputs[i].file, input.file))
        return clashText(outputs[i], input);
    for (std::size_t j = i + 1; j < outputs.size(); ++j)
      if (!outputs[j].file.empty() && link::sameFile(outputs[i].file, outputs[j].file))
        return clashText(outputs[i], outputs[j]);
  }
  return std::nullopt;
}

bool outputsClash(const std::vector<NamedFile>& outputs, const std::vector<NamedFile>& inputs,
                  const CliStreams& io) {
  const auto clash = outputClash(outputs, inputs);
  if (clash) TerminalLines(io.err, false).line(*clash);
  return clash.has_value();
}

}  // namespace rcp::app
