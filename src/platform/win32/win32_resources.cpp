#include "platform/win32/win32_resources.h"

#include "platform/win32/handles.h"

namespace orvello::win32 {

using platform::ResourceBytes;
using platform::ResourceLookup;

ResourceBytes Win32Resources::Find(uint32_t id, const std::wstring& type) {
  HMODULE module = ::GetModuleHandleW(nullptr);
  HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), type.c_str());
  if (!info) return {ResourceLookup::NotFound, {}};
  // Resource memory belongs to the module and is never freed by the program.
  HGLOBAL loaded = ::LoadResource(module, info);
  if (!loaded) return {ResourceLookup::LoadFailed, {}};
  DWORD size = ::SizeofResource(module, info);
  const void* bytes = ::LockResource(loaded);
  if (!bytes) return {ResourceLookup::LoadFailed, {}};
  return {ResourceLookup::Found, std::span<const uint8_t>(static_cast<const uint8_t*>(bytes), size)};
}

}  // namespace orvello::win32
