#pragma once
#include <string>

#include "platform/files.h"

namespace orvello {

// Deletes every file below `folder` and removes every sub-folder after
// emptying it. Whatever cannot be deleted stays, and the rest goes on; the
// folder itself stays.
void DeleteFolderContents(platform::IFiles& files, const std::wstring& folder);

}  // namespace orvello
