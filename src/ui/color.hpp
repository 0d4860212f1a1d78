#pragma once

#include <cstdint>

namespace rcp::ui {

// A colour as the radio-programming forms have always named them: 0x00BBGGRR for a plain
// colour, or a system colour with the top bit set that the front end resolves from its palette.
using Color = std::uint32_t;

constexpr Color rgb(int r, int g, int b) {
  return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}
constexpr bool isSystemColor(Color c) { return (c & 0x80000000u) != 0; }
constexpr int red(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int green(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blue(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

namespace colors {
// System colours.
constexpr Color ButtonFace = 0x8000000F;
constexpr Color Window = 0x80000005;
constexpr Color WindowText = 0x80000008;
// Named colours the forms use.
constexpr Color Navy = 8388608;          // caption of an enabled field, preset buttons
constexpr Color Grey = 8421504;          // caption of a disabled field, unchecked menu switch
constexpr Color Purple = 8388736;        // caption of a checked menu switch
constexpr Color Blue = 16711680;         // caption of the active menu preset
constexpr Color Green = rgb(0, 128, 0);  // progress text
constexpr Color InputLight = 16440504;   // enabled input field, first and fourth tab
constexpr Color UserInput = 15922612;    // enabled input field, user tab
constexpr Color LightCyan = rgb(180, 244, 242);  // fields of the enabled test-frequency group
}  // namespace colors

}  // namespace rcp::ui
