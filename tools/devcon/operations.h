#pragma once
// What the device console tool does, one call per command. Each returns an
// ExitCode and writes its own messages.

namespace orvello::devcon {

// Installs the INF's driver on every present device whose hardware ID (or
// compatible ID) is `hardwareId`.
int UpdateDriver(const wchar_t* infPath, const wchar_t* hardwareId);
// Removes the device whose instance ID is `instanceId`, present or not.
int RemoveDevice(const wchar_t* instanceId);
// Asks Plug and Play to enumerate the whole device tree again.
int Rescan();

}  // namespace orvello::devcon
