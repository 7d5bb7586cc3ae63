// The byte layout of the standard TCP/IP port monitor's published
// structures (tcpxcv.h): fixed-size UTF-16 arrays and little-endian DWORDs
// at their natural alignment.
#include <algorithm>
#include <cstring>

#include "platform/spooler.h"
#include "system/text.h"

namespace orvello::platform {

namespace {

// PORT_DATA_1
constexpr size_t kPortNameOffset = 0, kPortNameChars = 64;
constexpr size_t kVersionOffset = 128;
constexpr size_t kProtocolOffset = 132;
constexpr size_t kSizeOffset = 136;
constexpr size_t kHostOffset = 144, kHostChars = 49;
constexpr size_t kCommunityOffset = 242, kCommunityChars = 33;
constexpr size_t kDoubleSpoolOffset = 308;
constexpr size_t kQueueOffset = 312, kQueueChars = 33;
constexpr size_t kIpOffset = 378, kIpChars = 16;
constexpr size_t kPortNumberOffset = 952;
constexpr size_t kSnmpEnabledOffset = 956;
constexpr size_t kSnmpDevIndexOffset = 960;
// DELETE_PORT_DATA_1
constexpr size_t kDeleteVersionOffset = 228;

void PutText(std::vector<uint8_t>& out, size_t offset, size_t chars, const std::wstring& text) {
  std::vector<uint8_t> bytes = WideToUtf16Bytes(text, false);
  size_t n = std::min(bytes.size(), (chars - 1) * 2);  // the last character stays NUL
  std::memcpy(out.data() + offset, bytes.data(), n);
}

void PutDword(std::vector<uint8_t>& out, size_t offset, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::wstring GetText(const std::vector<uint8_t>& in, size_t offset, size_t chars) {
  return Utf16BytesToWide(std::span<const uint8_t>(in.data() + offset, chars * 2));
}

uint32_t GetDword(const std::vector<uint8_t>& in, size_t offset) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(in[offset + i]) << (8 * i);
  return v;
}

}  // namespace

std::vector<uint8_t> EncodePortData1(const TcpPortData1& data) {
  std::vector<uint8_t> out(kPortData1Size, 0);
  PutText(out, kPortNameOffset, kPortNameChars, data.portName);
  PutDword(out, kVersionOffset, data.version);
  PutDword(out, kProtocolOffset, data.protocol);
  PutDword(out, kSizeOffset, static_cast<uint32_t>(kPortData1Size));
  PutText(out, kHostOffset, kHostChars, data.hostAddress);
  PutText(out, kCommunityOffset, kCommunityChars, data.snmpCommunity);
  PutDword(out, kDoubleSpoolOffset, data.doubleSpool);
  PutText(out, kQueueOffset, kQueueChars, data.queue);
  PutText(out, kIpOffset, kIpChars, data.ipAddress);
  PutDword(out, kPortNumberOffset, data.portNumber);
  PutDword(out, kSnmpEnabledOffset, data.snmpEnabled);
  PutDword(out, kSnmpDevIndexOffset, data.snmpDevIndex);
  return out;
}

TcpPortData1 DecodePortData1(const std::vector<uint8_t>& bytes) {
  TcpPortData1 d;
  if (bytes.size() < kPortData1Size) {
    d.version = 0;
    return d;
  }
  d.portName = GetText(bytes, kPortNameOffset, kPortNameChars);
  d.version = GetDword(bytes, kVersionOffset);
  d.protocol = GetDword(bytes, kProtocolOffset);
  d.hostAddress = GetText(bytes, kHostOffset, kHostChars);
  d.snmpCommunity = GetText(bytes, kCommunityOffset, kCommunityChars);
  d.doubleSpool = GetDword(bytes, kDoubleSpoolOffset);
  d.queue = GetText(bytes, kQueueOffset, kQueueChars);
  d.ipAddress = GetText(bytes, kIpOffset, kIpChars);
  d.portNumber = GetDword(bytes, kPortNumberOffset);
  d.snmpEnabled = GetDword(bytes, kSnmpEnabledOffset);
  d.snmpDevIndex = GetDword(bytes, kSnmpDevIndexOffset);
  return d;
}

std::vector<uint8_t> EncodeDeletePortData1(const std::wstring& portName) {
  std::vector<uint8_t> out(kDeletePortData1Size, 0);
  PutText(out, kPortNameOffset, kPortNameChars, portName);
  PutDword(out, kDeleteVersionOffset, 1);
  return out;
}

std::wstring DecodeDeletePortData1(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < kDeletePortData1Size) return {};
  return GetText(bytes, kPortNameOffset, kPortNameChars);
}

}  // namespace orvello::platform
