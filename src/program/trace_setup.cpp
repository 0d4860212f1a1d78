#include "program/trace_setup.hpp"

#include <cstdlib>

#include "link/path_text.hpp"

namespace rcp::app {

std::optional<std::string> takeTraceOption(std::vector<std::string_view>& args) {
  const std::string_view option = kTraceOption;
  std::optional<std::string> file;
  for (std::size_t i = 0; i < args.size();) {
    if (args[i] == option) {
      if (i + 1 >= args.size()) return std::nullopt;
      file = std::string(args[i + 1]);
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                 args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    } else if (args[i].starts_with(option) && args[i].size() > option.size() &&
               args[i][option.size()] == '=') {
      file = std::string(args[i].substr(option.size() + 1));
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
  if (file && file->empty()) return std::nullopt;
  if (file) return file;
  const char* variable = std::getenv(kTraceVariable);
  return std::string(variable ? variable : "");
}

TracedLink::TracedLink(link::Port& port, link::Clock& clock, const std::string& file)
    : port_(port), clock_(clock), file_(file) {
  if (file.empty()) return;
  log_ = std::make_unique<link::TraceLog>(link::pathOf(file), clock);
  if (!log_->ok()) {
    failed_ = true;
    reason_ = log_->reason();
    log_.reset();
    return;
  }
  tracedPort_ = std::make_unique<link::TracedPort>(port, *log_);
  tracedClock_ = std::make_unique<link::TracedClock>(clock, *log_);
}

std::string TracedLink::failureMessage() const {
  // The system's own reasons are not in the user's language; the refusal of a device is.
  const bool refused = reason_ == link::kNotRegularReason;
  return "无法写入跟踪文件“" + file_ + "”" + (refused ? "：" + reason_ : std::string());
}

}  // namespace rcp::app
