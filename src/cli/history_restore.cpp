#include "cli/history_restore.hpp"

#include <system_error>

#include "cli/history_show.hpp"
#include "cli/terminal_services.hpp"
#include "cli/write.hpp"
#include "link/private_files.hpp"

namespace rcp::app {

namespace {

// A folder of a random name only this user can enter, removed with what it holds.
class PrivateTemporaryFolder {
 public:
  PrivateTemporaryFolder() : path_(link::makePrivateTemporaryFolder()) {}
  ~PrivateTemporaryFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  PrivateTemporaryFolder(const PrivateTemporaryFolder&) = delete;
  PrivateTemporaryFolder& operator=(const PrivateTemporaryFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace

int cliHistoryRestore(const HistoryPlace& place, const std::string& id, const std::string& device,
                      const CliStreams& io, const CliSafety& safety) {
  TerminalLines lines(io.err, false);
  std::optional<history::Event> event;
  {
    const auto database = openHistory(place, io);
    if (!database) return kExitUsageFileOrPort;
    event = configurationOf(*database, id, io);
    if (!event) return kExitUsageFileOrPort;
  }
  // The write takes a data file: the entry's, in a folder of its own for the write's time.
  const PrivateTemporaryFolder folder;
  const std::filesystem::path file =
      folder.path() / ("history-" + std::to_string(event->id) + ".ini");
  if (folder.path().empty() || link::createNewFile(file, event->dataFile).error != 0) {
    lines.line("无法准备历史记录 #" + std::to_string(event->id) +
               " 的数据文件（临时文件夹不可用）。");
    return kExitUsageFileOrPort;
  }
  lines.line("写回历史记录 #" + std::to_string(event->id) + "（" + event->time + " " +
             std::string(history::naming(event->operation).word) + "，个人号 " +
             (event->numberAfter.empty() ? "-" : event->numberAfter) + "）。");
  return cliWrite(device, file, io, safety);
}

}  // namespace rcp::app
