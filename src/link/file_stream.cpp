#include "link/file_stream.hpp"

#include <string_view>

namespace rcp::link {

FileStream::FileStream(OutputFile& file) : std::ostream(nullptr), buffer_(file) {
  rdbuf(&buffer_);
  if (!file.ok()) setstate(std::ios::badbit);
}

FileStream::Buffer::int_type FileStream::Buffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char byte = traits_type::to_char_type(c);
  return file_.write(std::string_view(&byte, 1)) ? c : traits_type::eof();
}

std::streamsize FileStream::Buffer::xsputn(const char* text, std::streamsize count) {
  return file_.write(std::string_view(text, static_cast<std::size_t>(count))) ? count : 0;
}

}  // namespace rcp::link
