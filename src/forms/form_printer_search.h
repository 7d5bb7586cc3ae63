#pragma once
// The waiting page of the USB search. Its poll (`devicePollTimer`) also
// keeps the device list and the custom model list current while they show.
#include <cstdint>

#include "forms/wizard_form.h"

namespace orvello {

inline constexpr uint32_t kDevicePollTimerId = 500;
inline constexpr uint32_t kDevicePollIntervalMs = 500;

class CFormPrinterSearch : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;
  void OnClick(ui::Notification& msg) override;
  void OnTimer(ui::Notification& msg) override;

  void EnterSearchPage();
  // One poll of the USB printers, by port type.
  void SearchTick();
  void StartDevicePoll();
  void StopDevicePoll();
  bool DevicePollRunning() const;

 private:
  void RefreshUsb();

  ui::Control* loading_ = nullptr;
};

// The animation of the three waiting pictures.
void SetLoadingFrames(ui::Control* picture);

}  // namespace orvello
