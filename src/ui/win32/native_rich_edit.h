#pragma once
// Rich edits as RichEdit 2.0 windows ("RichEdit20W" of Riched20.dll from
// the system folder): read-only, multi-line, each run in its own colour,
// scrolled to the end after every run.
#include <windows.h>

#include "ui/rich_edit.h"
#include "ui/win32/native_state.h"

namespace orvello::ui::win32 {

// The rich edit library, loaded once by its full path.
bool LoadRichEditLibrary();

HWND CreateRichEditWindow(NativeFrame& frame, RichEdit& edit, int id);
void UpdateRichEdit(NativeFrame& frame, RichEdit& edit, NativeControl& native, Change what);

}  // namespace orvello::ui::win32
