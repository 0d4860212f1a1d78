// The code page: its edges in tables, and on Linux the table against the C library's
// iconv CP936, which the program used to convert through and which the table is generated from:
// every single byte, every pair of bytes and every Unicode character converts exactly as it does
// through iconv, refusals included.

#include "link/cp936.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#ifdef __linux__
#include <iconv.h>
#endif

namespace rcp::link {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

struct Conversion {
  std::string from, to;
};

TEST(Cp936Edges, BytesOutsideTheCodePageBecomeOneReplacementEach) {
  const std::string bad(kReplacement);
  const Conversion cases[] = {
      {"\x80", "\xE2\x82\xAC"},                          // the euro sign's single byte
      {"\xFF", bad},                                     // no character at all
      {"z\xC9", "z" + bad},                              // a lead byte at the end
      {"\x81\x7F", bad + "\x7F"},                        // 0x7F is never a trail byte
      {"\xC9\xFF\xC9\xE8", bad + bad + "\xE8\xAE\xBE"},  // after a bad trail, a fresh start
      {"\xFE\x40\xA1\xA1", "\xEF\xA8\x8C\xE3\x80\x80"},  // first and last rows: U+FA0C, U+3000
  };
  for (const auto& c : cases) EXPECT_EQ(decodeCp936(c.from), c.to) << c.to;
}

TEST(Cp936Edges, EachBadUtf8SequenceBecomesOneQuestionMarkOrOnePerByte) {
  // A sequence of the right shape (lead byte and its continuation bytes) that is still not UTF-8
  // is one '?'; a byte that begins no such shape is one '?' and the next byte starts afresh.
  const Conversion cases[] = {
      {"\xE0\x80\x80z", "?z"},                    // the overlong form of U+0000, not a NUL
      {"\xF0\x80\x81\x81z", "?z"},                // overlong 'A'
      {"\xED\xA0\x80\xED\xB0\x80", "??"},         // a surrogate pair written out
      {"\xF4\x90\x80\x80", "?"},                  // beyond U+10FFFF
      {"\xC0\x80\xC1\xBF", "????"},               // C0 and C1 never begin a character
      {"\xF5\x80\x80\x80", "????"},               // nor do F5..FF
      {"\xF8\x88\x80\x80\x80", "?????"},          // nor the old five-byte forms
      {"\xE4\xB8z\xE4\xB8", "??z??"},             // cut short, in the middle and at the end
      {"\x80\xBFz", "??z"},                       // continuation bytes alone
      {"\xEF\xBB\xBF\xE4\xB8\xAD", "?\xD6\xD0"},  // a byte order mark is not in the code page
      {"\xE2\x82\xAC\xC2\xA4", "\x80\xA1\xE8"},   // the euro sign is one byte
      {"\xF0\x9F\x8F\xB4\xF3\xA0\x81\xA7\xF3\xA0\x81\xBF", "?"},  // language tags are dropped
  };
  for (const auto& c : cases) EXPECT_EQ(encodeCp936(c.from), c.to) << c.to;
}

#ifdef __linux__

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (valid()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // As much of `in` as iconv converts in one go; `in` is left where it stopped.
  std::string convert(std::string_view& in) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string copy(in);
    std::string out(in.size() * 4 + 4, '\0');
    char* src = copy.data();
    std::size_t srcLeft = copy.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
    in.remove_prefix(in.size() - srcLeft);
    out.resize(out.size() - dstLeft);
    return out;
  }

  // All of `in`, or nothing when iconv refuses any of it.
  std::optional<std::string> convertAll(std::string_view in) {
    std::string out = convert(in);
    if (!in.empty()) return std::nullopt;
    return out;
  }

 private:
  iconv_t cd_;
};

std::string utf8(char32_t c) {
  std::string out;
  if (c < 0x80) return std::string(1, static_cast<char>(c));
  const int length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
  out += static_cast<char>((0xF00 >> length) | (c >> (6 * (length - 1))));
  for (int i = length - 2; i >= 0; --i) out += static_cast<char>(0x80 | (c >> (6 * i) & 0x3F));
  return out;
}

class Cp936AgainstIconv : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(decoder_.valid() && encoder_.valid()) << "this C library has no CP936";
  }
  Iconv decoder_{"UTF-8", "CP936"};
  Iconv encoder_{"CP936", "UTF-8"};
};

TEST_F(Cp936AgainstIconv, EveryByteAndEveryPairOfBytesDecodeAsThroughIconv) {
  // What the program did through iconv: convert as far as it goes, then U+FFFD for the one byte
  // it stopped at, and on from the next byte.
  const auto throughIconv = [&](std::string_view bytes) {
    std::string out;
    while (true) {
      out += decoder_.convert(bytes);
      if (bytes.empty()) return out;
      out += kReplacement;
      bytes.remove_prefix(1);
    }
  };
  int twoByteCharacters = 0;
  for (int first = 0; first < 0x100; ++first) {
    const std::string single(1, static_cast<char>(first));
    ASSERT_EQ(decodeCp936(single), throughIconv(single)) << std::hex << "byte 0x" << first;
    for (int second = 0; second < 0x100; ++second) {
      const std::string pair = single + static_cast<char>(second);
      ASSERT_EQ(decodeCp936(pair), throughIconv(pair))
          << std::hex << "bytes 0x" << first << " 0x" << second;
      twoByteCharacters += first >= 0x81 && decoder_.convertAll(pair).has_value();
    }
  }
  EXPECT_GT(twoByteCharacters, 21000);  // the reference did convert: GBK has 21886 codes
}

TEST_F(Cp936AgainstIconv, EveryCharacterEncodesAsThroughIconv) {
  // Each Unicode scalar value alone: what iconv makes of it (nothing for a language tag), or '?'
  // where iconv refuses it.
  int encodable = 0;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::string text = utf8(c);
    const std::optional<std::string> expected = encoder_.convertAll(text);
    ASSERT_EQ(encodeCp936(text), expected.value_or("?")) << "U+" << std::hex << unsigned(c);
    encodable += expected && !expected->empty();
  }
  EXPECT_GT(encodable, 21000);
}

#endif  // __linux__

}  // namespace
}  // namespace rcp::link
