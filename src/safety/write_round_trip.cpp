#include "safety/write_round_trip.hpp"

#include <variant>

#include "image/field_locations.hpp"
#include "image/read_image.hpp"
#include "image/write_image.hpp"
#include "link/identification.hpp"
#include "link/ini_document.hpp"
#include "program/offline_program.hpp"
#include "settings/data_file.hpp"
#include "settings/data_file_keys.hpp"
#include "settings/field_captions.hpp"
#include "settings/fleet_levels.hpp"
#include "settings/record.hpp"
#include "transfer/transfer_outcome.hpp"
#include "transfer/write_verification.hpp"
#include "ui/number_text.hpp"

namespace rcp::app {

namespace {

using settings::ProgramState;

constexpr std::size_t kCpsxPhoneDigits = 8;
constexpr std::int64_t kPackedPhoneEntries = 10;
constexpr int kFirstPresetChannel = 16;

link::IniDocument savedRecord(ProgramState& state) {
  link::IniDocument document;
  settings::saveRecord(state, document);
  return document;
}

std::string valueOf(const link::IniDocument& document, const std::string& key) {
  return document.value(settings::kDataFileSection, key).value_or("");
}

// The same text, or the same number written another way ("07" and "7").
bool sameValue(const std::string& a, const std::string& b) {
  if (a == b) return true;
  const auto x = ui::parseInt64(a), y = ui::parseInt64(b);
  return x && y && *x == *y;
}

// Whether the write decides any bit of the field under the record's scheme.
bool writtenField(const std::string& field, bool cpsx, const image::ByteMasks& bits) {
  for (const image::FieldLocation* place : image::locationsOf(field)) {
    if (!place->forScheme(cpsx)) continue;
    const std::uint8_t mask = place->mask ? place->mask : 0xFF;
    for (std::size_t a = place->address; a < place->address + place->length; ++a)
      if (bits[a] & mask) return true;
  }
  return false;
}

std::string quoted(const std::string& value) {
  return "“" + value + "”";
}

bool isPhoneNumber(const std::string& field) {
  return field.starts_with("PhoneNumber");
}

// The radio's own changes the check tells of, found in the record before it is written.
void addNotes(ProgramState& state, const link::IniDocument& sent, RoundTrip& result) {
  const auto note = [&](const std::string& field, const std::string& key, std::string back,
                        std::string text) {
    const std::string value = valueOf(sent, key);
    result.notes.push_back(
        {field, key, value, std::move(back),
         settings::fieldCaption(state, field) + " " + quoted(value) + " " + std::move(text)});
  };
  if (valueOf(sent, "Version") == "Old")
    note("Version", "Version", "New", "电台不保存此选项，读回时为新版本（有意的改变）。");
  const auto phones = ui::parseInt64(valueOf(sent, "MaxPhoneNumber"));
  if (phones && *phones != kPackedPhoneEntries)
    note("MaxPhoneNumber", "MaxPhoneNumber", std::to_string(kPackedPhoneEntries),
         "在电话本压缩存储的机型上写入为 10，读回为 10（有意的改变）。");
  bool presetDiffers = false;
  for (std::size_t i = 0; i < link::kPresetSimplexFreqs.size(); ++i) {
    const std::string preset = std::to_string(link::kPresetSimplexFreqs[i]);
    const std::string channel = "Simplex" + std::to_string(kFirstPresetChannel + i);
    // A channel left at 0 is one the record does not use: the preset takes nothing from it.
    for (const char* end : {"RxFreq", "TxFreq"}) {
      const std::string value = valueOf(sent, channel + end);
      presetDiffers = presetDiffers || (!sameValue(value, "0") && !sameValue(value, preset));
    }
  }
  if (presetDiffers) {
    const std::string field = "Simplex" + std::to_string(kFirstPresetChannel) + "RxFreq";
    result.notes.push_back({field, field, valueOf(sent, field), "",
                            "离网信道 16–19：在预置这些信道的机型上，写入时由机型设为预置频率，"
                            "读回为预置频率（有意的改变）。"});
  }
}

}  // namespace

std::string RoundTrip::refusalText() const {
  std::string text;
  for (const RoundTripFinding& f : changed) text += (text.empty() ? "" : "\n") + f.text;
  if (encodeError && text.find(encodeError->message) == std::string::npos)
    text += (text.empty() ? "" : "\n") + encodeError->message;
  return text;
}

RoundTrip checkWriteRoundTrip(ProgramState& state) {
  RoundTrip result;
  // A key the open took as another number (a group above 2^32 wraps, a text that is no number is
  // none) is written as that number: it does not come back as the file had it.
  for (const auto& [field, opened] : state.openedAsOther) {
    const settings::FieldValue now = settings::Record(state).get(field);
    const auto* number = std::get_if<std::int64_t>(&now);
    if (!number || *number != opened.number) continue;
    const std::string back = opened.number ? std::to_string(opened.number) : std::string();
    result.changed.push_back(
        {field, field, opened.text, back,
         image::readsBackMessage(settings::fieldCaption(state, field), opened.text, back)});
  }
  // The write's own encoding, on a copy: it puts 15 into a code length above 15, as the write
  // does to the window.
  OfflineProgram writer(state.comIni);
  settings::openRecord(writer.state(), savedRecord(state));
  writer.state().radioIdentity = state.radioIdentity;
  image::WriteEncoding encoded = image::encodeWrite(writer.state(), image::MenuBits{});
  if (const auto* error = std::get_if<image::EncodeError>(&encoded)) {
    result.encodeError = *error;
    return result;
  }
  const image::WriteImage& image = std::get<image::WriteImage>(encoded);
  const link::IniDocument sent = savedRecord(writer.state());

  // A window holding the same record reads the radio the write left.
  OfflineProgram reader(state.comIni);
  settings::openRecord(reader.state(), sent);
  image::decodeMemory(reader.state(), image.memory);
  const link::IniDocument back = savedRecord(reader.state());

  const bool cpsx = writer.state().values.diallingScheme == settings::DiallingScheme::Cpsx;
  const image::ByteMasks bits = image::writtenBits(image);
  for (const settings::DataFileKey& key : settings::dataFileKeys()) {
    if (!writtenField(key.field, cpsx, bits)) continue;
    const std::string value = valueOf(sent, key.key), got = valueOf(back, key.key);
    if (sameValue(value, got)) continue;
    const std::string caption = settings::fieldCaption(state, key.field);
    if (cpsx && isPhoneNumber(key.field) && value.size() > kCpsxPhoneDigits &&
        value.starts_with(got)) {
      result.notes.push_back({key.field, key.key, value, got,
                              caption + " " + quoted(value) +
                                  " 在 CPSX 编号方式下只存前 8 位，读回为 " + quoted(got) +
                                  "（有意的改变）。"});
      continue;
    }
    // A CPSX plan out of order is written as stored; a read puts it in order (the check warns of
    // the order), and what that changes is told, not refused.
    if (cpsx && !settings::blocksInOrder(settings::fleetBlocks(writer.state().values))) {
      result.notes.push_back({key.field, key.key, value, got,
                              caption + " " + quoted(value) + " 写入电台后读回为 " + quoted(got) +
                                  "：队级号段次序有误，读取时会被改动。"});
      continue;
    }
    result.changed.push_back(
        {key.field, key.key, value, got, image::readsBackMessage(caption, value, got)});
  }
  addNotes(state, sent, result);
  return result;
}

bool refuseUnfaithfulWrite(ProgramState& state) {
  const RoundTrip trip = checkWriteRoundTrip(state);
  if (!trip.refused()) return false;
  state.dialogs.message({trip.refusalText(), image::kTransferCaption, ui::MessageIcon::Error});
  return true;
}

}  // namespace rcp::app
