#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "program/offline_program.hpp"
#include "settings/data_file.hpp"
#include "review/config_diff.hpp"

// The field-level comparison of two configurations as the tool prints it, on the terminal and in
// the window alike: a heading a tab page, a line a field with both sides' values, and a summary
// naming the sides; and a side that is a data file's text (a configuration the history keeps).
namespace rcp::app {

// One side as the summary names it; a radio's side marks the fields a radio does not keep.
struct ComparedSide {
  std::string name;
  bool radio = false;
};

struct ComparisonText {
  std::vector<std::string> lines;  // empty when nothing differs
  std::size_t differing = 0;       // the differences but the fields a radio does not keep
};

// "[用户信息]", "  用户信息 › 时间常数 › TA：A “5”，B “7”", …, "共 1 项不同（A：…，B：…）。"
ComparisonText comparisonText(const std::vector<FieldDifference>& differences,
                              const ComparedSide& a, const ComparedSide& b);

// A data file's text opened as the open command opens a file, into an offline program of its own
// (which also names the fields), and the values it keeps.
struct OpenedConfiguration {
  std::unique_ptr<OfflineProgram> program;
  KeptValues values;
  std::optional<settings::DataFileError> error;  // the open failed: program and values unset
};
OpenedConfiguration openConfiguration(const std::string& dataFileText);

}  // namespace rcp::app
