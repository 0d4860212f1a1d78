// Every decoder of a read's answers, on answers of any length and characters, into a started
// program: the bulk answer and the 26 small answers, in any order and any number of times, with
// one read session throughout (so a menu-bits answer reaches a later ring answer).
//
// Input: one byte choosing the radio model, then records of a step byte (0 the bulk answer, k the
// k-th small read), a length byte and the answer's characters. The bulk answer takes 992
// characters whatever its length byte says (a shorter rest is a short answer). The call-back and
// PTT-code answers that are no number raise the conversion error the read reports; any other
// escaping error is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "headless_program.hpp"
#include "image/read_image.hpp"
#include "sim/radio_models.hpp"
#include "ui/conversion_error.hpp"

using namespace rcp;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  if (rest.empty()) return 0;
  const auto models = sim::modelIdentities();
  const auto model = models[static_cast<unsigned char>(rest[0]) % models.size()].model;
  rest.remove_prefix(1);

  fuzz::HeadlessProgram headless(model);
  image::ReadSession session(headless.state());
  const auto reads = image::smallReads();
  while (rest.size() >= 2) {
    const std::size_t step = static_cast<unsigned char>(rest[0]) % (reads.size() + 1);
    const std::size_t length =
        step == 0 ? image::kBulkAnswerChars : static_cast<unsigned char>(rest[1]);
    rest.remove_prefix(2);
    const std::string_view answer = rest.substr(0, length);
    rest.remove_prefix(answer.size());
    if (step == 0) {
      image::decodeBulk(headless.state(), answer);
      continue;
    }
    const image::ReadStep which = reads[step - 1].step;
    try {
      image::decodeSmallRead(session, which, answer);
    } catch (const ui::ConversionError&) {
      if (which != image::ReadStep::Callback && which != image::ReadStep::PttCode) throw;
    }
  }
  return 0;
}
