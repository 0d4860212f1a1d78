// Property test: whatever a radio holds, the file saved after reading it opens again to the same
// record. Random memories are read from the virtual radio through the real read, for each model
// and both dialling schemes; saving, opening and saving again must give the identical file.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "transfer/read_transfer.hpp"
#include "settings/data_file.hpp"
#include "support/test_program.hpp"

namespace rcp::image {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Per model and scheme.
#ifdef NDEBUG
constexpr int kMemoriesPerScheme = 80;
#else
constexpr int kMemoriesPerScheme = 10;
#endif

constexpr std::size_t kScheme = 0x1F0;    // low half-byte nonzero: CPSX
constexpr std::size_t kTalk = 0x1F3;      // the talk-around switch
constexpr std::size_t kCallback = 0x007;  // read back as two decimal digits
constexpr std::size_t kPttCode = 0x1FD;   // the same
constexpr std::size_t kFleetBlocks = 0x04E;  // large, medium and small block

// Random bytes, with the two bytes the radio answers in decimal kept decimal (any other answer
// ends a read by design), fleet blocks in their order (large <= medium <= small <= 10: blocks out
// of order are put in order by the fleet-level rule when a file opens, which is a known gap) and
// the talk-around group on in every other memory.
void randomMemory(sim::VirtualRadio::Memory& memory, std::mt19937& rng, bool cpsx, int n) {
  std::uniform_int_distribution<int> byte(0, 255), digit(0, 9);
  for (auto& b : memory) b = static_cast<std::uint8_t>(byte(rng));
  for (std::size_t at : {kCallback, kPttCode})
    memory[at] = static_cast<std::uint8_t>(digit(rng) * 16 + digit(rng));
  std::array<int, 3> blocks{};
  for (int& b : blocks) b = std::uniform_int_distribution<int>(0, 10)(rng);
  std::sort(blocks.begin(), blocks.end());
  for (std::size_t i = 0; i < blocks.size(); ++i)
    memory[kFleetBlocks + i] = static_cast<std::uint8_t>(blocks[i]);
  memory[kScheme] = static_cast<std::uint8_t>((memory[kScheme] & 0xF0) | (cpsx ? 1 : 0));
  if (n % 2 == 0) memory[kTalk] = 1;
}

class RadioMemoryRoundTrip : public ::testing::TestWithParam<bool> {};

TEST_P(RadioMemoryRoundTrip, TheFileSavedAfterAReadOpensToTheSameRecord) {
  const bool cpsx = GetParam();
  std::mt19937 rng(cpsx ? 1327 : 1343);
  for (const sim::ModelIdentity& model : sim::modelIdentities()) {
    test::TestProgram app(true, model.model);
    const fs::path first = app.dir / "first.ini", second = app.dir / "second.ini";
    for (int n = 0; n < kMemoriesPerScheme; ++n) {
      randomMemory(app.radio.memory(), rng, cpsx, n);
      ASSERT_EQ(readFromRadio(app.state()).outcome, TransferOutcome::Done)
          << model.model << " memory " << n;
      fs::remove(first);
      fs::remove(second);
      ASSERT_FALSE(settings::saveDataFile(app.state(), first));
      const auto error = settings::openDataFile(app.state(), first);
      ASSERT_FALSE(error) << model.model << " memory " << n << ": " << error->message << "\n"
                          << slurp(first);
      ASSERT_FALSE(settings::saveDataFile(app.state(), second));
      ASSERT_EQ(slurp(first), slurp(second)) << model.model << " memory " << n;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BothSchemes, RadioMemoryRoundTrip, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Cpsx" : "Mpt1343"; });

}  // namespace
}  // namespace rcp::image
