#include "app/app.h"
#include "engine/staging.h"

namespace orvello {

void StageDriverPackage(CApp& app, const std::wstring& mode) {
  StagingJob job{app.platform(), app.selected, app.newFileNames};
  StageDriverPackage(job, mode);
}

}  // namespace orvello
