// The "打开文件" command on any file: the file dialog names a file holding the input, the command
// opens it and checks the stop channels; then "存储文件" saves what the open left into a second
// file and the open command takes that one back.
//
// By default every outcome the commands report as a value (a missing section, a value that is no
// number, a rule that failed) is fine; crashes, undefined behaviour, leaks, hangs and errors
// escaping the commands are the findings. Built with RCP520_REOPEN_CHECK (the data_file_reopen
// target), a saved file that does not open again without any error is a finding too.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "headless_program.hpp"
#include "program/data_file_opening.hpp"
#include "settings/data_file.hpp"
#include "window/file_commands.hpp"

using namespace rcp;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto input = fuzz::scratch() / "input.ini";
  const auto saved = fuzz::scratch() / "saved.ini";
  fuzz::writeFile(input, std::string_view(reinterpret_cast<const char*>(data), size));
  std::filesystem::remove(saved);

  fuzz::HeadlessProgram headless;
  settings::ProgramState& state = headless.state();
  app::DataFileNames names;

  headless.dialogs.fileAnswers.push_back(input.string());
  app::OpenFileClick(state, names);

  const std::size_t shownBeforeSave = headless.dialogs.messages.size();
  headless.dialogs.fileAnswers.push_back(saved.string());
  app::SaveFileClick(state, names);
#ifdef RCP520_REOPEN_CHECK
  if (headless.dialogs.messages.size() != shownBeforeSave)
    fuzz::finding("saving failed: " + headless.dialogs.messages.back().text);
  if (const auto error = app::openDataFileAndCheck(state, saved))
    fuzz::finding("a file the tool saved does not open again: " + error->message);
#else
  (void)shownBeforeSave;
  headless.dialogs.fileAnswers.push_back(saved.string());
  app::OpenFileClick(state, names);
#endif
  return 0;
}
