#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The history's configurations kept compressed (zlib), each against a preset dictionary: an
// earlier configuration of the same kind, which makes the next one a few hundred bytes.
namespace rcp::history {

std::string compress(std::string_view bytes, std::string_view dictionary);
// Nothing when `compressed` does not give `size` bytes with that dictionary.
std::optional<std::string> uncompress(std::string_view compressed, std::size_t size,
                                      std::string_view dictionary);

}  // namespace rcp::history
