#pragma once
// SetupOpenInfFileW(path, class, INF_STYLE_WIN4) as an IInfFile.
#include <memory>
#include <string>

#include "platform/devices.h"
#include "platform/win32/handles.h"

namespace orvello::win32 {

platform::Result<std::unique_ptr<platform::IInfFile>> OpenInfFile(const std::wstring& path,
                                                                    const std::wstring& infClass);

}  // namespace orvello::win32
