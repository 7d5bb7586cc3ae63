#include "forms/form_update_prepare.h"

namespace orvello {

void CFormUpdatePrepare::InitForm() {
  summary_ = FindControl(L"text_prepare_update");
}

void CFormUpdatePrepare::EnterUpdatePreparePage() { SelectPage(L"form_update_prepare"); }

}  // namespace orvello
