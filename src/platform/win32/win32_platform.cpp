#include "platform/win32/win32_platform.h"

#include "platform/win32/win32_bluetooth.h"
#include "platform/win32/win32_code_pages.h"
#include "platform/win32/win32_debug_output.h"
#include "platform/win32/win32_devices.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_resources.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_session.h"
#include "platform/win32/win32_spooler.h"
#include "platform/win32/win32_system_facts.h"

namespace orvello::win32 {

struct Win32Platform::Services {
  Win32Registry registry;
  Win32Files files;
  Win32Services services;
  Win32Processes processes;
  Win32SystemFacts system;
  Win32Resources resources;
  Win32DebugOutput debug;
  Win32Session session;
  Win32Spooler spooler;
  Win32Devices devices;
  Win32Bluetooth bluetooth;
  Win32Network network;
  Win32CodePages codePages;
  platform::Platform platform{registry, files,   services, processes, system,    resources,
                              debug,    session, spooler,  devices,   bluetooth, network, codePages};
};

Win32Platform::Win32Platform() : services_(std::make_unique<Services>()) {}

Win32Platform::~Win32Platform() = default;

platform::Platform& Win32Platform::platform() { return services_->platform; }

}  // namespace orvello::win32
