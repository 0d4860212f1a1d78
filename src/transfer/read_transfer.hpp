#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "image/small_records.hpp"
#include "transfer/transfer_outcome.hpp"
#include "settings/program_state.hpp"

// Reading the radio into the settings record ("读取数据"): the greeting, which the radio must
// answer with "U" and the bulk block, then the 26 small reads one request at a time, each
// decoded into the main window as it arrives, with the progress dialog advancing by exactly 100
// on a full read. An answer shorter than its step needs leaves that step's fields as they were.
// With the Test tab active the radio leaves its test state first and is put back into it at the
// end, on the test channel the read brought; the three stop channels are checked last.
namespace rcp::image {

inline constexpr const char* kReadingText = "正在读取数据，请稍候...";
inline constexpr const char* kReadDoneText = "读取结束!";
inline constexpr const char* kReadFailedText = "读取失败！";
inline constexpr const char* kReadFailedMessage =
    "读取失败！电台中途停止应答，窗口中的数据可能只有部分来自电台。";
// Followed by the conversion error's own text.
inline constexpr const char* kReadNoNumberMessage =
    "读取失败！电台的应答不是十进制数字，读取已停止，窗口中的数据可能只有部分来自电台：";

// A read that ended before its last request, with the message saying why.
class ReadStopped : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What came back on the line, as it came: the bulk answer and each small read's answer in the
// order of smallReads() (empty for a request that got nothing).
struct RadioReading {
  std::string bulk;
  std::vector<std::string> answers;
};

struct ReadResult {
  TransferOutcome outcome;
  // The menu bit bytes the radio sent, which the next write carries back.
  std::optional<MenuBits> menuBits;
  RadioReading reading = {};
};

// A request whose answer is shorter than its step needs within its time-out (the bulk answer
// short of 992 digits, a small record short of its length, or nothing at all) fails the read:
// every request is still sent and every answer that came is still decoded, but the read ends
// with kReadFailedText in the status bar and kReadFailedMessage in a message box, since the
// window then shows the radio's values mixed with the ones it had before.
//
// A radio that does not answer the greeting is reported ("设备未开启") and no field changes; the
// return to the test state and the stop-channel checks still run. A call-back or PTT-code answer
// that is not a decimal number ends the read there with ReadStopped, the progress dialog closed
// and kReadFailedText in the status bar: its text is kReadNoNumberMessage followed by the
// conversion error ("'8D' is not a valid integer value.").
//
// `activity` is the progress dialog's text (a read-back after a write names itself).
[[nodiscard]] ReadResult readFromRadio(settings::ProgramState& state,
                                       std::string_view activity = kReadingText);

}  // namespace rcp::image
