#pragma once

#include <stdlib.h>

#include <optional>
#include <string>

namespace rcp::test {

// Sets or removes an environment variable of this process (Windows: _putenv_s, where an empty
// value removes it).
inline void setVariable(const char* name, const std::string& value) {
#ifdef _WIN32
  ::_putenv_s(name, value.c_str());
#else
  ::setenv(name, value.c_str(), 1);
#endif
}

inline void unsetVariable(const char* name) {
#ifdef _WIN32
  ::_putenv_s(name, "");
#else
  ::unsetenv(name);
#endif
}

// An environment variable set for the lifetime of the object (removed when `value` is empty),
// then as it was.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    if (const char* old = ::getenv(name)) previous_ = old;
    if (value.empty())
      unsetVariable(name);
    else
      setVariable(name, value);
  }
  ~ScopedVariable() {
    if (previous_)
      setVariable(name_, *previous_);
    else
      unsetVariable(name_);
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> previous_;
};

}  // namespace rcp::test
