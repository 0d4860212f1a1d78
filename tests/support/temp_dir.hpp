#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "link/path_text.hpp"

namespace rcp::test {

// A folder of its own for one test, removed afterwards.
class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("rcp520-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  // `name` in UTF-8, as every text of the program (a Chinese name stays one on Windows).
  std::filesystem::path operator/(const std::string& name) const {
    return path_ / link::pathOf(name);
  }

 private:
  std::filesystem::path path_;
};

}  // namespace rcp::test
