#pragma once

#include <ostream>
#include <streambuf>

#include "link/private_files.hpp"

namespace rcp::link {

// An output stream onto a file the tool opened itself (private, regular, see OutputFile). It
// holds nothing back: whatever is put in is written at once, so a crash loses nothing of it.
class FileStream final : public std::ostream {
 public:
  explicit FileStream(OutputFile& file);

 private:
  class Buffer final : public std::streambuf {
   public:
    explicit Buffer(OutputFile& file) : file_(file) {}

   protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;

   private:
    OutputFile& file_;
  };
  Buffer buffer_;
};

}  // namespace rcp::link
