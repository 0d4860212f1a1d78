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

#include "image/read_transfer.hpp"
#include "settings/data_file.hpp"
#include "support/random_memory.hpp"
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

class RadioMemoryRoundTrip : public ::testing::TestWithParam<bool> {};

TEST_P(RadioMemoryRoundTrip, TheFileSavedAfterAReadOpensToTheSameRecord) {
  const bool cpsx = GetParam();
  std::mt19937 rng(cpsx ? 1327 : 1343);
  for (const sim::ModelIdentity& model : sim::modelIdentities()) {
    test::TestProgram app(true, model.model);
    const fs::path first = app.dir / "first.ini", second = app.dir / "second.ini";
    for (int n = 0; n < kMemoriesPerScheme; ++n) {
      test::randomMemory(app.radio.memory(), rng, cpsx, n);
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
