#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rcp::link {

// The text of an INI file: "[section]" headers and "key=value" lines, with comments (lines that
// start with ';' or '#') and blank lines in between. Lines are kept in the file's own bytes
// (CP936), each with its own line end, so a line the program does not change is written back
// exactly as it was. The interface speaks UTF-8.
//
// Section and key names match without regard to the case of Latin letters; the first matching
// section and the first matching key in it count. Values are read trimmed of blanks, with one
// pair of surrounding quotes removed, and cut to kMaxValueLength bytes of the file's encoding.
class IniDocument {
 public:
  static constexpr std::size_t kMaxValueLength = 2047;

  IniDocument() = default;
  explicit IniDocument(std::string_view fileBytes);

  // The whole file as it is to be written: new lines end in CR LF.
  std::string fileBytes() const;

  std::optional<std::string> value(std::string_view section, std::string_view key) const;
  std::string value(std::string_view section, std::string_view key,
                    std::string_view fallback) const;
  // The key names of a section in file order, as written in the file.
  std::vector<std::string> keys(std::string_view section) const;

  // Replaces the value of an existing key in its line, or appends "key=value" after the last key
  // of the section, or appends the section with the key at the end of the file.
  void set(std::string_view section, std::string_view key, std::string_view value);
  // Removes the key's line; false when there was no such key.
  bool remove(std::string_view section, std::string_view key);

 private:
  struct Line {
    std::string text;    // without the line end, in the file's encoding
    std::string ending;  // "\r\n", "\n" or, on a last line without one, ""
  };
  struct SectionSpan {
    std::size_t header;  // index of the header line
    std::size_t end;     // one past the section's last line
  };

  std::optional<SectionSpan> findSection(std::string_view encodedSection) const;
  std::optional<std::size_t> findKey(const SectionSpan& span, std::string_view encodedKey) const;
  void insertLine(std::size_t index, std::string text);

  std::vector<Line> lines_;
};

}  // namespace rcp::link
