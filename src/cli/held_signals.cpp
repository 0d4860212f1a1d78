#include "cli/held_signals.hpp"

#include <signal.h>
#include <stdlib.h>

#include "cli/held_signals_platform.hpp"

namespace rcp::app {

namespace {

constexpr const char* kWriteHeld =
    "写录尚未结束，现在中断会使电台只写入部分数据！写录结束后程序将退出，再按一次Ctrl+"
    "C立即退出。\n";
constexpr const char* kWriteAbandoned = "写录已中断！电台中可能只有部分数据，请重新写录。\n";
constexpr const char* kReadHeld = "读取尚未结束，读取结束后程序将退出，再按一次Ctrl+C立即退出。\n";
constexpr const char* kReadAbandoned = "读取已中断！未保存任何数据。\n";
constexpr const char* kBackupHeld =
    "写前备份尚未读完，读完后程序退出，不会写录，电台中的数据不会改动。再按一次Ctrl+C立即退出。\n";
constexpr const char* kBackupAbandoned = "写前备份已中断！没有写录，电台中的数据没有改动。\n";
constexpr const char* kLandedHeld =
    "写录已完成，正在结束写录或写后校验，结束后程序将退出，再按一次Ctrl+C立即退出。\n";
constexpr const char* kLandedAbandoned =
    "已中断。写录已经完成，电台中是新的配置，但没有经过校验。\n";
constexpr const char* kFleetHeld =
    "批量写频即将结束：正在写录的电台写完并记录后退出，再按一次Ctrl+C立即退出。\n";

// What the handler needs, set before it is installed.
volatile sig_atomic_t heldSignal = 0;
const char* heldText = nullptr;
const char* abandonedText = nullptr;

}  // namespace

void onHeldSignal(int signal) {
  if (heldSignal == 0) {
    heldSignal = signal;
    sayOnStderr(heldText);
    return;
  }
  sayOnStderr(abandonedText);
  _exit(exitCodeOfSignal(signal));
}

HeldSignals::HeldSignals(HeldTransfer transfer) {
  heldSignal = 0;
  becomes(transfer);
  holdSignals();
}

void HeldSignals::becomes(HeldTransfer transfer) {
  switch (transfer) {
    case HeldTransfer::Read:
      heldText = kReadHeld;
      abandonedText = kReadAbandoned;
      return;
    case HeldTransfer::Write:
    case HeldTransfer::Fleet:
      heldText = transfer == HeldTransfer::Write ? kWriteHeld : kFleetHeld;
      abandonedText = kWriteAbandoned;
      return;
    case HeldTransfer::BackupBeforeWrite:
      heldText = kBackupHeld;
      abandonedText = kBackupAbandoned;
      return;
    case HeldTransfer::WriteLanded:
      // A signal held before keeps its place; only a second one reads the new text.
      heldText = kLandedHeld;
      abandonedText = kLandedAbandoned;
      return;
  }
}

HeldSignals::~HeldSignals() {
  releaseSignals();
}

int HeldSignals::held() const {
  return heldSignal;
}

}  // namespace rcp::app
