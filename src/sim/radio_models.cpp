#include "sim/radio_models.hpp"

#include <algorithm>
#include <array>

namespace rcp::sim {

namespace {

constexpr std::array<ModelIdentity, 10> kIdentities = {{
    {"HX77", "RCP77D HX77  V2.10"},
    {"MX541", "RCP41M MX541 V2.10"},
    {"MX542", "RCP42M MX542 V2.10"},
    {"MX543", "RCP43M MX543 V2.10"},
    {"MX521", "RCP21M MX521 V2.10"},
    {"MX522", "RCP22M MX522 V2.10"},
    {"MX520", "RCPAN0 MX520 V2.10"},
    {"HX34s", "RCP34S HX34s V2.10"},
    {"HX34", "RCP34H HX34  V2.10"},
    {"HX33", "RCP33H HX33  V2.10"},
}};

static_assert(std::all_of(kIdentities.begin(), kIdentities.end(), [](const ModelIdentity& m) {
  return m.identity.size() == link::kIdentityLength;
}));

char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return upper(x) == upper(y); });
}

}  // namespace

std::span<const ModelIdentity> modelIdentities() {
  return kIdentities;
}

std::optional<link::RadioIdentity> identityOfModel(std::string_view model) {
  for (const ModelIdentity& entry : kIdentities) {
    if (sameName(entry.model, model)) return identityFromText(entry.identity);
  }
  return std::nullopt;
}

link::RadioIdentity identityFromText(std::string_view text) {
  link::RadioIdentity identity{};
  std::copy_n(text.begin(), std::min(text.size(), identity.size()), identity.begin());
  return identity;
}

}  // namespace rcp::sim
