#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "link/radio_identity.hpp"

namespace rcp::sim {

// The identity the virtual radio answers for each model: "RCP", three model bytes (bytes 3-5,
// the ones identification looks at), a space, the model name padded to six, and "V2.10".
struct ModelIdentity {
  std::string_view model;
  std::string_view identity;  // exactly 18 characters
};

std::span<const ModelIdentity> modelIdentities();

// The identity of a model, its name matched without regard to case; nothing for an unknown one.
std::optional<link::RadioIdentity> identityOfModel(std::string_view model);

// The first 18 bytes of a text; a shorter text is followed by zero bytes.
link::RadioIdentity identityFromText(std::string_view text);

}  // namespace rcp::sim
