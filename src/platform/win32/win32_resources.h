#pragma once
// IResources over FindResourceW / LoadResource / SizeofResource /
// LockResource on the program's own module.
#include "platform/resources.h"

namespace orvello::win32 {

class Win32Resources : public platform::IResources {
 public:
  platform::ResourceBytes Find(uint32_t id, const std::wstring& type) override;
};

}  // namespace orvello::win32
