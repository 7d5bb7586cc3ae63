#pragma once
// The installed print monitors; the chosen one is asked to add a port (it
// shows its own dialog). Opened modally by the custom port page, which
// reloads its port list when a port was added.
#include "platform/platform.h"
#include "ui/window.h"

namespace orvello {

class CDlgPortMonitorList : public ui::Window {
 public:
  static constexpr const wchar_t* kLayout = L"DlgPortMonitorList.xml";
  static constexpr const wchar_t* kClassName = L"DlgPortMonitorList";

  explicit CDlgPortMonitorList(platform::Platform& platform) : platform_(platform) {}

  // Set after the first port a monitor added, and stays set.
  bool portAdded() const { return portAdded_ != 0; }

 protected:
  void InitWindow() override;
  void Notify(ui::Notification& notification) override;

 private:
  void AddPortOfSelectedMonitor();

  platform::Platform& platform_;
  int portAdded_ = 0;
};

}  // namespace orvello
