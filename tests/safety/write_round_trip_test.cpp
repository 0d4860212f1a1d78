// The write's own check that what it sends comes back as itself: the check and the write refuse
// the same values with the same words, and random valid files written to the in-process radio
// read back key for key.

#include "safety/write_round_trip.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "cli/check.hpp"
#include "fleet/fleet_run.hpp"
#include "link/identification.hpp"
#include "link/ini_document.hpp"
#include "program/data_file_opening.hpp"
#include "review/config_check.hpp"
#include "settings/data_file.hpp"
#include "settings/data_file_keys.hpp"
#include "support/saved_file.hpp"
#include "support/test_program.hpp"
#include "ui/number_text.hpp"
#include "window/transfer_commands.hpp"

namespace rcp::app {
namespace {

namespace fs = std::filesystem;
using test::KeyValues;

std::string slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::map<std::string, std::string> keysOf(const fs::path& file) {
  const link::IniDocument document(slurp(file));
  std::map<std::string, std::string> keys;
  for (const settings::DataFileKey& key : settings::dataFileKeys())
    if (auto value = document.value(settings::kDataFileSection, key.key)) keys[key.key] = *value;
  return keys;
}

bool sameNumber(const std::string& a, const std::string& b) {
  const auto x = ui::parseInt64(a), y = ui::parseInt64(b);
  return x && y && *x == *y;
}

// The window's write of a data file on the in-process radio.
struct WriteSeen {
  WriteReport report;
  std::vector<ui::Message> messages;
  std::string line;                         // what the write put on the line
  std::map<std::string, std::string> sent;  // the record as opened, saved as a data file
};

WriteSeen writeFile(test::TestProgram& app, const fs::path& file) {
  app.clock.pause(1000);
  app.port.settle();
  EXPECT_FALSE(openDataFileAndCheck(app.state(), file));
  const fs::path opened = file.parent_path() / "opened.ini";
  fs::remove(opened);
  EXPECT_FALSE(settings::saveDataFile(app.state(), opened));
  app.dialogs.messages.clear();
  app.port.clearEvents();
  TransferMemory memory;
  const WriteReport report = WriteDataClick(app.state(), memory, {}, RestoreOffer::Ask);
  return {report, app.dialogs.messages, app.written(), keysOf(opened)};
}

struct Unfaithful {
  const char* what;
  KeyValues changes;
  const char* field;           // the field the check and the write name
  const char* text = nullptr;  // the whole message, where it is pinned
  bool cpsx = false;           // on a record saved under the CPSX scheme
};

const std::vector<Unfaithful>& unfaithful() {
  static const std::vector<Unfaithful> rows = {
      {"an individual range start outside the own fleet",
       {{"IndivolStart", "2001199"}},
       "IndivolStart",
       "个呼范围 “2001199” 写入电台后将读回为空，不能写入。"},
      {"an individual range start in another fleet", {{"IndivolStart", "3000500"}}, "IndivolStart"},
      {"an individual range stop past the fleet", {{"IndivolStop", "2002300"}}, "IndivolStop"},
      {"a group range start below the groups", {{"GrpStart", "5500899"}}, "GrpStart"},
      {"a group range start in another fleet", {{"GrpStart", "5501900"}}, "GrpStart"},
      {"a hidden group of another group fleet", {{"HideGroup1", "3262001900"}}, "HideGroup1"},
      {"a waiting group of nine digits",
       {{"MoreGrpDisp", "True"}, {"WaitGroup1", "326550090"}},
       "WaitGroup1"},
      {"a hidden group stored as ident 0",
       {{"GroupFleet", "2001"}, {"HideGroup1", "3262001898"}},
       "HideGroup1"},
      {"a CPSX hidden group below the fleet's groups",
       {{"HideGroup1", "32620899"}},
       "HideGroup1",
       nullptr,
       true},
      {"a CPSX group below the fleet's groups", {{"Group2", "32620899"}}, "Group2", nullptr, true},
      {"a CPSX waiting group",
       {{"MoreGrpDisp", "True"}, {"WaitGroup1", "32621950"}},
       "WaitGroup1",
       nullptr,
       true},
      {"a CPSX dynamic group",
       {{"DynaCode", "True"}, {"DynaGroup", "32620850"}},
       "DynaGroup",
       nullptr,
       true},
      {"a CPSX own number of a level-4 fleet",
       {{"Block", "四级队"}, {"Indivol", "32620950"}},
       "Indivol",
       nullptr,
       true},
      {"a route number the radio keeps as unused",
       {{"无线局向号1", "255"}, {"对应系统号1", "5"}},
       "无线局向号1"},
      {"a segment frequency below the band", {{"FirstRxFreq", "2500000"}}, "FirstRxFreq"},
      {"an off-network frequency above the band",
       {{"Simplex9RxFreq", "9000000"}},
       "Simplex9RxFreq"},
      {"a largest individual number out of range", {{"MaxIndivol", "950"}}, "MaxIndivol"},
      {"a largest group number out of range", {{"MaxFleet", "50"}}, "MaxFleet"},
      {"a hidden group above 2^32", {{"HideGroup1", "7560468196"}}, "HideGroup1"},
      {"a hidden group that is negative", {{"HideGroup1", "-5"}}, "HideGroup1"},
      {"a hidden group of 19 digits", {{"HideGroup3", "3262001901326200190"}}, "HideGroup3"},
      {"a waiting group that is no number",
       {{"MoreGrpDisp", "True"}, {"WaitGroup40", "abc"}},
       "WaitGroup40",
       "守候组48 “abc” 写入电台后将读回为空，不能写入。"},
      {"a hidden group in Chinese digits", {{"HideGroup8", "一二三"}}, "HideGroup8"},
  };
  return rows;
}

// Every value the write would store as another: the check names the field, the write shows the
// same words before anything goes on the line.
TEST(WriteRoundTrip, TheCheckAndTheWriteRefuseTheSameValuesAlike) {
  for (const Unfaithful& row : unfaithful()) {
    test::TempDir dir;
    const fs::path file = test::savedFile(dir / "row.ini", row.changes, row.cpsx);
    const DataFileCheck check = checkDataFile(file);
    if (check.openError) {
      // A value no data file can hold: the file does not open for the write either.
      test::TestProgram app;
      EXPECT_TRUE(openDataFileAndCheck(app.state(), file)) << row.what;
      continue;
    }
    std::set<std::string> named;
    for (const CheckWarning& w : check.warnings) named.insert(w.field);
    EXPECT_TRUE(named.contains(row.field)) << row.what << [&] {
      std::string all;
      for (const CheckWarning& w : check.warnings) all += "\n  " + w.field + ": " + w.text;
      return all;
    }();

    test::TestProgram app;
    const RoundTrip trip = checkWriteRoundTrip(app.state());
    EXPECT_FALSE(trip.refused()) << "a fresh record";
    const WriteSeen seen = writeFile(app, file);
    if (!checkWriteRoundTrip(app.state()).refused()) {
      // Refused by a window rule only: the check names it, and the window's rule stops it when
      // the field is left.
      EXPECT_EQ(std::string(row.field).starts_with("Max"), true) << row.what;
      continue;
    }
    EXPECT_EQ(seen.report.outcome, image::TransferOutcome::Failed) << row.what;
    EXPECT_FALSE(seen.report.started) << row.what;
    EXPECT_EQ(seen.line, "") << row.what;
    ASSERT_EQ(seen.messages.size(), 1u) << row.what;
    EXPECT_EQ(seen.messages[0].caption, "读写数据") << row.what;
    // The check's warning for the field has the very words of the write's box.
    bool same = false;
    for (const CheckWarning& w : check.warnings)
      same = same ||
             (w.caption == "读写数据" && seen.messages[0].text.find(w.text) != std::string::npos);
    EXPECT_TRUE(same) << row.what << ": " << seen.messages[0].text;
    if (row.text) {
      EXPECT_EQ(seen.messages[0].text, row.text) << row.what;
    }
  }
}

TEST(WriteRoundTrip, CliCheckPrintsTheWritesOwnWordsAndExits1) {
  test::TempDir dir;
  std::ostringstream out, err;
  EXPECT_EQ(cliCheck(test::savedFile(dir / "r.ini", {{"IndivolStart", "2001199"}}), {out, err}),
            kExitFound);
  EXPECT_NE(out.str().find("用户信息 › MPT1343 › 个呼范围 “2001199”：[读写数据] 个呼范围 “2001199” "
                           "写入电台后将读回为空，不能写入。\n"),
            std::string::npos)
      << out.str();
}

// A value inside 0 to 65535 is not refused as out of that range: the refusal says what is wrong.
TEST(WriteRoundTrip, ARefusalNamesWhatIsWrongNotTheWordRange) {
  for (const char* scheme : {"MPT1343", "CPSX"}) {
    for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
             {"IndivolStart", "20100"}, {"GrpStart", "20899"}, {"HideGroup1", "32610900"}}) {
      test::TempDir dir;
      const auto file = test::savedFile(dir / "r.ini", {{"DiallingScheme", scheme}, {key, value}});
      test::TestProgram app;
      const WriteSeen seen = writeFile(app, file);
      for (const ui::Message& m : seen.messages)
        EXPECT_EQ(m.text.find("0--65535"), std::string::npos)
            << scheme << " " << key << ": " << m.text;
      for (const CheckWarning& w : checkDataFile(file).warnings)
        EXPECT_EQ(w.text.find("0--65535"), std::string::npos)
            << scheme << " " << key << ": " << w.text;
    }
  }
}

// The fleet checks every radio's record with the same function: one member whose range would
// come back otherwise stops the run before anything is sent.
TEST(WriteRoundTrip, TheFleetsCheckRefusesWhatTheWriteWould) {
  test::TempDir dir;
  const link::IniDocument templ(
      slurp(test::savedFile(dir / "t.ini", {{"IndivolStart", "2001200"}})));
  const std::vector<FleetMember> members = {
      {"3262001201", {{"Indivol", "3262001201"}}},
      {"3262001202", {{"Indivol", "3262001202"}, {"IndivolStart", "2001199"}}}};
  const std::vector<FleetProblem> problems = checkFleet(templ, members);
  // The window's range rule warns of it too.
  bool refused = false;
  for (const FleetProblem& p : problems) {
    EXPECT_EQ(p.member, 1u) << p.text;
    refused = refused || p.text.find("“2001199” 写入电台后将读回为空") != std::string::npos;
  }
  EXPECT_TRUE(refused);
}

// The radio's own changes are notes of the check, never warnings or refusals.
TEST(WriteRoundTrip, ChangesOnPurposeAreNotesNotRefusals) {
  test::TempDir dir;
  const auto file = test::savedFile(dir / "notes.ini", {{"Version", "Old"},
                                                        {"MaxPhoneNumber", "6"},
                                                        {"Simplex17RxFreq", "3610250"},
                                                        {"Simplex17TxFreq", "3610250"}});
  const DataFileCheck check = checkDataFile(file);
  ASSERT_FALSE(check.openError);
  EXPECT_TRUE(check.warnings.empty()) << check.warnings[0].text;
  std::set<std::string> noted;
  for (const CheckWarning& n : check.notes) noted.insert(n.field);
  EXPECT_EQ(noted, (std::set<std::string>{"Version", "MaxPhoneNumber", "Simplex16RxFreq"}));
  std::ostringstream out, err;
  EXPECT_EQ(cliCheck(file, {out, err}), kExitDone);
  EXPECT_NE(out.str().find("注："), std::string::npos) << out.str();
  test::TestProgram app;
  const WriteSeen seen = writeFile(app, file);
  EXPECT_EQ(seen.report.outcome, image::TransferOutcome::Done);
  EXPECT_TRUE(seen.messages.empty());
}

// Keys the radio changes on purpose, by model: told by the check as notes.
bool changedOnPurpose(const std::string& key, const link::Identification& model) {
  if (key == "Version") return true;
  if (model.presetSimplex && key.starts_with("Simplex1") && key.size() > 8 && key[8] >= '6')
    return true;
  return false;
}

// The file written to the radio and read back: no refusal, every key as it was but the notes and
// the changes the model makes on purpose.
void expectWrittenAndReadBack(test::TestProgram& app, const fs::path& file,
                              const DataFileCheck& check, const std::string& what) {
  const WriteSeen seen = writeFile(app, file);
  const auto& sent = seen.sent;
  ASSERT_EQ(seen.report.outcome, image::TransferOutcome::Done)
      << what << ": " << (seen.messages.empty() ? std::string() : seen.messages[0].text) << "\n"
      << slurp(file);
  ASSERT_TRUE(seen.messages.empty()) << what << ": " << seen.messages[0].text;
  app.clock.pause(1000);
  app.port.settle();
  TransferMemory memory;
  ASSERT_EQ(ReadDataClick(app.state(), memory).outcome, image::TransferOutcome::Done) << what;
  const fs::path back = file.parent_path() / "back.ini";
  fs::remove(back);
  ASSERT_FALSE(settings::saveDataFile(app.state(), back));
  const auto got = keysOf(back);
  const link::Identification identified =
      link::identify(app.state().radioIdentity, link::IdentifyPurpose::Write);
  std::set<std::string> noted;
  for (const CheckWarning& w : check.notes) noted.insert(w.field);
  for (const auto& [key, value] : sent) {
    if (noted.contains(key) || changedOnPurpose(key, identified)) continue;
    const auto it = got.find(key);
    // "0160" and "160" are the same value, as an open takes them.
    if (it != got.end() && sameNumber(it->second, value)) continue;
    EXPECT_EQ(it == got.end() ? std::string("(none)") : it->second, value) << key << " of " << what;
  }
}

// Random values of the kinds a dealer types, each field inside what its box offers; the check
// decides which files are valid. (The start-up text and password are not among them: an open
// leaves them as the window has them.)
class RandomRecord {
 public:
  explicit RandomRecord(std::mt19937& rng) : rng_(rng) {}

  KeyValues make(bool cpsx) {
    KeyValues keys;
    const auto put = [&](const std::string& key, std::string value) {
      keys.emplace_back(key, std::move(value));
    };
    const int first = between(1, 500);
    put("FirstChannel", std::to_string(first));
    put("FirstStop", std::to_string(between(first, 1024)));
    for (int k = 1; k <= 10; ++k)
      put("PhoneNumber" + std::to_string(k),
          digits(static_cast<std::size_t>(between(0, cpsx ? 8 : 12))));
    for (int ch = 10; ch <= 15; ++ch)
      for (const char* end : {"RxFreq", "TxFreq"})
        put("Simplex" + std::to_string(ch) + end, std::to_string(3510250 + 125 * between(0, 8000)));
    if (cpsx) {
      const int large = between(1, 10), medium = between(large, 10);
      put("LargeBlock", std::to_string(large));
      put("MediumBlock", std::to_string(medium));
      put("SmallBlock", std::to_string(between(medium, 10)));
      for (int k = 1; k <= 8; ++k)
        put("Group" + std::to_string(k),
            between(0, 3) ? "32620" + std::to_string(between(900, 909)) : "");
      for (int k = 1; k <= 8; ++k)
        put("HideGroup" + std::to_string(k),
            between(0, 1) ? "32620" + std::to_string(between(900, 909)) : "0");
      return keys;
    }
    put("Indivol", "3262001" + std::to_string(between(200, 899)));
    const int a = between(200, 899), b = between(a, 899);
    put("IndivolStart", "2001" + std::to_string(a));
    put("IndivolStop", "2001" + std::to_string(b));
    const int g = between(900, 998), h = between(g, 998);
    put("GrpStart", "5500" + std::to_string(g));
    put("GrpStop", "5500" + std::to_string(h));
    for (int k = 1; k <= 8; ++k)
      put("Group" + std::to_string(k),
          between(0, 3) ? "3265500" + std::to_string(between(900, 998)) : "");
    for (int k = 1; k <= 8; ++k)
      put("HideGroup" + std::to_string(k),
          between(0, 1) ? "3265500" + std::to_string(between(900, 998)) : "0");
    return keys;
  }

 private:
  int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
  std::string digits(std::size_t n) {
    std::string out;
    while (out.size() < n) out += static_cast<char>('0' + between(0, 9));
    return out;
  }
  std::mt19937& rng_;
};

// Random valid files of both schemes written to each model's radio and read back: no refusal,
// every key as it was but the changes the radio makes on purpose.
TEST(WriteRoundTrip, RandomValidFilesComeBackKeyForKey) {
  test::TempDir dir;
  std::mt19937 rng(25);
  RandomRecord random(rng);
  int valid = 0, tried = 0;
  // 1,040 files in an optimised build; a sanitised or debug build checks a sample.
#ifdef NDEBUG
  constexpr int kFilesPerModelAndScheme = 52;
#else
  constexpr int kFilesPerModelAndScheme = 4;
#endif
  for (const bool cpsx : {false, true}) {
    for (const sim::ModelIdentity& model : sim::modelIdentities()) {
      test::TestProgram app(true, model.model);
      for (int made = 0, n = 0; made < kFilesPerModelAndScheme && n < 3 * kFilesPerModelAndScheme;
           ++n) {
        ++tried;
        const fs::path file = dir / "random.ini";
        fs::remove(file);
        test::savedFile(file, random.make(cpsx), cpsx);
        const DataFileCheck check = checkDataFile(file);
        if (check.openError || !check.warnings.empty()) {
          if (std::getenv("RT_DEBUG"))
            for (const CheckWarning& w : check.warnings)
              std::cerr << w.field << " " << w.value << " " << w.text << "\n";
          continue;
        }
        ++made;
        ++valid;
        expectWrittenAndReadBack(
            app, file, check,
            std::string(model.model) + (cpsx ? " CPSX " : " MPT1343 ") + std::to_string(n));
        if (::testing::Test::HasFailure()) return;
      }
    }
  }
  EXPECT_GE(valid, 20 * kFilesPerModelAndScheme - 40) << "of " << tried;
}

// Values at the edges of each field's encoding: refused by the check's round trip and the write
// alike, or written and read back as they were.
TEST(WriteRoundTrip, EdgeValuesAreRefusedAlikeOrComeBack) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> mpt1343 = {
      {"IndivolStart", {"2001200", "2001899", "2001000", "2001999", "2002000", "2000000", "0", ""}},
      {"IndivolStop", {"2001200", "2001899", "2001999", "2002000", "65535", "65536"}},
      {"GrpStart", {"5500900", "5500998", "5500999", "5501000", "5500000", "5499999"}},
      {"GrpStop", {"5500900", "5500998", "5500999", "5501000"}},
      {"HideGroup1",
       {"0", "3265500900", "3265500998", "3265500999", "3265501000", "3265499999", "4294967295",
        "4294967296", "1", "999999999"}},
      {"无线局向号1", {"0", "1", "254", "255", "256"}},
      {"对应系统号1", {"0", "1", "999", "1000", "65535"}},
      {"FirstRxFreq", {"0", "125", "3610250", "8191875", "8192000", "9999875"}},
      {"Simplex9RxFreq", {"0", "125", "3610250", "8191875", "8192000"}},
      {"FirstStop", {"1", "1024", "1025", "65535", "65536"}},
      {"MaxPhoneNumber", {"0", "10", "11", "255", "256"}},
  };
  const std::vector<std::pair<std::string, std::vector<std::string>>> cpsx = {
      {"Group1", {"32620900", "32620909", "32620910", "32620899", "32619900", "32699999"}},
      {"HideGroup1", {"0", "32620900", "32620909", "32620899", "99999999", "100000000"}},
      {"IndivolStart", {"32620200", "32620201", "32620899", "32620900", "32619201", ""}},
      {"LargeBlock", {"0", "1", "10", "11", "255"}},
  };
  test::TempDir dir;
  int refused = 0, written = 0;
  for (const bool scheme : {false, true}) {
    test::TestProgram app;
    for (const auto& [key, values] : scheme ? cpsx : mpt1343) {
      for (const std::string& value : values) {
        const std::string what = key + "=" + value + (scheme ? " CPSX" : " MPT1343");
        const fs::path file = dir / "edge.ini";
        fs::remove(file);
        KeyValues keys = {{key, value}};
        if (key.starts_with("无线局向号")) keys.push_back({"对应系统号1", "5"});
        test::savedFile(file, keys, scheme);
        const DataFileCheck check = checkDataFile(file);
        if (check.openError) {
          // No data file can hold it: the write's open fails alike.
          EXPECT_TRUE(openDataFileAndCheck(app.state(), file)) << what;
          ++refused;
          continue;
        }
        const bool tripWarned =
            std::any_of(check.warnings.begin(), check.warnings.end(),
                        [](const CheckWarning& w) { return w.caption == "读写数据"; });
        if (tripWarned) {
          const WriteSeen seen = writeFile(app, file);
          EXPECT_FALSE(seen.report.started) << what;
          EXPECT_EQ(seen.line, "") << what;
          ++refused;
          continue;
        }
        // A value only a window rule warns of still goes out as it is, and comes back.
        expectWrittenAndReadBack(app, file, check, what);
        ++written;
        if (::testing::Test::HasFailure()) return;
      }
    }
  }
  EXPECT_GT(refused, 10);
  EXPECT_GT(written, 10);
}

}  // namespace
}  // namespace rcp::app
