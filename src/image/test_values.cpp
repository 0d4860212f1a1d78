#include "image/test_values.hpp"

#include <array>
#include <string>

#include "image/field_locations.hpp"
#include "testmode/test_state.hpp"
#include "ui/number_text.hpp"

namespace rcp::image {

namespace {

constexpr Address kScrambler = 0x0DC;
constexpr Address kCoarseVolume = 0x0DD;  // VR4
constexpr Address kDeviation = 0x0DE;     // high half VR2, low half VR1
constexpr Address kCompander = 0x0DF;     // high half compander, low half VR3
constexpr std::uint8_t kScramblerOffValue = 8;
constexpr int kLastScramblerOn = 7;
constexpr int kCompanderOn = 8;

constexpr const char* kScramblerField = "语音加密";
constexpr const char* kScramblerOffText = "语音加密关";
constexpr const char* kScramblerOnText = "语音加密开";

constexpr std::array<const char*, 3> kTypes = {"Type1", "Type2", "Type3"};

struct Alignment {
  std::string_view control;
  Address at;
};
constexpr std::array<Alignment, 10> kAlignments = {{
    {"VRSQ", 0x2DD},
    {"VRPP0", 0x2DE},
    {"VRBF", 0x2DF},
    {"VRPWR", 0x2E0},
    {"VRPP", 0x2E1},
    {"VRPP2", 0x2E2},
    {"VRPP3", 0x2E3},
    {"VR_Sen1", 0x2E4},
    {"VR_Sen2", 0x2E5},
    {"VR_Sen3", 0x2E6},
}};

void decodeBaudRate(ui::Form& form, const MemoryImage& image) {
  form.setChecked(image.byte(kBaudRate) != 0 ? "baudrate2" : "baudrate1", true);
}

}  // namespace

bool scramblerOff(settings::ProgramState& state) {
  return settings::Record(state).text(kScramblerField) == kScramblerOffText;
}

bool baudRateChosen(const settings::ProgramState& state) {
  return state.main->checked("baudrate1") || state.main->checked("baudrate2");
}

void encodeTestValues(FieldReader& fields, MemoryImage& image) {
  settings::ProgramState& state = fields.state();
  image.setByte(kScrambler, scramblerOff(state) ? kScramblerOffValue : 0);
  if (!testmode::isTestTabActive(state)) return;
  const ui::Form& form = *state.main;
  std::uint8_t type = 0;
  for (std::size_t i = 0; i < kTypes.size(); ++i)
    if (form.checked(kTypes[i])) type = static_cast<std::uint8_t>(i + 1);
  image.setByte(kRadioType, type);
  image.setByte(kBaudRate, form.checked("baudrate2") ? 1 : 0);
}

void decodeBaseband(settings::ProgramState& state, const MemoryImage& image) {
  ui::Form& form = *state.main;
  form.setValue("VR4", image.lowHalf(kCoarseVolume) % 8);
  form.setValue("VR3", image.lowHalf(kCompander));
  form.setValue("VR2", image.highHalf(kDeviation));
  form.setValue("VR1", image.lowHalf(kDeviation));
  form.setChecked(image.highHalf(kCompander) < kCompanderOn ? "CompressClose" : "CompressOpen",
                  true);
  const bool on = image.lowHalf(kScrambler) <= kLastScramblerOn;
  form.setChecked("SecretCheck", on);
  settings::Record(state).set(kScramblerField,
                              std::string(on ? kScramblerOnText : kScramblerOffText));
}

void decodeBulkRadioType(settings::ProgramState& state, const MemoryImage& image) {
  ui::Form& form = *state.main;
  const std::uint8_t type = image.byte(kRadioType);
  if (type == 1 || type == 2) {
    form.setChecked(kTypes[type - 1], true);
  } else {
    form.setChecked(kTypes[0], false);
    form.setChecked(kTypes[1], false);
  }
  decodeBaudRate(form, image);
}

void decodeRadioType(settings::ProgramState& state, const MemoryImage& image) {
  ui::Form& form = *state.main;
  const std::uint8_t type = image.byte(kRadioType);
  if (type >= 1 && type <= static_cast<int>(kTypes.size())) {
    form.setChecked(kTypes[type - 1], true);
  } else {
    for (const char* t : kTypes) form.setChecked(t, false);
  }
  decodeBaudRate(form, image);
}

std::optional<std::string_view> alignmentAt(Address at) {
  for (const Alignment& a : kAlignments)
    if (a.at == at) return a.control;
  return std::nullopt;
}

void decodeAlignment(settings::ProgramState& state, const MemoryImage& image, Address at) {
  if (const auto control = alignmentAt(at))
    state.main->setText(*control, ui::decimal(image.byte(at)));
}

void addTestValueLocations(Locations& out) {
  out.push_back({kScrambler, 1, 0, kScramblerField,
                 "8 for off, 0 for on (set by its mode command; sent as 0 in the bulk block)"});
  out.push_back({kCoarseVolume, 3, 0, "",
                 "Test tab volumes and compander: kept by the radio, sent as 0 in the bulk block"});
  out.push_back({kRadioType, 1, 0, "", "Test tab radio type (written only from the Test tab)"});
  out.push_back({kBaudRate, 1, 0, "", "Test tab baud rate (written only from the Test tab)"});
}

}  // namespace rcp::image
