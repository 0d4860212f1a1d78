// The code page both ways on any bytes, taken once as code-page bytes and once as UTF-8. What
// encoding gives is the code page's own form of a text, so decoding it and encoding again must
// give the same bytes; anything else would change a text each time a file is opened and saved.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "headless_program.hpp"
#include "link/cp936.hpp"

using namespace rcp;

namespace {

void checkStable(const std::string& encoded) {
  if (link::encodeCp936(link::decodeCp936(encoded)) != encoded)
    fuzz::finding("encoded text does not come back from decoding and encoding again");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  checkStable(link::encodeCp936(link::decodeCp936(bytes)));
  checkStable(link::encodeCp936(bytes));
  return 0;
}
