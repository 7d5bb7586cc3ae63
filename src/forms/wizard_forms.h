#pragma once
// The wizard's forms, one object per page, created and registered by the
// main frame in this order. Forms reach each other through this struct
// (a Next handler calls the enter operation of the target page's form).
#include <memory>
#include <vector>

namespace orvello::ui {
class CUIForm;
}

namespace orvello {

class CApp;
class CFormMain;
class CFormPrinterPort;
class CFormCustomPrinterMode;
class CFormCustomPort;
class CFormPrinterSearch;
class CFormPrinterMode;
class CFormPrinterMode2;
class CFormPrinterBluetooth;
class CFormPrinterDriver;
class CFormPrinterManufacturer;
class CFormPrinterName;
class CFormSetupPrepare;
class CFormSetupEnd;
class CFormDeletePrinter;
class CFormDeleteDriver;
class CFormDeletePrepare;
class CFormDeleteEnd;
class CFormUpdateDriver;
class CFormUpdatePrepare;
class CFormPrinterTcpMon;
class CFormPrinterUdp;

struct WizardForms {
  WizardForms();
  ~WizardForms();
  WizardForms(const WizardForms&) = delete;
  WizardForms& operator=(const WizardForms&) = delete;

  std::unique_ptr<CFormMain> formMain;
  std::unique_ptr<CFormPrinterPort> formPrinterPort;
  std::unique_ptr<CFormCustomPrinterMode> formCustomPrinterMode;
  std::unique_ptr<CFormCustomPort> formCustomPort;
  std::unique_ptr<CFormPrinterSearch> formPrinterSearch;
  std::unique_ptr<CFormPrinterMode> formPrinterMode;
  std::unique_ptr<CFormPrinterMode2> formPrinterMode2;
  std::unique_ptr<CFormPrinterBluetooth> formPrinterBluetooth;
  std::unique_ptr<CFormPrinterDriver> formPrinterDriver;
  std::unique_ptr<CFormPrinterManufacturer> formPrinterManufacturer;
  std::unique_ptr<CFormPrinterName> formPrinterName;
  std::unique_ptr<CFormSetupPrepare> formSetupPrepare;
  std::unique_ptr<CFormSetupEnd> formSetupEnd;
  std::unique_ptr<CFormDeletePrinter> formDeletePrinter;
  std::unique_ptr<CFormDeleteDriver> formDeleteDriver;
  std::unique_ptr<CFormDeletePrepare> formDeletePrepare;
  std::unique_ptr<CFormDeleteEnd> formDeleteEnd;
  std::unique_ptr<CFormUpdateDriver> formUpdateDriver;
  std::unique_ptr<CFormUpdatePrepare> formUpdatePrepare;
  std::unique_ptr<CFormPrinterTcpMon> formPrinterTcpMon;
  std::unique_ptr<CFormPrinterUdp> formPrinterUdp;

  // All 21, in the order above (the frame registers them so).
  std::vector<ui::CUIForm*> InOrder() const;
};

// Creates every form, in the order above.
std::unique_ptr<WizardForms> CreateWizardForms(CApp& app);

}  // namespace orvello
