#include "safety/backups.hpp"

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <system_error>

#include "link/identification.hpp"
#include "link/path_text.hpp"
#include "link/private_files.hpp"
#include "safety/state_folder.hpp"
#include "settings/data_file.hpp"
#include "settings/record.hpp"

namespace rcp::app {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kExtension = ".ini";
constexpr std::size_t kStampLength = 15;  // YYYYMMDD-HHMMSS

bool safeInName(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         c == '+' || c == '.';
}

// '-' separates the parts of the name, so a part never holds one.
std::string namePart(const std::string& text) {
  std::string part = text.empty() ? "_" : text;
  for (char& c : part)
    if (!safeInName(c)) c = '_';
  return part;
}

bool digitsAt(std::string_view text, std::size_t from, std::size_t count) {
  return std::all_of(text.begin() + from, text.begin() + from + count,
                     [](char c) { return c >= '0' && c <= '9'; });
}

// "20261209-140327-HX34s-3262001201[-2].ini" into its parts; nothing for any other name.
std::optional<Backup> parseName(const fs::path& file) {
  const std::string name = link::textOf(file.filename());
  if (name.size() <= kStampLength + kExtension.size() || !name.ends_with(kExtension)) return {};
  const std::string_view stamp(name.data(), kStampLength);
  if (!digitsAt(stamp, 0, 8) || stamp[8] != '-' || !digitsAt(stamp, 9, 6)) return {};
  std::string rest = name.substr(kStampLength, name.size() - kStampLength - kExtension.size());
  if (rest.empty() || rest[0] != '-') return {};
  rest.erase(0, 1);
  const std::size_t dash = rest.find('-');
  if (dash == std::string::npos || dash == 0) return {};
  Backup backup;
  backup.file = file;
  backup.time = std::string(stamp.substr(0, 4)) + "-" + std::string(stamp.substr(4, 2)) + "-" +
                std::string(stamp.substr(6, 2)) + " " + std::string(stamp.substr(9, 2)) + ":" +
                std::string(stamp.substr(11, 2)) + ":" + std::string(stamp.substr(13, 2));
  backup.model = rest.substr(0, dash);
  backup.number = rest.substr(dash + 1);
  if (const std::size_t again = backup.number.find('-'); again != std::string::npos)
    backup.number.erase(again);
  return backup;
}

// The plain name, or with "-2", "-3", ... before the extension.
fs::path numberedName(const fs::path& folder, const std::string& name, int n) {
  if (n < 2) return folder / name;
  const std::string stem = name.substr(0, name.size() - kExtension.size());
  return folder / (stem + "-" + std::to_string(n) + std::string(kExtension));
}

// A limit on the names tried, for a folder someone filled with them.
constexpr int kNamesTried = 10000;

void removeOldest(const fs::path& folder) {
  const std::vector<Backup> kept = listBackups(folder);
  std::error_code ec;
  for (std::size_t i = kKeptBackups; i < kept.size(); ++i) fs::remove(kept[i].file, ec);
}

}  // namespace

fs::path defaultBackupsFolder() {
  return stateFolder() / "backups";
}

std::string backupFileName(const std::tm& when, const std::string& model,
                           const std::string& number) {
  char stamp[kStampLength + 1] = {};
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &when);
  return std::string(stamp) + "-" + namePart(model) + "-" + namePart(number) +
         std::string(kExtension);
}

std::optional<std::string> folderProblem(const fs::path& folder, bool create) {
  std::error_code ec;
  const auto status = fs::status(folder, ec);
  if (fs::exists(status) && !fs::is_directory(status))
    return "备份文件夹 " + link::textOf(folder) + " 不是文件夹，而是一个文件。";
  if (!fs::exists(status)) {
    if (!create) return std::nullopt;
    fs::create_directories(folder, ec);
    if (ec) return "无法创建备份文件夹 " + link::textOf(folder) + "。";
    return std::nullopt;
  }
  if (!link::folderReadable(folder) || (create && !link::folderTakesFiles(folder)))
    return "没有权限使用备份文件夹 " + link::textOf(folder) + "。";
  return std::nullopt;
}

BackupOutcome keepBackup(settings::ProgramState& state, const fs::path& folder, std::time_t when) {
  if (auto problem = folderProblem(folder, false)) return {std::nullopt, *problem};
  if (auto error = link::makePrivateFolder(folder)) return {std::nullopt, *error};
  std::tm local{};
  localtime_r(&when, &local);
  const std::string model(link::matchModel(state.radioIdentity).model);
  const std::string number = settings::Record(state).text("Indivol");
  const std::string name = backupFileName(local, model, number);
  link::IniDocument document;
  settings::saveRecord(state, document);
  // Each name is created afresh, never through a link or over a file already there.
  fs::path file;
  link::NewFile created{EEXIST, {}};
  for (int n = 1; n <= kNamesTried && created.error == EEXIST; ++n) {
    file = numberedName(folder, name, n);
    created = link::createNewFile(file, document.fileBytes());
  }
  if (created.error != 0) return {std::nullopt, link::textOf(file) + "：" + created.reason};
  removeOldest(folder);
  auto backup = parseName(file);
  return {backup, {}};
}

std::vector<Backup> listBackups(const fs::path& folder) {
  std::vector<Backup> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    if (auto backup = parseName(it->path())) found.push_back(std::move(*backup));
  }
  // The name starts with the time, and a repeated name's "-n" sorts after the plain one.
  std::sort(found.begin(), found.end(), [](const Backup& a, const Backup& b) {
    const std::string an = link::textOf(a.file.filename()), bn = link::textOf(b.file.filename());
    if (an.compare(0, kStampLength, bn, 0, kStampLength) != 0) return an > bn;
    if (an.size() != bn.size()) return an.size() > bn.size();
    return an > bn;
  });
  return found;
}

std::string backupStatusText(const BackupOutcome& outcome) {
  if (outcome.backup) return "已备份：" + link::textOf(outcome.backup->file.filename());
  return "备份失败：" + outcome.error;
}

}  // namespace rcp::app
