#include "history/compressed.hpp"

#include <zlib.h>

#include <stdexcept>

namespace rcp::history {

namespace {

constexpr int kLevel = 6;
// zlib takes at most the last 32 KiB of a dictionary.
constexpr std::size_t kDictionaryLimit = 32768;

const Bytef* bytesOf(std::string_view text) {
  return reinterpret_cast<const Bytef*>(text.data());
}

std::string_view usable(std::string_view dictionary) {
  return dictionary.size() > kDictionaryLimit
             ? dictionary.substr(dictionary.size() - kDictionaryLimit)
             : dictionary;
}

}  // namespace

std::string compress(std::string_view bytes, std::string_view dictionary) {
  z_stream stream{};
  if (deflateInit(&stream, kLevel) != Z_OK) throw std::runtime_error("zlib");
  dictionary = usable(dictionary);
  if (!dictionary.empty())
    deflateSetDictionary(&stream, bytesOf(dictionary), static_cast<uInt>(dictionary.size()));
  std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
  stream.next_in = const_cast<Bytef*>(bytesOf(bytes));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (status != Z_STREAM_END) throw std::runtime_error("zlib");
  return out;
}

std::optional<std::string> uncompress(std::string_view compressed, std::size_t size,
                                      std::string_view dictionary) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return std::nullopt;
  std::string out(size, '\0');
  stream.next_in = const_cast<Bytef*>(bytesOf(compressed));
  stream.avail_in = static_cast<uInt>(compressed.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  int status = inflate(&stream, Z_FINISH);
  if (status == Z_NEED_DICT) {
    dictionary = usable(dictionary);
    if (inflateSetDictionary(&stream, bytesOf(dictionary), static_cast<uInt>(dictionary.size())) ==
        Z_OK)
      status = inflate(&stream, Z_FINISH);
  }
  const bool whole = status == Z_STREAM_END && stream.total_out == size;
  inflateEnd(&stream);
  if (!whole) return std::nullopt;
  return out;
}

}  // namespace rcp::history
