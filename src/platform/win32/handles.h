#pragma once
// Owning wrappers for the kernel, registry, service-manager, module, find
// and local-memory handles. Each closes its handle with the one function
// that matches it, exactly once; a moved-from wrapper owns nothing.
#include <windows.h>

#include <utility>

// windows.h maps these names to their ...W functions, which would rename the
// platform interfaces' methods of the same names in every file that includes
// it. This layer always calls the W functions by their full names.
#undef CopyFile
#undef CreateDirectory
#undef DeleteFile
#undef MessageBox
#undef RegisterWindowMessage
#undef RemoveDirectory
#undef ShellExecute

namespace orvello::win32 {

template <class Traits>
class UniqueHandle {
 public:
  using pointer = typename Traits::type;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(pointer value) noexcept : value_(value) {}
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  pointer get() const noexcept { return value_; }
  bool valid() const noexcept { return value_ != Traits::invalid(); }
  explicit operator bool() const noexcept { return valid(); }

  pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }
  void reset(pointer value = Traits::invalid()) noexcept {
    pointer old = std::exchange(value_, value);
    if (old != Traits::invalid()) Traits::close(old);
  }
  // For out-parameters: closes what is held and hands out the slot.
  pointer* put() noexcept {
    reset();
    return &value_;
  }

 private:
  pointer value_ = Traits::invalid();
};

namespace traits {

struct Kernel {  // processes, threads, pipes, mutexes: null when absent
  using type = HANDLE;
  static type invalid() noexcept { return nullptr; }
  static void close(type h) noexcept { ::CloseHandle(h); }
};

struct File {  // CreateFileW answers INVALID_HANDLE_VALUE on failure
  using type = HANDLE;
  static type invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(type h) noexcept { ::CloseHandle(h); }
};

struct Find {
  using type = HANDLE;
  static type invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(type h) noexcept { ::FindClose(h); }
};

struct RegistryKey {  // never wrap a predefined root such as HKEY_CURRENT_USER
  using type = HKEY;
  static type invalid() noexcept { return nullptr; }
  static void close(type h) noexcept { ::RegCloseKey(h); }
};

struct Service {
  using type = SC_HANDLE;
  static type invalid() noexcept { return nullptr; }
  static void close(type h) noexcept { ::CloseServiceHandle(h); }
};

struct Module {  // a module this program loaded; GetModuleHandleW results are not owned
  using type = HMODULE;
  static type invalid() noexcept { return nullptr; }
  static void close(type h) noexcept { ::FreeLibrary(h); }
};

struct LocalMemory {  // buffers the system allocates for us, e.g. FormatMessageW's
  using type = HLOCAL;
  static type invalid() noexcept { return nullptr; }
  static void close(type h) noexcept { ::LocalFree(h); }
};

}  // namespace traits

using UniqueKernelHandle = UniqueHandle<traits::Kernel>;
using UniqueFileHandle = UniqueHandle<traits::File>;
using UniqueFindHandle = UniqueHandle<traits::Find>;
using UniqueRegistryKey = UniqueHandle<traits::RegistryKey>;
using UniqueServiceHandle = UniqueHandle<traits::Service>;
using UniqueModule = UniqueHandle<traits::Module>;
using UniqueLocalMemory = UniqueHandle<traits::LocalMemory>;

}  // namespace orvello::win32
