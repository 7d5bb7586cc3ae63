#include "forms/form_delete_prepare.h"

namespace orvello {

void CFormDeletePrepare::InitForm() {
  summary_ = FindControl(L"text_prepare_delete");
}

void CFormDeletePrepare::EnterDeletePreparePage() { SelectPage(L"form_delete_prepare"); }

}  // namespace orvello
