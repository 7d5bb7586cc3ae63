#include "forms/wizard_forms.h"

#include "forms/form_custom_port.h"
#include "forms/form_custom_printer_mode.h"
#include "forms/form_delete_driver.h"
#include "forms/form_delete_end.h"
#include "forms/form_delete_prepare.h"
#include "forms/form_delete_printer.h"
#include "forms/form_main.h"
#include "forms/form_printer_bluetooth.h"
#include "forms/form_printer_driver.h"
#include "forms/form_printer_manufacturer.h"
#include "forms/form_printer_mode.h"
#include "forms/form_printer_mode2.h"
#include "forms/form_printer_name.h"
#include "forms/form_printer_port.h"
#include "forms/form_printer_search.h"
#include "forms/form_printer_tcpmon.h"
#include "forms/form_printer_udp.h"
#include "forms/form_setup_end.h"
#include "forms/form_setup_prepare.h"
#include "forms/form_update_driver.h"
#include "forms/form_update_prepare.h"

namespace orvello {

WizardForms::WizardForms() = default;
WizardForms::~WizardForms() = default;

std::vector<ui::CUIForm*> WizardForms::InOrder() const {
  return {
      formMain.get(),          formPrinterPort.get(),     formCustomPrinterMode.get(),    formCustomPort.get(),
      formPrinterSearch.get(), formPrinterMode.get(),     formPrinterMode2.get(),         formPrinterBluetooth.get(),
      formPrinterDriver.get(), formPrinterManufacturer.get(), formPrinterName.get(),      formSetupPrepare.get(),
      formSetupEnd.get(),      formDeletePrinter.get(),   formDeleteDriver.get(),         formDeletePrepare.get(),
      formDeleteEnd.get(),     formUpdateDriver.get(),    formUpdatePrepare.get(),        formPrinterTcpMon.get(),
      formPrinterUdp.get(),
  };
}

std::unique_ptr<WizardForms> CreateWizardForms(CApp& app) {
  auto forms = std::make_unique<WizardForms>();
  WizardForms& f = *forms;
  f.formMain = std::make_unique<CFormMain>(app, f);
  f.formPrinterPort = std::make_unique<CFormPrinterPort>(app, f);
  f.formCustomPrinterMode = std::make_unique<CFormCustomPrinterMode>(app, f);
  f.formCustomPort = std::make_unique<CFormCustomPort>(app, f);
  f.formPrinterSearch = std::make_unique<CFormPrinterSearch>(app, f);
  f.formPrinterMode = std::make_unique<CFormPrinterMode>(app, f);
  f.formPrinterMode2 = std::make_unique<CFormPrinterMode2>(app, f);
  f.formPrinterBluetooth = std::make_unique<CFormPrinterBluetooth>(app, f);
  f.formPrinterDriver = std::make_unique<CFormPrinterDriver>(app, f);
  f.formPrinterManufacturer = std::make_unique<CFormPrinterManufacturer>(app, f);
  f.formPrinterName = std::make_unique<CFormPrinterName>(app, f);
  f.formSetupPrepare = std::make_unique<CFormSetupPrepare>(app, f);
  f.formSetupEnd = std::make_unique<CFormSetupEnd>(app, f);
  f.formDeletePrinter = std::make_unique<CFormDeletePrinter>(app, f);
  f.formDeleteDriver = std::make_unique<CFormDeleteDriver>(app, f);
  f.formDeletePrepare = std::make_unique<CFormDeletePrepare>(app, f);
  f.formDeleteEnd = std::make_unique<CFormDeleteEnd>(app, f);
  f.formUpdateDriver = std::make_unique<CFormUpdateDriver>(app, f);
  f.formUpdatePrepare = std::make_unique<CFormUpdatePrepare>(app, f);
  f.formPrinterTcpMon = std::make_unique<CFormPrinterTcpMon>(app, f);
  f.formPrinterUdp = std::make_unique<CFormPrinterUdp>(app, f);
  return forms;
}

}  // namespace orvello
