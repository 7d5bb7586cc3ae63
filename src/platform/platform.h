#pragma once
// The one door to the operating system. The core receives a Platform and
// never calls the OS itself; src/platform/win32 implements it with the real
// calls and src/platform/fake with an in-memory machine for tests.
#include "platform/bluetooth.h"
#include "platform/code_pages.h"
#include "platform/debug_output.h"
#include "platform/devices.h"
#include "platform/files.h"
#include "platform/network.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/services.h"
#include "platform/session.h"
#include "platform/spooler.h"
#include "platform/system_facts.h"

namespace orvello::platform {

struct Platform {
  IRegistry& registry;
  IFiles& files;
  IServices& services;
  IProcesses& processes;
  ISystemFacts& system;
  IResources& resources;
  IDebugOutput& debug;
  ISession& session;
  ISpooler& spooler;
  IDevices& devices;
  IBluetooth& bluetooth;
  INetwork& network;
  ICodePages& codePages;
};

}  // namespace orvello::platform
