#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "settings/program_state.hpp"
#include "transfer/write_verification.hpp"

// A failed verification in the window's own words: one line per field whose bytes the radio
// gave back differently, named as the window names it (tab › group › caption), with the value
// written (from the record the write sent) and the value read back (from the same record decoded
// from the read-back).
namespace rcp::app {

inline constexpr std::size_t kMismatchLinesShown = 20;

// "用户信息 › 时间常数 › TA：写入 61，读回 62（地址 0x0CF：写入 3D，读回 3E）", in address order,
// one per field, named as the window names it. The values are shown where they differ and the
// window shows what the radio holds (its record encoded again gives the bytes read back); else,
// and for a value no box shows, the bytes alone: "… › TA：地址 0x0CF：写入 3C，读回 C3". A byte
// no field owns is named by its address. Text from the radio has its control bytes escaped.
std::vector<std::string> mismatchLines(settings::ProgramState& written,
                                       settings::ProgramState& readBack,
                                       const image::Verification& verification);

// The message box's text: a heading, at most kMismatchLinesShown lines, then "…" when there are
// more.
std::string mismatchMessage(const std::vector<std::string>& lines);

}  // namespace rcp::app
