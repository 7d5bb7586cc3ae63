#pragma once
// The application object over a fake machine for the shell's tests, with
// the toolkit's skin held in memory.
#include <memory>
#include <string>

#include "app/app.h"
#include "app/app_host.h"
#include "log/my_log.h"
#include "platform/fake/fake_machine.h"
#include "ui_test_support.h"
#include "support/unused_app_host.h"

namespace orvello::test {

class ShellTest : public ui::test::UiTest {
 protected:
  ShellTest() : log_(machine_.files, machine_.system, L"C:\\Program Files\\Orvello\\"), app_(machine_.platform(), host_, &log_) {}

  void SetCatalogue(const char* xml) {
    app_.catalogue.doc.reset();
    app_.catalogue.doc.load_string(xml);
    app_.catalogue.loaded = 1;
  }

  fake::FakeMachine machine_;
  test::UnusedAppHost host_;
  CMyLog log_;
  CApp app_;
};

}  // namespace orvello::test
