#include "safety/safe_write.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "image/field_locations.hpp"
#include "image/read_image.hpp"
#include "transfer/read_transfer.hpp"
#include "transfer/write_transfer.hpp"
#include "transfer/write_verification.hpp"
#include "link/ini_document.hpp"
#include "link/ini_profile.hpp"
#include "program/offline_program.hpp"
#include "safety/backups.hpp"
#include "safety/verification_report.hpp"
#include "settings/data_file.hpp"
#include "settings/field_table.hpp"
#include "support/test_program.hpp"
#include "window/transfer_commands.hpp"

namespace rcp {
namespace {

using image::TransferOutcome;

constexpr std::time_t kNoon = 1796810400;  // 2026-12-09 local noon or so; only the name uses it

std::string fileText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string bytesOf(const sim::SimulatedPort& port) {
  const auto sent = port.sent();
  return {sent.begin(), sent.end()};
}

// The radio written once with the start record, as a user would after starting the program; the
// line's record starts after that.
void writtenOnce(test::TestProgram& program, app::TransferMemory& memory) {
  program.clock.pause(1000);
  program.port.settle();
  EXPECT_EQ(app::WriteDataClick(program.state(), memory, {}, app::RestoreOffer::Ask).outcome,
            TransferOutcome::Done);
  program.port.settle();
  program.port.clearEvents();
  program.dialogs.messages.clear();
}

// A program that keeps its backups in its own folder, on a radio written once.
struct SafeWrite : ::testing::Test {
  test::TestProgram app;
  app::TransferMemory memory;
  std::filesystem::path folder = app.dir / "backups";

  SafeWrite() {
    app.state().backups = folder;
    writtenOnce(app, memory);
  }
  app::WriteReport write(app::WriteSafetyChoice choice) {
    return app::WriteDataClick(app.state(), memory, choice, app::RestoreOffer::Ask);
  }
  std::string status() { return app.main().at("StatusBar").panels.at(2).text; }
};

// What a plain read sends, from a program of its own, of a radio the tool wrote as the fixture
// does. (A read sends more than its requests: the Test tab's rules send the volumes it sets.)
std::string plainReadBytes() {
  test::TestProgram other;
  app::TransferMemory memory;
  writtenOnce(other, memory);
  app::OfflineProgram offline(other.state());
  EXPECT_EQ(image::readFromRadio(offline.state()).outcome, TransferOutcome::Done);
  return bytesOf(other.port);
}

TEST_F(SafeWrite, AReadKeepsItsRecordAsAnOrdinaryDataFile) {
  ASSERT_EQ(app::readAndKeep(app.state(), memory, kNoon).outcome, TransferOutcome::Done);
  const std::vector<app::Backup> kept = app::listBackups(folder);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].model, "HX33");
  EXPECT_EQ(kept[0].number, app.record().text("Indivol"));
  ASSERT_TRUE(memory.lastRead);
  EXPECT_EQ(memory.lastRead->backup.file, kept[0].file);

  // Key for key what "存储文件" saves, and "打开文件" takes it back.
  const auto saved = app.dir / "saved.ini";
  ASSERT_FALSE(settings::saveDataFile(app.state(), saved));
  const link::IniDocument a(fileText(saved));
  const link::IniDocument b(fileText(kept[0].file));
  EXPECT_EQ(a.keys("File0"), b.keys("File0"));
  for (const std::string& key : a.keys("File0"))
    EXPECT_EQ(a.value("File0", key), b.value("File0", key)) << key;
  app::OfflineProgram reopened(app.dir / "Com.ini");
  EXPECT_FALSE(settings::openDataFile(reopened.state(), kept[0].file));
}

TEST_F(SafeWrite, ABackupThatCannotBeWrittenLeavesTheReadDoneAndSaysWhy) {
  std::ofstream(folder) << "a file where the folder should be";
  const app::ReadReport report = app::ReadDataClick(app.state(), memory);
  EXPECT_EQ(report.outcome, TransferOutcome::Done);
  ASSERT_TRUE(report.backup);
  EXPECT_FALSE(report.backup->backup);
  EXPECT_TRUE(status().starts_with("备份失败：")) << status();
  EXPECT_TRUE(app.dialogs.messages.empty());
}

TEST_F(SafeWrite, TheFolderKeepsTheNewestBackupsAndNamesThemSafely) {
  std::filesystem::create_directories(folder);
  for (int i = 0; i < 501; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "2025%04d-120000-HX33-3262001201.ini", 101 + i % 1000);
    std::ofstream(folder / name) << "[File0]\n";
  }
  std::ofstream(folder / "notes.txt") << "not a backup";
  app.main().setText("MPT1343_Indivol", "32/62 01");
  const app::BackupOutcome kept = app::keepBackup(app.state(), folder, kNoon);
  ASSERT_TRUE(kept.backup) << kept.error;
  EXPECT_EQ(kept.backup->number, "32_62_01");
  const std::vector<app::Backup> all = app::listBackups(folder);
  ASSERT_EQ(all.size(), app::kKeptBackups);
  EXPECT_EQ(all.front().file, kept.backup->file);  // the newest first
  EXPECT_FALSE(std::filesystem::exists(folder / "20250101-120000-HX33-3262001201.ini"));
  EXPECT_FALSE(std::filesystem::exists(folder / "20250102-120000-HX33-3262001201.ini"));
  EXPECT_TRUE(std::filesystem::exists(folder / "notes.txt"));  // not ours to remove
  // A second backup within the same second keeps the first.
  const app::BackupOutcome again = app::keepBackup(app.state(), folder, kNoon);
  ASSERT_TRUE(again.backup);
  EXPECT_NE(again.backup->file, kept.backup->file);
  EXPECT_TRUE(std::filesystem::exists(kept.backup->file));
}

TEST_F(SafeWrite, BothSafetiesSendAFullReadThenTheWriteThenAFullRead) {
  app.main().setValue("TA", 50);
  const std::string read = plainReadBytes();
  std::string plainWrite;
  {
    test::TestProgram other;  // the same record on a radio written the same way, plainly
    app::TransferMemory otherMemory;
    writtenOnce(other, otherMemory);
    other.main().setValue("TA", 50);
    ASSERT_EQ(app::WriteDataClick(other.state(), otherMemory, {}, app::RestoreOffer::Ask).outcome,
              TransferOutcome::Done);
    plainWrite = bytesOf(other.port);
  }

  const std::int64_t before = app.record().number("TA");
  // Each pass in the progress dialog: its text, and the bar's last position before it closed.
  std::vector<std::pair<std::string, int>> passes;
  app.state().writeData->addObserver([&](const ui::Control* c, ui::Property) {
    if (!c) return;
    if (c->name == "WriteLabel" && (passes.empty() || passes.back().first != c->caption))
      passes.push_back({c->caption, 0});
    if (c->name == "WriteProgressBar" && c->value && !passes.empty())
      passes.back().second = c->value;
  });
  const app::WriteReport report = write({true, true});
  EXPECT_EQ(report.outcome, TransferOutcome::Done);
  EXPECT_EQ(report.check, app::WriteReport::Check::Passed);
  EXPECT_EQ(bytesOf(app.port), read + plainWrite + read);
  using Pass = std::pair<std::string, int>;
  EXPECT_EQ(passes, (std::vector<Pass>{{"正在读取数据，请稍候...", 100},
                                       {"正在写录数据，请稍候...", 100},
                                       {"写录完毕!", 0},
                                       {"正在校验数据，请稍候...", 100}}));
  EXPECT_EQ(status(), "校验正确");
  EXPECT_TRUE(app.dialogs.messages.empty());
  // The reads changed nothing in the window, and the backup holds what the radio held before.
  EXPECT_EQ(app.record().number("TA"), before);
  ASSERT_TRUE(report.backupBefore);
  app::OfflineProgram backup(app.dir / "Com.ini");
  ASSERT_FALSE(settings::openDataFile(backup.state(), report.backupBefore->backup.file));
  EXPECT_EQ(settings::Record(backup.state()).number("TA"), 60);
}

TEST_F(SafeWrite, WithoutSafetiesTheWriteSendsWhatAPlainWriteSends) {
  test::TestProgram other;
  other.clock.pause(1000);
  other.port.settle();
  ASSERT_EQ(image::writeToRadio(other.state(), {}), TransferOutcome::Done);
  ASSERT_EQ(write({}).outcome, TransferOutcome::Done);
  // After the set-up write both radios were written once; the bytes of one write match.
  const std::string plain = bytesOf(other.port);
  EXPECT_TRUE(plain.ends_with(bytesOf(app.port))) << "the second write differs from the first";
}

TEST_F(SafeWrite, ABackupReadThatFindsNoRadioStartsNoWrite) {
  app.radio.faults().silent = true;
  const app::WriteReport report = write({true, false});
  EXPECT_FALSE(report.started);
  EXPECT_EQ(status(), "设备未开启");
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  EXPECT_EQ(app.dialogs.messages[0].text, "设备未开启！请检查电源及通讯口！");
  EXPECT_EQ(bytesOf(app.port).find("WRITE"), std::string::npos);
}

TEST_F(SafeWrite, AWriteThatFailsHalfWayOffersTheBackupAndWritesItBack) {
  ASSERT_EQ(app::readAndKeep(app.state(), memory, kNoon).outcome, TransferOutcome::Done);
  const auto before = app.radio.memory();
  app.main().setValue("TA", 50);
  app.main().setText("MPT1343_Indivol", "3262001299");
  app.radio.faults().ackChunks = 30;
  // The technician mends the cable before answering.
  app.dialogs.answer = [&](const ui::Message& m) {
    app.radio.faults().ackChunks.reset();
    return m.buttons == ui::MessageButtons::YesNo ? ui::MessageResult::Yes : ui::MessageResult::Ok;
  };
  const app::WriteReport report = write({});
  EXPECT_EQ(report.outcome, TransferOutcome::Failed);
  EXPECT_TRUE(report.restored);
  ASSERT_GE(app.dialogs.messages.size(), 1u);
  const ui::Message& offer = app.dialogs.messages[0];
  EXPECT_EQ(offer.text, "写录失败！电台中现在可能只有部分配置。");
  EXPECT_NE(offer.detail.find(memory.lastRead->backup.file.filename().string()), std::string::npos);
  EXPECT_NE(offer.detail.find("个人号 3262001201"), std::string::npos);
  app.port.settle();
  EXPECT_EQ(app.radio.memory(), before);
  EXPECT_EQ(status(), "备份已写回电台。");
  // The window keeps what the user was writing.
  EXPECT_EQ(app.record().number("TA"), 50);
}

TEST_F(SafeWrite, AByteTheRadioStoresWronglyIsNamedByItsFieldWithBothValues) {
  app.radio.faults().corruptAddresses = {0x0CF, 0x2C9};  // TA, and the alarm number's first byte
  const app::WriteReport report = write({false, true});
  EXPECT_EQ(report.outcome, TransferOutcome::Done);
  ASSERT_EQ(report.check, app::WriteReport::Check::Mismatch);
  ASSERT_EQ(report.mismatches.size(), 2u);
  // The window would clamp what it reads back: the bytes alone say what the radio holds.
  EXPECT_EQ(report.mismatches[0], "用户信息 › 时间常数 › TA：地址 0x0CF：写入 3C，读回 C3");
  EXPECT_TRUE(report.mismatches[1].find("系统告警号") != std::string::npos) << report.mismatches[1];
  EXPECT_EQ(status(), "校验失败");
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  EXPECT_EQ(app.dialogs.messages[0].text, "写后校验失败：电台读回的数据与写入的不同。\n" +
                                              report.mismatches[0] + "\n" + report.mismatches[1]);
}

TEST(MismatchMessage, ShowsTwentyLinesThenAnEllipsis) {
  std::vector<std::string> lines;
  for (int i = 0; i < 25; ++i) lines.push_back("字段" + std::to_string(i));
  const std::string text = app::mismatchMessage(lines);
  EXPECT_NE(text.find("字段19\n…"), std::string::npos);
  EXPECT_EQ(text.find("字段20"), std::string::npos);
  EXPECT_TRUE(text.ends_with("…"));
}

TEST_F(SafeWrite, AWriteLeavesEveryAddressItSetsVerifiedButTheRecordsNoReadFetches) {
  app.main().setValue("TA", 50);
  ASSERT_EQ(write({false, true}).check, app::WriteReport::Check::Passed);
  // What the documentation names as not verified.
  app::TransferMemory fresh;
  const auto encoded =
      image::writeImageToRadio(app.state(), fresh.menuBits, image::FailureMessage::LeftToCaller);
  app.port.settle();
  app::OfflineProgram reader(app.state());
  const auto read = image::readFromRadio(reader.state());
  const image::Verification v = image::verifyWrite(encoded.image, read.reading);
  std::set<std::string> unverified;
  for (const image::Address a : v.unverified)
    for (const image::FieldLocation* place : image::locationsAt(a))
      unverified.insert(place->field.empty() ? place->encoding : place->field);
  // The eight groups go out as records at 0x278-0x2A7, which no read fetches.
  EXPECT_EQ(unverified, (std::set<std::string>{"Group1", "Group2", "Group3", "Group4", "Group5",
                                               "Group6", "Group7", "Group8"}));
  EXPECT_GT(v.comparedBytes, 800u);
}

// Each line names the field as the window names it and shows values only where they differ and
// the window shows what the radio holds; otherwise the bytes alone.
TEST_F(SafeWrite, EveryMismatchLineNamesACaptionAndOnlyValuesThatDiffer) {
  const auto checkLines = [](const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
      const std::string path = line.substr(0, line.find("："));
      EXPECT_TRUE(line.starts_with("地址 0x") || path.find("›") != std::string::npos ||
                  !settings::findField(path))
          << line;
      EXPECT_EQ(line.find("\xEF\xBF\xBD"), std::string::npos) << line;  // no replacement mark
      const auto written = line.find("：写入 "), read = line.find("，读回 ");
      if (written == std::string::npos || line.find("（地址") == std::string::npos) continue;
      const std::string sent = line.substr(written + 10, read - written - 10);
      const std::string got = line.substr(read + 10, line.find("（地址") - read - 10);
      EXPECT_NE(sent, got) << line;
    }
  };
  // The bytes that were named wrongly, one at a time.
  for (const std::uint16_t address : {0x1F2, 0x1F4, 0x389, 0x18F, 0x08F, 0x00B, 0x2CA, 0x0CF}) {
    app.radio.faults().corruptAddresses = {address};
    const app::WriteReport report = write({false, true});
    ASSERT_EQ(report.check, app::WriteReport::Check::Mismatch) << address;
    ASSERT_EQ(report.mismatches.size(), 1u) << address;
    checkLines(report.mismatches);
    for (const char* name : {"RangeSearch", "GrpWayCurrent"})
      EXPECT_EQ(report.mismatches[0].find(name), std::string::npos) << report.mismatches[0];
  }
  // Every address the write decides at once.
  app.radio.faults().corruptAddresses.clear();
  for (std::uint16_t at = 0x010; at < 0x400; ++at)
    app.radio.faults().corruptAddresses.push_back(at);
  const app::WriteReport all = write({false, true});
  ASSERT_EQ(all.check, app::WriteReport::Check::Mismatch);
  EXPECT_GT(all.mismatches.size(), 100u);
  checkLines(all.mismatches);
}

TEST(WriteVerification, TheModeBytesAreComparedByWhatTheyMean) {
  image::WriteImage written;
  written.memory.setByte(0x1F0, 0x01);  // CPSX
  written.memory.setByte(0x1F1, 0x01);  // enhanced signalling
  written.memory.setByte(0x0DC, 0x0F);  // scrambler off
  const auto reading = [&](std::uint8_t dialling, std::uint8_t signalling, std::uint8_t scrambler) {
    image::MemoryImage radio = written.memory;
    radio.setByte(0x1F0, dialling);
    radio.setByte(0x1F1, signalling);
    radio.setByte(0x0DC, scrambler);
    return image::RadioReading{radio.hex(image::kBulkStart, image::kBulkAnswerChars / 2), {}};
  };
  EXPECT_TRUE(image::verifyWrite(written, reading(0x11, 0x81, 0x0F)).passed());
  EXPECT_TRUE(image::verifyWrite(written, reading(0x01, 0x01, 0x38)).passed());
  const image::Verification wrong = image::verifyWrite(written, reading(0x10, 0x01, 0x07));
  ASSERT_EQ(wrong.differences.size(), 2u);
  EXPECT_EQ(wrong.differences[0].address, 0x0DC);
  EXPECT_EQ(wrong.differences[1].address, 0x1F0);
}

TEST_F(SafeWrite, AVerificationThatCouldNotReadBackIsNeitherPassedNorFailed) {
  for (const auto& fault : std::vector<std::function<void(sim::RadioFaults&)>>{
           [](sim::RadioFaults& f) { f.silentAfterReads = 1; },
           [](sim::RadioFaults& f) { f.garbageDigits = true; },
       }) {
    app.radio.faults() = {};
    fault(app.radio.faults());
    app.dialogs.messages.clear();
    const app::WriteReport report = write({false, true});
    EXPECT_EQ(report.outcome, TransferOutcome::Done);
    EXPECT_EQ(report.check, app::WriteReport::Check::Unanswered);
    EXPECT_EQ(status(), "校验未完成");
    ASSERT_FALSE(app.dialogs.messages.empty());
    EXPECT_TRUE(app.dialogs.messages.back().text.starts_with("写后校验未完成"))
        << app.dialogs.messages.back().text;
    EXPECT_NE(app.dialogs.messages.back().text.find("写录已完成"), std::string::npos);
    app.radio.faults() = {};
    app.port.settle();
    app.clock.pause(2000);
    app.port.settle();
  }
}

// A radio with its own start-up texts, carried menu bits and a value out of range: its backup
// written back after a failed write leaves it byte for byte as the backup's read found it,
// through the window's offer and through a write of the backup file.
TEST_F(SafeWrite, ABackupWrittenBackLeavesTheRadioAsItsReadFoundIt) {
  auto& radio = app.radio.memory();
  const std::string texts = "ABCD    1111    ";
  std::copy(texts.begin(), texts.end(), radio.begin() + 0x220);
  radio[0x2C3] |= 0x0F;
  radio[0x2C4] |= 0x03;
  radio[0x0CF] = 0xC3;  // TA, above what the window takes
  ASSERT_EQ(app::readAndKeep(app.state(), memory, kNoon).outcome, TransferOutcome::Done);
  const auto before = app.radio.memory();

  // The window: a write that fails half-way, and the backup written back.
  app.main().setValue("TA", 50);
  app.radio.faults().ackChunks = 30;
  app.dialogs.answer = [&](const ui::Message& m) {
    app.radio.faults().ackChunks.reset();
    return m.buttons == ui::MessageButtons::YesNo ? ui::MessageResult::Yes : ui::MessageResult::Ok;
  };
  const app::WriteReport report = write({});
  EXPECT_TRUE(report.restored);
  app.port.settle();
  for (std::size_t at = 0; at < before.size(); ++at)
    EXPECT_EQ(app.radio.memory()[at], before[at]) << "address " << at;

  // The printed way: a fresh program opens the backup file and writes it, verified.
  test::TestProgram other;
  other.radio.memory() = before;
  other.radio.memory()[0x0CF] = 0x10;
  other.radio.memory()[0x220] = 'Z';
  other.radio.memory()[0x2C3] &= 0xF0;
  other.clock.pause(1000);
  other.port.settle();
  ASSERT_FALSE(settings::openDataFile(other.state(), memory.lastRead->backup.file));
  app::TransferMemory fresh;
  app::takeBackupRead(other.state(), fresh,
                      link::loadIniFile(memory.lastRead->backup.file).document);
  const app::WriteReport again =
      app::WriteDataClick(other.state(), fresh, {false, true}, app::RestoreOffer::PrintPath);
  EXPECT_EQ(again.check, app::WriteReport::Check::Passed);
  other.port.settle();
  for (std::size_t at = 0; at < before.size(); ++at)
    EXPECT_EQ(other.radio.memory()[at], before[at]) << "address " << at;
}

TEST_F(SafeWrite, ThePrintedRestoreCommandNamesThePortUsed) {
  ASSERT_EQ(app::readAndKeep(app.state(), memory, kNoon).outcome, TransferOutcome::Done);
  app.radio.faults().ackChunks = 30;
  app::WriteSafetyChoice choice;
  choice.restorePort = "/dev/ttyS1";
  (void)app::WriteDataClick(app.state(), memory, choice, app::RestoreOffer::PrintPath);
  ASSERT_FALSE(app.dialogs.messages.empty());
  EXPECT_NE(app.dialogs.messages[0].detail.find("写回：rcp520-cli write --port \"/dev/ttyS1\" \"" +
                                                memory.lastRead->backup.file.string() + "\""),
            std::string::npos)
      << app.dialogs.messages[0].detail;
}

}  // namespace
}  // namespace rcp
