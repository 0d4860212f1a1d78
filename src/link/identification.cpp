#include "link/identification.hpp"

namespace rcp::link {

namespace {

constexpr int kWideSpacing = 450000;
constexpr int kNarrowSpacing = 100000;

constexpr std::array<ModelRow, 10> kRows = {{
    {1, "HX77", '7', '7', '\0', "欢迎使用HX77双工手持台!", "HX77双工手持台参数设置", kWideSpacing,
     true, true},
    {2, "MX541", '4', '1', '\0', "欢迎使用MX541双工车载电台!", "MX541双工车载台参数设置",
     kWideSpacing, true, true},
    {3, "MX542", '4', '2', '\0', "欢迎使用MX542单工车载电台!", "MX542单工车载台参数设置",
     kWideSpacing, true, true},
    {4, "MX543", '4', '3', '\0', "欢迎使用MX543双工数传车载电台!", "MX543双工数传车载台参数设置",
     kWideSpacing, true, true},
    {5, "MX521", '2', '1', '\0', "欢迎使用MX521双工车载电台!", "MX521双工车载台参数设置",
     kNarrowSpacing, false, false},
    {6, "MX522", '2', '2', '\0', "欢迎使用MX522单工车载电台!", "MX522单工车载台参数设置",
     kNarrowSpacing, false, false},
    {7, "MX520", 'A', 'N', '\0', "欢迎使用MX520单工车载电台!", "MX520单工车载台参数设置",
     kNarrowSpacing, false, false},
    {8, "HX34s", '\0', '4', 'S', "欢迎使用HX34s单工手持台!", "HX34s单工手持台参数设置",
     kNarrowSpacing, true, false},
    {9, "HX34", '\0', '4', '\0', "欢迎使用HX34单工手持台!", "HX34单工手持台参数设置",
     kNarrowSpacing, false, false},
    {10, "HX33", '\0', '\0', '\0', "欢迎使用HX33单工手持台!", "HX33单工手持台参数设置",
     kNarrowSpacing, true, false},
}};

bool byteMatches(std::uint8_t byte, char wanted) {
  return wanted == '\0' || byte == static_cast<std::uint8_t>(wanted);
}

}  // namespace

std::span<const ModelRow> modelRows() {
  return kRows;
}

const ModelRow& matchModel(const RadioIdentity& identity) {
  for (const ModelRow& row : kRows) {
    if (byteMatches(identity[3], row.byte3) && byteMatches(identity[4], row.byte4) &&
        byteMatches(identity[5], row.byte5)) {
      return row;
    }
  }
  return kRows.back();
}

Identification identify(const RadioIdentity& identity, IdentifyPurpose purpose) {
  const ModelRow& row = matchModel(identity);
  Identification result{&row, std::nullopt, false};
  if (purpose == IdentifyPurpose::StartUp) result.welcome = row.welcome;
  if (purpose == IdentifyPurpose::Write) result.presetSimplex = row.presetsSimplex;
  return result;
}

}  // namespace rcp::link
