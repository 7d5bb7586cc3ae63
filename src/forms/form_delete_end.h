#pragma once
// The removal's closing step. It has no page of its own (a removal ends on
// the setup end page) and no controls; its part comes with the removal runs.
#include "forms/wizard_form.h"

namespace orvello {

class CFormDeleteEnd : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;
};

}  // namespace orvello
