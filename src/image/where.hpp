#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/memory_image.hpp"
#include "settings/program_state.hpp"

// The one-hop answer to "what is at this address" and "where does this field live", from the
// places the write fills (field_locations.hpp), the field registry and the data-file keys.
namespace rcp::image {

// An address as a person types it: "0x0CF" (or "0X0CF"), "0CF" (hexadecimal digits with a
// letter among them) or "207" (decimal). Nothing for other text or an address beyond memory.
std::optional<Address> parseAddress(std::string_view text);

// "0x0CF".
std::string addressText(Address address);

// The lines that answer `query`: a field name or a data-file key gives the field's path on the
// window (as `namer`'s windows show it), its keys and each of its places in the radio; an address
// gives every place covering it, with the field, its path, its keys and how the bytes hold it,
// or a filler and what it is. A field name or key is taken before an address, so the switch
// "Dead" is a field and not 0xDEAD. Nothing when the query is none of these.
std::optional<std::vector<std::string>> whereLines(const settings::ProgramState& namer,
                                                   std::string_view query);

}  // namespace rcp::image
