// TessarExUiNew.dll: the configuration DLL of the sample driver. It
// answers the spooler's and the applications' questions with the defaults
// of a plain label printer (one orientation setting, up to 999 copies) and
// adds no property pages of its own.
#include <windows.h>
#include <winspool.h>
#include <compstui.h>
#include <winddiui.h>

#include <stddef.h>

#include "dll_entry.h"

// The headers of this tool chain do not carry these published
// declarations of the configuration-DLL interface.
typedef struct _DOCUMENTPROPERTYHEADER {
  WORD cbSize;
  WORD Reserved;
  HANDLE hPrinter;
  LPWSTR pszPrinterName;
  PDEVMODEW pdmIn;
  PDEVMODEW pdmOut;
  DWORD cbOut;
  DWORD fMode;
} DOCUMENTPROPERTYHEADER, *PDOCUMENTPROPERTYHEADER;

typedef struct _DEVICEPROPERTYHEADER {
  WORD cbSize;
  WORD Flags;
  HANDLE hPrinter;
  LPWSTR pszPrinterName;
} DEVICEPROPERTYHEADER, *PDEVICEPROPERTYHEADER;

extern "C" {
DWORD WINAPI DrvDeviceCapabilities(HANDLE printer, PWSTR deviceName, WORD capability, PVOID output,
                                   PDEVMODEW devMode);
LONG WINAPI DrvDocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam);
LONG WINAPI DrvDevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam);
BOOL WINAPI DrvUpgradePrinter(DWORD level, LPBYTE upgradeInfo);
}

namespace {

constexpr WORD kDriverVersion = 0x0100;
constexpr short kMaxCopies = 999;
constexpr DWORD kFields = DM_ORIENTATION | DM_COPIES;

void CopyName(WCHAR* to, size_t capacity, const WCHAR* from) {
  size_t i = 0;
  if (from)
    for (; i + 1 < capacity && from[i]; ++i) to[i] = from[i];
  to[i] = 0;
}

void Clear(void* memory, size_t size) {
  // volatile: keeps the compiler from turning the loop into a memset call,
  // which nothing here would provide.
  auto* bytes = static_cast<volatile unsigned char*>(memory);
  for (size_t i = 0; i < size; ++i) bytes[i] = 0;
}

void DefaultDevMode(DEVMODEW& mode, const WCHAR* printerName) {
  Clear(&mode, sizeof(mode));
  CopyName(mode.dmDeviceName, CCHDEVICENAME, printerName);
  mode.dmSpecVersion = DM_SPECVERSION;
  mode.dmDriverVersion = kDriverVersion;
  mode.dmSize = sizeof(DEVMODEW);
  mode.dmFields = kFields;
  mode.dmOrientation = DMORIENT_PORTRAIT;
  mode.dmCopies = 1;
}

// Takes over what the caller asked for of the settings this driver has.
void Merge(DEVMODEW& mode, const DEVMODEW* in) {
  if (!in || in->dmSize < offsetof(DEVMODEW, dmCopies) + sizeof(in->dmCopies)) return;
  if ((in->dmFields & DM_ORIENTATION) &&
      (in->dmOrientation == DMORIENT_PORTRAIT || in->dmOrientation == DMORIENT_LANDSCAPE))
    mode.dmOrientation = in->dmOrientation;
  if ((in->dmFields & DM_COPIES) && in->dmCopies >= 1) mode.dmCopies = in->dmCopies > kMaxCopies ? kMaxCopies : in->dmCopies;
}

// The compstui callbacks that both property-sheet entry points share: no
// pages are added, and the header names the printer.
LONG SheetCallback(PPROPSHEETUI_INFO info, LPARAM lParam, LPWSTR printerName) {
  switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT:
    case PROPSHEETUI_REASON_DESTROY:
    case PROPSHEETUI_REASON_SET_RESULT:
      return CPSUI_OK;
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
      auto* header = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam);
      if (!header) break;
      header->Flags = 0;
      header->pTitle = printerName;
      header->hInst = orvello::sample_driver::Module();
      header->IconID = IDI_CPSUI_PRINTER;
      return CPSUI_OK;
    }
    default:
      break;
  }
  ::SetLastError(ERROR_NOT_SUPPORTED);
  return ERR_CPSUI_GETLASTERROR;
}

}  // namespace

DWORD WINAPI DrvDeviceCapabilities(HANDLE, PWSTR, WORD capability, PVOID, PDEVMODEW) {
  switch (capability) {
    case DC_FIELDS:
      return kFields;
    case DC_SIZE:
      return sizeof(DEVMODEW);
    case DC_EXTRA:
      return 0;
    case DC_VERSION:
      return DM_SPECVERSION;
    case DC_DRIVER:
      return kDriverVersion;
    case DC_COPIES:
      return kMaxCopies;
    case DC_ORIENTATION:
      return 90;  // landscape turns the page counter-clockwise
    case DC_DUPLEX:
    case DC_COLLATE:
    case DC_COLORDEVICE:
    case DC_STAPLE:
      return 0;
    // Lists this driver has none of: no entries, nothing written.
    case DC_PAPERS:
    case DC_PAPERSIZE:
    case DC_PAPERNAMES:
    case DC_BINS:
    case DC_BINNAMES:
    case DC_ENUMRESOLUTIONS:
    case DC_FILEDEPENDENCIES:
    case DC_MEDIAREADY:
    case DC_MEDIATYPES:
    case DC_MEDIATYPENAMES:
    case DC_PERSONALITY:
      return 0;
    default:
      return GDI_ERROR;
  }
}

LONG WINAPI DrvDocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
  if (info) {
    auto* header = reinterpret_cast<PDOCUMENTPROPERTYHEADER>(info->lParamInit);
    return SheetCallback(info, lParam, header ? header->pszPrinterName : nullptr);
  }
  // Called by DocumentProperties without a dialog.
  auto* header = reinterpret_cast<PDOCUMENTPROPERTYHEADER>(lParam);
  if (!header || header->cbSize < sizeof(DOCUMENTPROPERTYHEADER)) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return ERR_CPSUI_GETLASTERROR;
  }
  if (header->fMode == 0 || !header->pdmOut) {
    header->cbOut = sizeof(DEVMODEW);
    return sizeof(DEVMODEW);
  }
  if (header->cbOut < sizeof(DEVMODEW)) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return ERR_CPSUI_GETLASTERROR;
  }
  DEVMODEW mode;
  DefaultDevMode(mode, header->pszPrinterName);
  if (header->fMode & DM_IN_BUFFER) Merge(mode, header->pdmIn);
  if (header->fMode & DM_OUT_BUFFER) *header->pdmOut = mode;
  return CPSUI_OK;
}

LONG WINAPI DrvDevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
  if (!info) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return ERR_CPSUI_GETLASTERROR;
  }
  auto* header = reinterpret_cast<PDEVICEPROPERTYHEADER>(info->lParamInit);
  return SheetCallback(info, lParam, header ? header->pszPrinterName : nullptr);
}

BOOL WINAPI DrvPrinterEvent(LPWSTR, INT, DWORD, LPARAM) {
  // Nothing is kept per printer: adding, initialising and deleting one
  // need no work here.
  return TRUE;
}

BOOL WINAPI DrvUpgradePrinter(DWORD, LPBYTE) { return TRUE; }
