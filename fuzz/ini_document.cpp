// An INI document from any bytes, then every operation on it with names and values taken from the
// input: reading values, keys and sections, set, setAll, remove, removeAll and the file bytes.
// Besides crashes, undefined behaviour, leaks, hangs and escaping errors, a finding is a
// document nobody changed whose file bytes differ from the bytes it was read from.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "headless_program.hpp"
#include "link/ini_document.hpp"

using namespace rcp;

namespace {

// Takes the input apart: the file first, then the operations, split at NUL bytes.
class Pieces {
 public:
  explicit Pieces(std::string_view rest) : rest_(rest) {}
  bool empty() const { return rest_.empty(); }
  std::string_view next() {
    const auto end = rest_.find('\0');
    const auto piece = rest_.substr(0, end);
    rest_ = end == std::string_view::npos ? std::string_view{} : rest_.substr(end + 1);
    return piece;
  }

 private:
  std::string_view rest_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Pieces pieces(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string_view file = pieces.next();
  link::IniDocument document(file);
  if (document.fileBytes() != file) fuzz::finding("an unchanged document is written differently");

  while (!pieces.empty()) {
    const std::string_view op = pieces.next();
    const std::string section(pieces.next());
    const std::string key(pieces.next());
    const std::string value(pieces.next());
    switch (op.empty() ? 0 : static_cast<unsigned char>(op[0]) % 8) {
      case 0:
        (void)document.value(section, key);
        (void)document.value(section, key, value);
        break;
      case 1:
        (void)document.keys(section);
        if (const auto s = document.section(section)) (void)s->value(key);
        break;
      case 2:
        document.set(section, key, value);
        break;
      case 3:
        document.setAll(section, {{key, value}, {value, key}, {key, section}});
        break;
      case 4:
        (void)document.remove(section, key);
        break;
      case 5:
        document.removeAll(section, {key, value});
        break;
      case 6:
        document = link::IniDocument(document.fileBytes());
        break;
      case 7:
        document = link::IniDocument(value);
        break;
    }
  }
  (void)link::IniDocument(document.fileBytes()).fileBytes();
  return 0;
}
