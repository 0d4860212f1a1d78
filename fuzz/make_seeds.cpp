// Writes the seed corpus of the fuzz targets from what the tool and the virtual radio really
// produce: data files the tool saved (fresh, and after writing a changed record into a radio and
// reading it back), the answers of that read, and the bytes the tool sent the radio.
//
//   rcp520-fuzz-seeds fuzz/corpus
//
// Hand-written seeds (INI edge cases, broken answers) live next to these and are kept.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "headless_program.hpp"
#include "image/memory_image.hpp"
#include "image/read_image.hpp"
#include "settings/record.hpp"
#include "sim/radio_models.hpp"
#include "window/file_commands.hpp"
#include "window/transfer_commands.hpp"

using namespace rcp;
namespace fs = std::filesystem;

namespace {

fs::path corpus;

void seed(const std::string& target, const std::string& name, const std::string& bytes) {
  fs::create_directories(corpus / target);
  fuzz::writeFile(corpus / target / name, bytes);
}

std::string savedFile(fuzz::HeadlessProgram& headless) {
  const auto file = fuzz::scratch() / "seed.ini";
  fs::remove(file);
  app::DataFileNames names;
  headless.dialogs.fileAnswers.push_back(file.string());
  app::SaveFileClick(headless.state(), names);
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

char modelByte(const std::string& model) {
  const auto models = sim::modelIdentities();
  for (std::size_t i = 0; i < models.size(); ++i)
    if (models[i].model == model) return static_cast<char>(i);
  return 0;
}

// The read_decoders input a complete read of this memory brings.
std::string readAnswers(const std::string& model, const sim::VirtualRadio::Memory& memory) {
  image::MemoryImage image;
  image.setBytes(0, memory);
  std::string out(1, modelByte(model));
  out += std::string{'\0', '\0'} + image.hex(0x010, image::kBulkAnswerChars / 2);
  const auto reads = image::smallReads();
  for (std::size_t i = 0; i < reads.size(); ++i) {
    out += static_cast<char>(i + 1);
    out += static_cast<char>(reads[i].neededChars);
    out += image.hex(reads[i].address, reads[i].neededChars / 2);
  }
  return out;
}

// The virtual_radio input that replays what the tool sent, at the times it sent it.
std::string replay(const std::string& model, const sim::SimulatedPort& port) {
  std::string out{modelByte(model), '\0', '\0'};
  sim::Micros now = 0;
  for (const auto& event : port.events()) {
    if (event.kind != sim::SimulatedPort::Event::Kind::Write) continue;
    const sim::Micros at = event.atMs * 1000;
    for (sim::Micros gap = at - now; gap > 0;) {
      const sim::Micros step = std::min<sim::Micros>(gap / 10, 0xFFFF);
      if (step == 0) break;
      out += std::string{'\0', static_cast<char>(step & 0xFF), static_cast<char>(step >> 8)};
      gap -= step * 10;
      now += step * 10;
    }
    for (std::size_t from = 0; from < event.bytes.size(); from += 255) {
      const std::size_t n = std::min<std::size_t>(255, event.bytes.size() - from);
      out += '\2';
      out += static_cast<char>(n);
      out.append(event.bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 event.bytes.begin() + static_cast<std::ptrdiff_t>(from + n));
      now += static_cast<sim::Micros>(n) * sim::SimulatedPort::kByteTime;
    }
    out += '\3';
  }
  return out;
}

// Seeds from a transfer that did not go through would exercise the failure path only.
int failed(const char* transfer, const std::string& model) {
  std::fprintf(stderr, "the %s of %s did not go through; no seeds were made\n", transfer,
               model.c_str());
  return 1;
}

const std::vector<std::pair<std::string, std::string>> kChanged = {
    {"FirstChannel", "25"},  {"FirstStop", "300"},         {"RegCode", "1234"},
    {"Hunt07", "77"},        {"StartUp-Infomation", "Hi"}, {"StartUp-Password", "12345678"},
    {"Group2", "3262001901"}};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
    return 2;
  }
  corpus = argv[1];

  {
    fuzz::HeadlessProgram fresh;
    seed("data_file_open", "saved-fresh.ini", savedFile(fresh));
  }
  for (const std::string model : {"HX33", "HX77"}) {
    fuzz::HeadlessProgram headless(model);
    settings::Record record(headless.state());
    for (const auto& [field, value] : kChanged) record.set(field, value);
    headless.clock.pause(1000);
    headless.port.settle();
    headless.port.clearEvents();
    app::TransferMemory memory;
    if (app::WriteDataClick(headless.state(), memory, {}, app::RestoreOffer::Ask).outcome !=
        image::TransferOutcome::Done)
      return failed("write", model);
    headless.clock.pause(1000);
    headless.port.settle();
    seed("virtual_radio", "write-" + model, replay(model, headless.port));
    headless.port.clearEvents();
    if (app::ReadDataClick(headless.state(), memory).outcome != image::TransferOutcome::Done)
      return failed("read", model);
    headless.port.settle();
    seed("virtual_radio", "read-" + model, replay(model, headless.port));
    seed("read_decoders", "read-" + model, readAnswers(model, headless.radio.memory()));
    seed("data_file_open", "saved-after-read-" + model + ".ini", savedFile(headless));
  }
  return 0;
}
