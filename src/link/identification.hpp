#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "link/radio_identity.hpp"

namespace rcp::link {

// One row of the model table. A row matches when each of identity bytes 3, 4 and 5 equals its
// character here, '\0' matching anything; rows are tried in order and the last matches all.
struct ModelRow {
  int row;
  std::string_view model;
  char byte3;
  char byte4;
  char byte5;
  std::string_view welcome;  // status text after identification at start-up
  std::string_view caption;  // main window caption
  int duplexSpacing;         // receive-to-transmit spacing, 100 Hz steps
  bool packedPhoneBook;      // the phone book is stored in the packed form
  bool presetsSimplex;       // writing sets off-network channels 16 to 19 to kPresetSimplexFreqs
};

// Receive and transmit frequency of off-network channels 16 to 19 for the models that preset
// them on writing, 100 Hz steps (836.8125 MHz to 836.9625 MHz).
inline constexpr std::array<int, 4> kPresetSimplexFreqs = {8368125, 8368625, 8369125, 8369625};

std::span<const ModelRow> modelRows();

// The first row that matches; every identity, an empty one included, matches some row.
const ModelRow& matchModel(const RadioIdentity& identity);

// Why the identification runs; it decides which of the row's effects apply.
enum class IdentifyPurpose { StartUp, Read, Write };

struct Identification {
  const ModelRow* model;
  std::optional<std::string_view> welcome;  // shown only at start-up
  bool presetSimplex;                       // only when writing, and only for the rows that do
};

Identification identify(const RadioIdentity& identity, IdentifyPurpose purpose);

}  // namespace rcp::link
