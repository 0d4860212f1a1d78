#include "link/cp936.hpp"

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <stdexcept>

namespace rcp::link {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much of `in` as it can, appending to `out`; returns false when it stopped at a
  // sequence it cannot convert (invalid, unrepresentable or cut short), leaving `in` there.
  bool convert(std::string_view& in, std::string& out) {
    char buffer[1024];
    while (!in.empty()) {
      char* src = const_cast<char*>(in.data());
      std::size_t srcLeft = in.size();
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      const std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      const int error = errno;
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      in.remove_prefix(in.size() - srcLeft);
      if (rc != static_cast<std::size_t>(-1)) continue;
      if (error == E2BIG) continue;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
      return false;
    }
    return true;
  }

 private:
  iconv_t cd_;
};

// How many bytes the character at the start of `text` takes when it is well-formed UTF-8;
// 1 for a byte that does not begin a complete, well-formed sequence.
std::size_t utf8CharacterLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text.front());
  std::size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  if (length > text.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

}  // namespace

std::string decodeCp936(std::string_view bytes) {
  Converter converter("UTF-8", "CP936");
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  while (!converter.convert(bytes, out)) {
    out += kReplacement;
    bytes.remove_prefix(1);
  }
  return out;
}

std::string encodeCp936(std::string_view utf8) {
  Converter converter("CP936", "UTF-8");
  std::string out;
  out.reserve(utf8.size());
  while (!converter.convert(utf8, out)) {
    out += '?';
    utf8.remove_prefix(utf8CharacterLength(utf8));
  }
  return out;
}

}  // namespace rcp::link
