#pragma once

#include "image/small_records.hpp"
#include "transfer/transfer_outcome.hpp"
#include "image/write_image.hpp"
#include "transfer/write_verification.hpp"
#include "settings/program_state.hpp"

// Writing the settings record into the radio ("写录数据"): the record is encoded first, then the
// radio is greeted and must answer "T"; the three mode commands, the small records one WRITE
// command at a time (the model identified on the way), and the bulk block as 61 acknowledged
// chunks follow, with the progress dialog advancing by exactly 100 on a full write. With the
// Test tab active the radio leaves its test state first and is put back into it at the end.
namespace rcp::image {

inline constexpr const char* kWritingText = "正在写录数据，请稍候...";
inline constexpr const char* kWriteDoneText = "写录完毕!";
inline constexpr const char* kWriteFailedText = "写录失败！";

// `menuBits` are the menu bit bytes the last read brought (zeros before any read); the bits no
// switch drives go back into the radio as they came.
//
// A field that cannot be stored raises a FieldError naming it before the radio is greeted (only
// the leave-test "Q" has then been sent). A radio that does not answer the greeting is reported
// ("设备未开启") and nothing more is sent. A chunk that is not acknowledged is reported with
// "写录失败！"; the rest of the bulk block is not sent, the closing steps still run.
[[nodiscard]] TransferOutcome writeToRadio(settings::ProgramState& state, const MenuBits& menuBits);

// Who tells the user that the bulk block failed: the transfer ("写录失败！" in a box, as above),
// or the caller, who knows more (which backup can restore the radio).
enum class FailureMessage { Shown, LeftToCaller };

struct WriteResult {
  TransferOutcome outcome;
  WriteImage image;  // what was sent, as it stood after the model identification
};

// The same write, also returning what it sent, for a verification against a read-back. A backup
// being written back gives `restoring`, the memory its read found (see keepReadBytes).
[[nodiscard]] WriteResult writeImageToRadio(
    settings::ProgramState& state, const MenuBits& menuBits, FailureMessage failure,
    const std::optional<ReadBack>& restoring = std::nullopt);

}  // namespace rcp::image
