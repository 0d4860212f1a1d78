#include "review/diff_text.hpp"

#include <optional>

#include "program/data_file_opening.hpp"

namespace rcp::app {

namespace {

constexpr const char* kNotCarried = "无此项";
constexpr const char* kNotKeptByRadio = "电台不保存";
constexpr const char* kOnNoTab = "其他";

std::string shown(const ComparedSide& side, const FieldDifference& d,
                  const std::optional<std::string>& value) {
  if (side.radio && !radioKeeps(d.field)) return kNotKeptByRadio;
  return value ? "“" + *value + "”" : kNotCarried;
}

}  // namespace

ComparisonText comparisonText(const std::vector<FieldDifference>& differences,
                              const ComparedSide& a, const ComparedSide& b) {
  ComparisonText text;
  if (differences.empty()) return text;
  std::optional<std::string> tab;
  std::size_t notKept = 0;
  for (const FieldDifference& d : differences) {
    if (d.tab != tab)
      text.lines.push_back("[" + (d.tab.empty() ? std::string(kOnNoTab) : d.tab) + "]");
    tab = d.tab;
    notKept += (a.radio || b.radio) && !radioKeeps(d.field);
    text.lines.push_back("  " + d.path + "：A " + shown(a, d, d.a) + "，B " + shown(b, d, d.b));
  }
  text.differing = differences.size() - notKept;
  text.lines.push_back("共 " + std::to_string(text.differing) + " 项不同" +
                       (notKept ? "，" + std::to_string(notKept) + " 项电台不保存" : "") + "（A：" +
                       a.name + "，B：" + b.name + "）。");
  return text;
}

OpenedConfiguration openConfiguration(const std::string& dataFileText) {
  OpenedConfiguration opened;
  auto program = std::make_unique<OfflineProgram>();
  const link::IniDocument document(dataFileText);
  if (auto error = openDocumentAndCheck(program->state(), document)) {
    opened.error = std::move(error);
    return opened;
  }
  opened.values = dataFileValues(program->state(), document);
  opened.program = std::move(program);
  return opened;
}

}  // namespace rcp::app
