#include "platform/fake/fake_devices.h"

#include <algorithm>
#include <deque>

#include "platform/fake/fake_files.h"
#include "platform/fake/fake_inf_file.h"
#include "system/text.h"

namespace orvello::fake {

using platform::DeviceInterface;
using platform::DeviceNode;
using platform::Result;
namespace err = platform::err;

namespace {

using Lock = std::lock_guard<std::mutex>;
constexpr wchar_t kRootId[] = L"HTREE\\ROOT\\0";

}  // namespace

struct FakeDevices::State {
  std::mutex mutex;
  std::deque<FakeDeviceNode> nodes;  // in the order they were added, the root first

  FakeDeviceNode* Find(const std::wstring& id) {
    for (auto& n : nodes) {
      if (EqualsIgnoreCase(n.instanceId, id)) return &n;
    }
    return nullptr;
  }
};

FakeDevices::FakeDevices(FakeFiles& files) : files_(files), state_(std::make_unique<State>()) {
  FakeDeviceNode root;
  root.instanceId = kRootId;
  root.properties[cm_drp::kDeviceDesc] = {L"Root"};
  root.properties[cm_drp::kEnumeratorName] = {L"HTREE"};
  state_->nodes.push_back(std::move(root));
}

FakeDevices::~FakeDevices() = default;

Result<std::unique_ptr<platform::IInfFile>> FakeDevices::OpenInf(const std::wstring& path, const std::wstring& infClass) {
  return OpenInfFile(files_, path, infClass);
}

Result<std::vector<DeviceInterface>> FakeDevices::PresentInterfaces(const std::wstring& interfaceClassGuid) {
  using R = Result<std::vector<DeviceInterface>>;
  Lock lock(state_->mutex);
  std::vector<DeviceInterface> out;
  for (const auto& n : state_->nodes) {
    if (!n.present) continue;
    for (const auto& [guid, path] : n.interfaces) {
      if (EqualsIgnoreCase(guid, interfaceClassGuid)) out.push_back(DeviceInterface{path, n.instanceId});
    }
  }
  return R::Ok(std::move(out));
}

Result<DeviceNode> FakeDevices::Locate(const std::wstring& instanceId) {
  Lock lock(state_->mutex);
  FakeDeviceNode* n = state_->Find(instanceId);
  // CR_NO_SUCH_DEVNODE, as CM_MapCrToWin32Err maps it.
  if (!n || !n->present) return Result<DeviceNode>::Fail(err::kFileNotFound);
  return Result<DeviceNode>::Ok(DeviceNode{n->instanceId, n->status, n->problem});
}

Result<std::vector<std::wstring>> FakeDevices::Children(const std::wstring& instanceId) {
  using R = Result<std::vector<std::wstring>>;
  Lock lock(state_->mutex);
  FakeDeviceNode* n = state_->Find(instanceId);
  if (!n || !n->present) return R::Fail(err::kFileNotFound);
  std::vector<std::wstring> out;
  for (const auto& c : state_->nodes) {
    // The live tree has present nodes only.
    if (c.present && EqualsIgnoreCase(c.parentId, n->instanceId)) out.push_back(c.instanceId);
  }
  return R::Ok(std::move(out));
}

Result<std::wstring> FakeDevices::Parent(const std::wstring& instanceId) {
  Lock lock(state_->mutex);
  FakeDeviceNode* n = state_->Find(instanceId);
  if (!n || n->parentId.empty()) return Result<std::wstring>::Fail(err::kFileNotFound);
  FakeDeviceNode* p = state_->Find(n->parentId);
  if (!p) return Result<std::wstring>::Fail(err::kFileNotFound);
  return Result<std::wstring>::Ok(p->instanceId);
}

Result<std::vector<std::wstring>> FakeDevices::RegistryProperty(const std::wstring& instanceId, uint32_t cmDrp) {
  using R = Result<std::vector<std::wstring>>;
  Lock lock(state_->mutex);
  FakeDeviceNode* n = state_->Find(instanceId);
  if (!n) return R::Fail(err::kFileNotFound);
  auto it = n->properties.find(cmDrp);
  if (it == n->properties.end()) return R::Fail(err::kFileNotFound);  // CR_NO_SUCH_VALUE
  return R::Ok(it->second);
}

Result<std::vector<std::wstring>> FakeDevices::AllInstanceIds(const std::wstring& enumerator) {
  using R = Result<std::vector<std::wstring>>;
  Lock lock(state_->mutex);
  std::vector<std::wstring> out;
  for (const auto& n : state_->nodes) {
    if (enumerator.empty() || StartsWithIgnoreCase(n.instanceId, enumerator + L"\\")) out.push_back(n.instanceId);
  }
  return R::Ok(std::move(out));
}

Result<std::vector<uint8_t>> FakeDevices::UsbRequest(const std::wstring& devicePath, std::span<const uint8_t> request,
                                                     uint32_t /*waitMs*/, uint32_t /*pauseMs*/, uint32_t maxReply) {
  using R = Result<std::vector<uint8_t>>;
  Lock lock(state_->mutex);
  for (auto& n : state_->nodes) {
    if (!n.present) continue;
    for (const auto& [guid, path] : n.interfaces) {
      if (!EqualsIgnoreCase(path, devicePath)) continue;
      n.usbRequests.emplace_back(request.begin(), request.end());
      std::vector<uint8_t> reply = n.usbReply.value_or(std::vector<uint8_t>{});
      if (reply.size() > maxReply) reply.resize(maxReply);
      return R::Ok(std::move(reply));
    }
  }
  return R::Fail(err::kFileNotFound);
}

bool FakeDevices::AddNode(FakeDeviceNode node) {
  Lock lock(state_->mutex);
  if (node.instanceId.empty() || state_->Find(node.instanceId) || !state_->Find(node.parentId)) return false;
  if (!node.properties.count(cm_drp::kEnumeratorName)) {
    node.properties[cm_drp::kEnumeratorName] = {node.instanceId.substr(0, node.instanceId.find(L'\\'))};
  }
  state_->nodes.push_back(std::move(node));
  return true;
}

void FakeDevices::RemoveNode(const std::wstring& instanceId) {
  Lock lock(state_->mutex);
  std::vector<std::wstring> doomed{instanceId};
  for (size_t i = 0; i < doomed.size(); ++i) {
    for (const auto& n : state_->nodes) {
      if (EqualsIgnoreCase(n.parentId, doomed[i])) doomed.push_back(n.instanceId);
    }
  }
  auto& nodes = state_->nodes;
  nodes.erase(std::remove_if(nodes.begin(), nodes.end(),
                             [&](const FakeDeviceNode& n) {
                               return n.instanceId != kRootId &&
                                      std::any_of(doomed.begin(), doomed.end(),
                                                  [&](const std::wstring& d) { return EqualsIgnoreCase(d, n.instanceId); });
                             }),
              nodes.end());
}

void FakeDevices::SetPresent(const std::wstring& instanceId, bool present) {
  Lock lock(state_->mutex);
  if (FakeDeviceNode* n = state_->Find(instanceId)) n->present = present;
}

FakeDeviceNode* FakeDevices::Node(const std::wstring& instanceId) {
  Lock lock(state_->mutex);
  return state_->Find(instanceId);
}

}  // namespace orvello::fake
