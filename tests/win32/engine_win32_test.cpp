// The driver installation over the real spooler: the shipped package staged
// into a scratch working folder, the sample driver added from it, a printer
// on "FILE:" made with it, and both removed again.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "engine/driver_install.h"
#include "engine/printers.h"
#include "support/engine_win32_fixture.h"
#include "system/system_facts.h"
#include "system/text.h"

namespace orvello {
namespace {

using test::kEnginePrinterName;
using test::RunningOnWine;

constexpr const wchar_t* kPrinterName = kEnginePrinterName;

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
  return text.size() >= tail.size() &&
         EqualsIgnoreCase(std::wstring_view(text).substr(text.size() - tail.size()), tail);
}

class EngineWin32Test : public test::EngineWin32Fixture {};

TEST_F(EngineWin32Test, StagedSampleDriverIsAddedAndCarriesAPrinterOnFile) {
  InstallAs32BitWindowsOnWine();
  Stage();
  const std::wstring work = WorkingFolder(p().system, p().session);
  ASSERT_EQ(work, scratch_ + L"\\DudezPrinterDriver\\");
  ASSERT_NE(::GetFileAttributesW(
                (work + L"Drivers\\" + mode_ + L"\\" + ArchitectureFolder(p().system) + L"\\" + mode_ + L"UniNew.dll")
                    .c_str()),
            INVALID_FILE_ATTRIBUTES);

  ASSERT_TRUE(InstallDriverLegacy(Job(nullptr), selected_.model, mode_));

  auto driver = InstalledDriver();
  ASSERT_TRUE(driver.has_value());
  EXPECT_EQ(driver->version, 3u);
  EXPECT_TRUE(EndsWith(driver->driverPath, mode_ + L"UniNew.dll")) << WideToUtf8(driver->driverPath);
  EXPECT_TRUE(EndsWith(driver->configFile, mode_ + L"UiNew.dll")) << WideToUtf8(driver->configFile);
  EXPECT_TRUE(EndsWith(driver->dataFile, selected_.model + L".dat")) << WideToUtf8(driver->dataFile);
  EXPECT_EQ(driver->monitorName, L"");
  EXPECT_EQ(driver->defaultDataType, L"RAW");
  EXPECT_EQ(driver->infPath, L"");  // not from the driver store
  EXPECT_NE(::GetFileAttributesW(driver->driverPath.c_str()), INVALID_FILE_ATTRIBUTES);

  ASSERT_TRUE(AddPrinterForModel(p(), selected_)) << LogText();
  EXPECT_EQ(selected_.model, kPrinterName);
  PrinterConnection printer(p());
  ASSERT_TRUE(OpenPrinterConnection(printer, kPrinterName));
  auto info = printer.handle()->GetPrinter2();
  ASSERT_TRUE(info.ok()) << info.error;
  EXPECT_EQ(info.value.portName, L"FILE:");
  EXPECT_TRUE(EqualsIgnoreCase(info.value.driverName, DriverName(selected_.driver)));
  selected_.model = DriverName(selected_.driver);  // for the clean-up
}

TEST_F(EngineWin32Test, DriverStoreIsUsedOnlyWhenWinspoolHasBothFunctions) {
  auto spoolerLib = p().system.LoadSystemLibrary(L"WinSpool.drv");
  ASSERT_TRUE(spoolerLib.ok()) << spoolerLib.error;
  const bool driverStore = IsWindows6OrLater(p().system, 2) &&
                           spoolerLib.value->HasExport("UploadPrinterDriverPackageW") &&
                           spoolerLib.value->HasExport("InstallPrinterDriverFromPackageW");
  if (RunningOnWine()) {
    // Wine 8 exports the upload but not the install from a package, so the
    // installation takes the legacy way there.
    EXPECT_FALSE(driverStore);
  }
  Stage();

  ASSERT_TRUE(InstallDriver(Job(spoolerLib.value.get()), mode_, selected_.model));

  auto driver = InstalledDriver();
  ASSERT_TRUE(driver.has_value());
  EXPECT_EQ(driver->infPath.empty(), !driverStore) << WideToUtf8(driver->infPath);
  for (const auto& line : log_.Lines()) EXPECT_NE(line.colour, kColourRed) << WideToUtf8(line.text);
}

}  // namespace
}  // namespace orvello
