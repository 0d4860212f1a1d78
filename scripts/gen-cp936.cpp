// Writes the code page table (src/link/cp936_table.inc) from the C library's iconv CP936, for
// scripts/gen-cp936. It asks iconv for every two-byte code and every Unicode code point, checks
// that the single bytes and the tag characters behave as src/link/cp936.cpp assumes, and that
// every two-byte code comes back from encoding what it decodes to; it writes nothing otherwise.
#include <gnu/libc-version.h>
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kFirstLead = 0x81, kLastLead = 0xFE, kFirstTrail = 0x40, kLastTrail = 0xFE;
constexpr int kTrails = kLastTrail - kFirstTrail + 1;
constexpr int kLeads = kLastLead - kFirstLead + 1;

[[noreturn]] void fail(const std::string& why) {
  std::fprintf(stderr, "gen-cp936: %s\n", why.c_str());
  std::exit(1);
}

std::string hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", value);
  return text;
}

// All of `in` converted in one call, or nothing when iconv refuses any of it.
std::optional<std::string> convert(iconv_t cd, const std::string& in) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string copy = in;
  char buffer[64];
  char* src = copy.data();
  std::size_t srcLeft = copy.size();
  char* dst = buffer;
  std::size_t dstLeft = sizeof buffer;
  if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) || srcLeft != 0)
    return std::nullopt;
  return std::string(buffer, dst);
}

std::vector<std::uint32_t> codePoints(const std::string& utf32) {
  std::vector<std::uint32_t> out;
  for (std::size_t i = 0; i + 4 <= utf32.size(); i += 4) {
    std::uint32_t cp = 0;
    for (int k = 3; k >= 0; --k) cp = cp << 8 | static_cast<unsigned char>(utf32[i + k]);
    out.push_back(cp);
  }
  return out;
}

std::string utf32(std::uint32_t cp) {
  return {static_cast<char>(cp & 0xFF), static_cast<char>(cp >> 8 & 0xFF),
          static_cast<char>(cp >> 16 & 0xFF), static_cast<char>(cp >> 24)};
}

iconv_t open(const char* to, const char* from) {
  const iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) fail(std::string("iconv cannot convert ") + from);
  return cd;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) fail("usage: gen-cp936 OUTPUT");
  const iconv_t decoder = open("UTF-32LE", "CP936");
  const iconv_t encoder = open("CP936", "UTF-32LE");

  // The single bytes: ASCII as itself, 0x80 the euro sign, every other byte no character alone.
  for (int byte = 0; byte < 0x100; ++byte) {
    const auto decoded = convert(decoder, std::string(1, static_cast<char>(byte)));
    const std::vector<std::uint32_t> expected =
        byte < 0x80    ? std::vector<std::uint32_t>{static_cast<std::uint32_t>(byte)}
        : byte == 0x80 ? std::vector<std::uint32_t>{0x20AC}
                       : std::vector<std::uint32_t>{};
    if ((decoded ? codePoints(*decoded) : std::vector<std::uint32_t>{}) != expected)
      fail("the single byte " + hex(byte) + " is not what cp936.cpp assumes");
  }

  std::vector<std::uint16_t> decode(kLeads * kTrails, 0);
  std::map<std::uint16_t, std::uint16_t> codeOf;  // BMP code point -> two-byte code
  for (int lead = kFirstLead; lead <= kLastLead; ++lead) {
    for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
      const auto decoded = convert(decoder, {static_cast<char>(lead), static_cast<char>(trail)});
      if (!decoded) continue;
      const auto cps = codePoints(*decoded);
      const unsigned code = static_cast<unsigned>(lead << 8 | trail);
      if (cps.size() != 1 || cps[0] == 0 || cps[0] > 0xFFFF)
        fail(hex(code) + " is not one character of the Basic Multilingual Plane");
      if (trail == 0x7F) fail(hex(code) + " decodes although its trail byte is 0x7F");
      decode[(lead - kFirstLead) * kTrails + trail - kFirstTrail] =
          static_cast<std::uint16_t>(cps[0]);
    }
  }

  for (std::uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    const auto encoded = convert(encoder, utf32(cp));
    if (!encoded) continue;
    const std::string& bytes = *encoded;
    if (bytes.empty() && (cp >> 7) == (0xE0000 >> 7)) continue;  // a tag character: dropped
    if (bytes.size() == 1 && static_cast<unsigned char>(bytes[0]) == (cp == 0x20AC ? 0x80 : cp))
      continue;
    if (bytes.size() != 2) fail("U+" + hex(cp) + " encodes to neither one byte nor two");
    const int lead = static_cast<unsigned char>(bytes[0]);
    const int trail = static_cast<unsigned char>(bytes[1]);
    if (lead < kFirstLead || trail < kFirstTrail || trail > kLastTrail ||
        decode[(lead - kFirstLead) * kTrails + trail - kFirstTrail] != cp)
      fail("U+" + hex(cp) + " encodes to a code that does not decode back to it");
    codeOf[static_cast<std::uint16_t>(cp)] = static_cast<std::uint16_t>(lead << 8 | trail);
  }
  std::size_t decodable = 0;
  for (const std::uint16_t cp : decode) decodable += cp != 0;
  if (decodable != codeOf.size()) fail("some two-byte code does not come back from encoding");

  FILE* out = std::fopen(argv[1], "w");
  if (!out) fail(std::string("cannot write ") + argv[1]);
  std::fprintf(out,
               "// Generated by scripts/gen-cp936 from iconv's CP936 (GNU C Library %s); do not "
               "edit.\n"
               "// Included by cp936.cpp only.\n"
               "// clang-format off\n\n"
               "// The character of each two-byte code: lead 0x%02X..0x%02X, trail 0x%02X..0x%02X, "
               "0 for none.\n"
               "constexpr std::uint16_t kTwoByteCharacters[%d * %d] = {",
               gnu_get_libc_version(), kFirstLead, kLastLead, kFirstTrail, kLastTrail, kLeads,
               kTrails);
  for (std::size_t i = 0; i < decode.size(); ++i) {
    if (i % kTrails == 0)
      std::fprintf(out, "\n    // lead 0x%02X", static_cast<int>(i / kTrails) + kFirstLead);
    if (i % kTrails % 12 == 0) std::fprintf(out, "\n   ");
    std::fprintf(out, " 0x%04X,", decode[i]);
  }
  std::fprintf(out,
               "\n};\n\n"
               "// Every two-byte code that has a character, in the order of the characters.\n"
               "constexpr std::uint16_t kTwoByteCodesByCharacter[%zu] = {",
               codeOf.size());
  std::size_t i = 0;
  for (const auto& [cp, code] : codeOf) {
    if (i++ % 12 == 0) std::fprintf(out, "\n   ");
    std::fprintf(out, " 0x%04X,", code);
  }
  std::fprintf(out, "\n};\n");
  if (std::fclose(out) != 0) fail(std::string("cannot write ") + argv[1]);
  std::printf("gen-cp936: %zu two-byte codes, %zu bytes of tables\n", codeOf.size(),
              (decode.size() + codeOf.size()) * sizeof(std::uint16_t));
  return 0;
}
