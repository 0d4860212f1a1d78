#pragma once

#include <optional>
#include <string>
#include <vector>

#include "image/field_access.hpp"
#include "settings/program_state.hpp"

// What the radio would give back of a record: every value the write would send is encoded as the
// write encodes it and decoded as a read would decode it, and each data-file key that comes back
// as something else is found before anything is sent. A write, the command-line check and the
// fleet's check all ask this one function, so a record the check passes is never refused or
// changed by a write.
namespace rcp::app {

struct RoundTripFinding {
  std::string field;     // the settings field
  std::string key;       // its data-file key
  std::string value;     // as the record holds it (the data file's text)
  std::string readBack;  // as a read would show it; empty for none
  std::string text;  // the message: "个呼范围 “2001199” 写入电台后将读回为空，不能写入。"
};

struct RoundTrip {
  // A field the write cannot encode at all (the write's own refusal).
  std::optional<image::EncodeError> encodeError;
  // Values that would come back as others: the write refuses them.
  std::vector<RoundTripFinding> changed;
  // Values the radio changes on purpose (models that pack the phone book, CPSX phone numbers
  // cut to eight digits, off-network channels 16 to 19 preset by the model, the version switch
  // that the radio does not keep): told, never refused.
  std::vector<RoundTripFinding> notes;

  bool refused() const { return encodeError || !changed.empty(); }
  // The refusal as one message: the encoding error, or each changed value on a line of its own.
  std::string refusalText() const;
};

// The record as the window holds it, checked on a copy: the window's fields stay as they are.
RoundTrip checkWriteRoundTrip(settings::ProgramState& state);

// The write's gate, asked before the greeting: true, with the refusal shown in an error box,
// when the record holds a value the radio would give back as another.
bool refuseUnfaithfulWrite(settings::ProgramState& state);

}  // namespace rcp::app
