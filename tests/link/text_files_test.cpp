// Text at the edges: CP936 conversion, INI files and Com.ini.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>

#include "link/com_ini.hpp"
#include "link/cp936.hpp"
#include "link/ini_document.hpp"
#include "link/ini_profile.hpp"
#include "link/path_text.hpp"
#include "support/scoped_variable.hpp"

namespace rcp::link {
namespace {

class LinkFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("rcp520-link-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void spit(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
  }

  std::filesystem::path dir_;
};

TEST(Cp936, ConvertsBothWaysAndNeverFails) {
  EXPECT_EQ(encodeCp936("设置串口"), "\xC9\xE8\xD6\xC3\xB4\xAE\xBF\xDA");
  EXPECT_EQ(decodeCp936("\xC9\xE8\xD6\xC3 COM1"), "设置 COM1");
  // A lone lead byte and a byte CP936 does not use become U+FFFD; the rest survives.
  EXPECT_EQ(decodeCp936("A\xFF"
                        "B\xC9"),
            "A\xEF\xBF\xBD"
            "B\xEF\xBF\xBD");
  // Not representable (Hangul, an emoji) and malformed UTF-8 become '?'.
  EXPECT_EQ(encodeCp936("한A😀\xE4Z"), "?A??Z");
}

TEST(IniDocumentReading, MatchesLatinCaseTrimsAndUnquotes) {
  const IniDocument ini(
      "; comment\r\n[comstatus]\r\n  COMPORT =  \"COM3\" "
      "\r\nEmpty=\r\n[Other]\r\nComport=COM1\r\n");
  EXPECT_EQ(ini.value("ComStatus", "Comport", "COM2"), "COM3");
  EXPECT_EQ(ini.value("ComStatus", "empty", "x"), "");
  EXPECT_EQ(ini.value("ComStatus", "Missing", "x"), "x");
  EXPECT_EQ(ini.value("Nowhere", "Comport", "COM2"), "COM2");
}

TEST(IniDocumentReading, CaseFoldingDoesNotTouchTheSecondByteOfAChineseCharacter) {
  // Two different characters whose second bytes read as 'a' and 'A'.
  const std::string lowerTrail = "\xB0\x61";
  const std::string upperTrail = "\xB0\x41";
  const IniDocument ini("[S]\r\n" + upperTrail + "=upper\r\n" + lowerTrail + "=lower\r\n");
  EXPECT_EQ(ini.value("S", decodeCp936(lowerTrail)), "lower");
  EXPECT_EQ(ini.value("S", decodeCp936(upperTrail)), "upper");
}

TEST(IniDocumentReading, CutsLongValuesWithoutSplittingACharacter) {
  IniDocument ini;
  ini.set("S", "Ascii", std::string(2100, 'x'));
  EXPECT_EQ(ini.value("S", "Ascii")->size(), IniDocument::kMaxValueLength);
  ini.set("S", "Edge", std::string(2046, 'z') + "中");  // the pair would end at byte 2048
  EXPECT_EQ(ini.value("S", "Edge"), std::string(2046, 'z'));
}

TEST(IniDocumentWriting, AValueWithLineBreaksOrControlBytesStaysOneLine) {
  IniDocument document;
  document.set("File0", "A", "x\r\n[B]\nC=1\x7F");
  document.setAll("File0", {{"D", std::string("\0\t2", 3)}});
  EXPECT_EQ(document.fileBytes(), "[File0]\r\nA=\"x  [B] C=1 \"\r\nD=\"  2\"\r\n");
  EXPECT_EQ(document.keys("File0"), (std::vector<std::string>{"A", "D"}));
}

// Reading trims blanks and takes one pair of quotes off; a value that would lose either is
// written in quotes, so every value reads back as it was set.
TEST(IniDocumentWriting, EveryValueReadsBackAsItWasSet) {
  IniDocument document;
  for (const std::string value :
       {" lead", "trail ", "\"quoted\"", "'single'", "\"", "in side", "\"half", "plain", ""}) {
    document.set("S", "K", value);
    EXPECT_EQ(document.value("S", "K"), value);
    document.setAll("S", {{"L", value}});
    EXPECT_EQ(IniDocument(document.fileBytes()).value("S", "L"), value);
  }
  document.set("S", "K", "plain");
  EXPECT_NE(document.fileBytes().find("K=plain\r\n"), std::string::npos) << "no quotes needed";
}

TEST(IniDocumentReading, Utf8FilesAndLoneCarriageReturnsReadAsWrittenAndKeepTheirForm) {
  // An editor's UTF-8, with a character the code page lacks in an untouched comment.
  IniDocument utf8("; 备注 \xF0\x9F\x93\xBB\n[节]\n键=值\n");
  EXPECT_EQ(utf8.value("节", "键"), "值");
  utf8.set("节", "键", "新值");
  utf8.set("节", "另一", "二");
  EXPECT_EQ(utf8.fileBytes(), "; 备注 \xF0\x9F\x93\xBB\n[节]\n键=新值\n另一=二\n");

  IniDocument cr(encodeCp936("[节]\r键=值\r"));
  EXPECT_EQ(cr.value("节", "键"), "值");
  cr.set("节", "另一", "二");
  EXPECT_EQ(cr.fileBytes(), encodeCp936("[节]\r键=值\r另一=二\r"));
}

TEST_F(LinkFiles, WritingAKeyKeepsEveryOtherLineByteForByte) {
  const auto file = dir_ / "data.ini";
  const std::string before =
      "; 注释 stays\r\n"
      "[File0]\r\n"
      "ChannelNum=0001\r\n"
      "rxFREQ = 3610250   ; trailing text is part of the value\r\n"
      "\r\n"
      "[Other]\n"  // a bare LF line end stays bare
      "RxFreq=1\r\n";
  spit(file, encodeCp936(before));

  ASSERT_FALSE(writeProfileString(file, "file0", "RxFreq", "8510125"));
  ASSERT_FALSE(writeProfileString(file, "File0", "系统告警号", "110"));
  ASSERT_FALSE(writeProfileString(file, "New", "Key", "值"));

  const std::string expected =
      "; 注释 stays\r\n"
      "[File0]\r\n"
      "ChannelNum=0001\r\n"
      "rxFREQ =8510125\r\n"
      "系统告警号=110\r\n"
      "\r\n"
      "[Other]\n"
      "RxFreq=1\r\n"
      "[New]\r\n"
      "Key=值\r\n";
  EXPECT_EQ(slurp(file), encodeCp936(expected));
  EXPECT_EQ(readProfileString(file, "FILE0", "系统告警号", ""), "110");
  EXPECT_EQ(readProfileString(file, "Other", "RxFreq", ""), "1");
}

TEST_F(LinkFiles, WritingCreatesTheFileAndEndsAnUnterminatedLastLine) {
  const auto created = dir_ / "created.ini";
  ASSERT_FALSE(writeProfileString(created, "ComStatus", "Comport", "COM1"));
  EXPECT_EQ(slurp(created), "[ComStatus]\r\nComport=COM1\r\n");

  const auto open = dir_ / "open.ini";
  spit(open, "[A]\r\nx=1");
  ASSERT_FALSE(writeProfileString(open, "A", "y", "2"));
  EXPECT_EQ(slurp(open), "[A]\r\nx=1\r\ny=2\r\n");
}

TEST_F(LinkFiles, BatchSaveRemovesKeysAndReplacesTheFileWhole) {
  const auto file = dir_ / "batch.ini";
  spit(file, "[File0]\r\nA=1\r\nB=2\r\nC=3\r\n");
  IniLoad load = loadIniFile(file);
  ASSERT_FALSE(load.error);
  EXPECT_TRUE(load.document.remove("File0", "b"));
  EXPECT_FALSE(load.document.remove("File0", "b"));
  load.document.set("File0", "A", "10");
  load.document.set("File0", "D", "4");
  ASSERT_FALSE(saveIniFile(load.document, file));
  EXPECT_EQ(slurp(file), "[File0]\r\nA=10\r\nC=3\r\nD=4\r\n");
  EXPECT_EQ(load.document.keys("file0"), (std::vector<std::string>{"A", "C", "D"}));
  // Nothing of the temporary file is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

TEST_F(LinkFiles, SavingThroughASymbolicLinkWritesItsTargetEvenOneNotThereYet) {
  std::filesystem::create_directories(dir_ / "real");
  const auto link = dir_ / "link.ini";
  std::filesystem::create_symlink("real/target.ini", link);  // relative, dangling
  ASSERT_FALSE(writeProfileString(link, "File0", "A", "1"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(slurp(dir_ / "real" / "target.ini"), "[File0]\r\nA=1\r\n");
  ASSERT_FALSE(writeProfileString(link, "File0", "B", "2"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(slurp(dir_ / "real" / "target.ini"), "[File0]\r\nA=1\r\nB=2\r\n");
}

TEST_F(LinkFiles, AFileThatCannotBeWrittenGivesAnErrorNamingIt) {
  spit(dir_ / "plain", "not a folder");
  const auto file = dir_ / "plain" / "Com.ini";
  const auto error = writeProfileString(file, "ComStatus", "Comport", "COM1");
  ASSERT_TRUE(error);
  EXPECT_NE(error->message().find(file.string()), std::string::npos);
  EXPECT_FALSE(error->reason.empty());

  const auto folder = dir_ / "folder.ini";  // a folder where the file should be
  std::filesystem::create_directory(folder);
  EXPECT_TRUE(loadIniFile(folder).error);
  EXPECT_TRUE(writeProfileString(folder, "ComStatus", "Comport", "COM1"));
}

TEST_F(LinkFiles, ComIniPortNameIsNormalisedExactly) {
  const auto file = dir_ / "Com.ini";
  EXPECT_EQ(readPortName(file), "COM2");  // no file
  EXPECT_FALSE(std::filesystem::exists(file));

  for (const auto& [stored, used] : std::vector<std::pair<std::string, std::string>>{
           {"COM1", "COM1"}, {"COM3", "COM3"}, {"com1", "COM4"}, {"COM5", "COM4"}, {"", "COM4"}}) {
    spit(file, "[ComStatus]\r\nComport=" + stored + "\r\n");
    EXPECT_EQ(readPortName(file), used) << "stored: '" << stored << "'";
  }
  spit(file, "[ComStatus]\r\n");
  EXPECT_EQ(readPortName(file), "COM2");  // section without the key
}

TEST_F(LinkFiles, ComIniMapsPortNamesToDevicesAndWritesIntoANewFolder) {
  const auto file = dir_ / "config" / "rcp520" / "Com.ini";
  const auto standard = [](std::size_t port) {
    return std::string(defaultPortDevice(kThisPlatform, port));
  };
  EXPECT_EQ(portDevice(file, "COM1"), standard(0));
  EXPECT_EQ(portDevice(file, "COM4"), standard(3));

  ASSERT_FALSE(writePortName(file, "COM3"));
  EXPECT_EQ(readPortName(file), "COM3");
  ASSERT_FALSE(writeProfileString(file, "ComDevices", "com3", "/dev/ttyUSB0"));
  EXPECT_EQ(portDevice(file, "COM3"), "/dev/ttyUSB0");
  EXPECT_EQ(portDevice(file, "COM2"), standard(1));
  EXPECT_EQ(portDevice(file, "nonsense"), standard(3));
  // An adaptor that came up as COM7 behind the port name COM1.
  ASSERT_FALSE(writePortDevice(file, "COM1", "COM7"));
  EXPECT_EQ(portDevice(file, "COM1"), "COM7");
}

TEST_F(LinkFiles, ComIniFromAnotherEditorKeepsItsByteOrderMarkAndLineEnds) {
  const auto file = dir_ / "Com.ini";
  spit(file, "\xEF\xBB\xBF[ComStatus]\nComport=COM3\n[ComDevices]\nCOM3=/dev/ttyUSB0\n");
  EXPECT_EQ(readPortName(file), "COM3");
  EXPECT_EQ(portDevice(file, "COM3"), "/dev/ttyUSB0");

  ASSERT_FALSE(writePortName(file, "COM1"));
  ASSERT_FALSE(writeProfileString(file, "ComDevices", "COM1", "/dev/ttyACM0"));
  ASSERT_FALSE(writeProfileString(file, "Options", "Backup", "1"));
  EXPECT_EQ(slurp(file),
            "\xEF\xBB\xBF[ComStatus]\nComport=COM1\n[ComDevices]\nCOM3=/dev/ttyUSB0\n"
            "COM1=/dev/ttyACM0\n[Options]\nBackup=1\n");
  EXPECT_EQ(readPortName(file), "COM1");
}

TEST_F(LinkFiles, ComIniWriteSafetyIsOffInOlderFilesAndWrittenInPlace) {
  const auto file = dir_ / "Com.ini";
  const WriteSafety missing = readWriteSafety(file);
  EXPECT_FALSE(missing.backupBeforeWrite);
  EXPECT_FALSE(missing.verifyAfterWrite);

  const std::string older =
      "; kept\r\n[ComStatus]\r\nComport=COM3\r\n\r\n[ComDevices]\r\nCOM3=/dev/ttyUSB0\r\n";
  spit(file, older);
  EXPECT_FALSE(readWriteSafety(file).backupBeforeWrite);
  EXPECT_FALSE(readWriteSafety(file).verifyAfterWrite);

  ASSERT_FALSE(writeWriteSafety(file, {true, false}));
  EXPECT_EQ(slurp(file), older + "[Options]\r\nBackupBeforeWrite=1\r\nVerifyAfterWrite=0\r\n");
  EXPECT_TRUE(readWriteSafety(file).backupBeforeWrite);
  EXPECT_FALSE(readWriteSafety(file).verifyAfterWrite);

  ASSERT_FALSE(writeWriteSafety(file, {false, true}));
  EXPECT_EQ(slurp(file), older + "[Options]\r\nBackupBeforeWrite=0\r\nVerifyAfterWrite=1\r\n");
  EXPECT_EQ(readPortName(file), "COM3");
  EXPECT_EQ(portDevice(file, "COM3"), "/dev/ttyUSB0");

  // Only "1" turns an option on.
  spit(file, "[Options]\r\nBackupBeforeWrite=yes\r\nVerifyAfterWrite= 1 \r\n");
  EXPECT_FALSE(readWriteSafety(file).backupBeforeWrite);
  EXPECT_TRUE(readWriteSafety(file).verifyAfterWrite);

  const auto fresh = dir_ / "new" / "rcp520" / "Com.ini";
  ASSERT_FALSE(writeWriteSafety(fresh, {true, true}));
  EXPECT_TRUE(readWriteSafety(fresh).verifyAfterWrite);
}

// POSIX: a FIFO and a device in Com.ini's place.
#ifndef _WIN32
TEST_F(LinkFiles, ComIniThatIsNoPlainFileGivesTheDefaultsAndIsNotWritten) {
  const auto fifo = dir_ / "fifo" / "Com.ini";
  std::filesystem::create_directories(fifo.parent_path());
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Reading a pipe nobody writes would block for ever: the check runs on its own thread and
  // the pipe is fed if it hangs, so a failure cannot hang the suite.
  auto port = std::async(std::launch::async, [&] { return readPortName(fifo); });
  if (port.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    std::ofstream(fifo) << "x";
    FAIL() << "reading Com.ini blocked on a pipe";
  }
  EXPECT_EQ(port.get(), "COM2");
  const auto error = writePortName(fifo, "COM1");
  ASSERT_TRUE(error);
  EXPECT_EQ(error->message(), "无法写入文件“" + fifo.string() + "”：它不是普通文件");

  const auto zero = dir_ / "zero" / "Com.ini";
  std::filesystem::create_directories(zero.parent_path());
  std::filesystem::create_symlink("/dev/zero", zero);
  EXPECT_EQ(readPortName(zero), "COM2");
  EXPECT_EQ(portDevice(zero, "COM1"), "/dev/ttyS0");
  EXPECT_TRUE(writePortName(zero, "COM1"));

  const auto large = dir_ / "Com.ini";
  spit(large, "[ComStatus]\r\nComport=COM1\r\n" + std::string(kMaxIniFileSize, ';'));
  EXPECT_EQ(readPortName(large), "COM2");
  EXPECT_EQ(writePortName(large, "COM3")->message(),
            "无法写入文件“" + large.string() + "”：文件太大");
}
#endif

TEST(ComIniLocation, FollowsTheConfigurationFolder) {
#ifdef _WIN32
  const test::ScopedVariable config("APPDATA", "C:\\Users\\li\\Roaming");
  EXPECT_EQ(textOf(comIniPath()), "C:\\Users\\li\\Roaming\\rcp520\\Com.ini");
#else
  {
    const test::ScopedVariable config("XDG_CONFIG_HOME", "/tmp/cfg");
    EXPECT_EQ(comIniPath(), std::filesystem::path("/tmp/cfg/rcp520/Com.ini"));
  }
  const test::ScopedVariable config("XDG_CONFIG_HOME", "");
  EXPECT_EQ(comIniPath().filename(), "Com.ini");
  EXPECT_EQ(comIniPath().parent_path().parent_path().filename(), ".config");
#endif
}

}  // namespace
}  // namespace rcp::link
