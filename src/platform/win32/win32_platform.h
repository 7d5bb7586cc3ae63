#pragma once
// The product's platform: every service implemented with the real Win32 calls.
#include <memory>

#include "platform/platform.h"

namespace orvello::win32 {

// Owns one object per service for the life of the program.
class Win32Platform {
 public:
  Win32Platform();
  ~Win32Platform();
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  platform::Platform& platform();

 private:
  struct Services;
  std::unique_ptr<Services> services_;
};

}  // namespace orvello::win32
