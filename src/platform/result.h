#pragma once
// Results shaped after Win32: a call either succeeds or carries the Windows
// error code it failed with, so that every message can show the number and
// the system's text for it.
#include <cstdint>
#include <utility>

namespace orvello::platform {

// Windows error codes the core compares against.
namespace err {
inline constexpr uint32_t kSuccess = 0;
inline constexpr uint32_t kFileNotFound = 2;
inline constexpr uint32_t kPathNotFound = 3;
inline constexpr uint32_t kAccessDenied = 5;
inline constexpr uint32_t kInvalidHandle = 6;
inline constexpr uint32_t kNotEnoughMemory = 8;
inline constexpr uint32_t kInvalidData = 13;
inline constexpr uint32_t kFileExists = 80;
inline constexpr uint32_t kInvalidParameter = 87;
inline constexpr uint32_t kCallNotImplemented = 120;
inline constexpr uint32_t kInsufficientBuffer = 122;
inline constexpr uint32_t kProcNotFound = 127;
inline constexpr uint32_t kAlreadyExists = 183;
inline constexpr uint32_t kMoreData = 234;
inline constexpr uint32_t kNoMoreItems = 259;
inline constexpr uint32_t kServiceAlreadyRunning = 1056;
inline constexpr uint32_t kServiceDoesNotExist = 1060;
inline constexpr uint32_t kServiceNotActive = 1062;
inline constexpr uint32_t kInvalidPrinterName = 1801;
inline constexpr uint32_t kPrinterAlreadyExists = 1802;
inline constexpr uint32_t kUnknownPrinterDriver = 1797;
inline constexpr uint32_t kUnknownPort = 1796;
inline constexpr uint32_t kPrinterDriverInUse = 3001;
inline constexpr uint32_t kPrinterDriverAlreadyInstalled = 1795;
inline constexpr uint32_t kInvalidPrinterCommand = 1803;
inline constexpr uint32_t kNotFound = 1168;
inline constexpr uint32_t kNotSupported = 50;
inline constexpr uint32_t kInvalidLevel = 124;
inline constexpr uint32_t kModuleNotFound = 126;
inline constexpr uint32_t kBusy = 170;
inline constexpr uint32_t kCancelled = 1223;
inline constexpr uint32_t kInvalidEnvironment = 1805;
inline constexpr uint32_t kInvalidFormName = 1902;
inline constexpr uint32_t kUnknownPrintMonitor = 3000;
inline constexpr uint32_t kPrintMonitorAlreadyInstalled = 3006;
inline constexpr uint32_t kPrintMonitorInUse = 3008;
}  // namespace err

// Outcome of a call that returns nothing but success or an error code.
struct Status {
  uint32_t error = err::kSuccess;

  static Status Ok() { return {}; }
  static Status Fail(uint32_t code) { return Status{code}; }
  bool ok() const { return error == err::kSuccess; }
  explicit operator bool() const { return ok(); }
};

// A value, or the error code that kept the call from producing one.
template <class T>
struct Result {
  T value{};
  uint32_t error = err::kSuccess;

  static Result Ok(T v) { return Result{std::move(v), err::kSuccess}; }
  static Result Fail(uint32_t code) { return Result{T{}, code}; }
  bool ok() const { return error == err::kSuccess; }
  explicit operator bool() const { return ok(); }
  Status status() const { return Status{error}; }
};

}  // namespace orvello::platform
