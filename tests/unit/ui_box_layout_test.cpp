#include <gtest/gtest.h>

#include <string>

#include "system/text.h"
#include "ui/containers.h"
#include "ui_test_support.h"

namespace orvello::ui::test {
namespace {

const char kLayout[] = R"(<Window size="560,400">
  <VerticalLayout name="root" inset="10,10,10,10" childpadding="4">
    <HorizontalLayout name="title_bar" height="32" childpadding="2">
      <Label name="logo" width="100"/>
      <Label name="title" padding="5,0,5,0"/>
      <Button name="windowminbtn" width="30"/>
      <Button name="windowclosebtn" width="30"/>
    </HorizontalLayout>
    <TabLayout name="tab_main" padding="0,6,0,0">
      <Container name="page_one"><Button name="btn_fixed" width="80" height="24" padding="3,4,0,0"/><Label name="fill"/></Container>
      <Container name="page_two"/>
    </TabLayout>
    <Label name="status" height="20" width="200"/>
    <Label name="hidden" height="50" visible="false"/>
    <Label name="badge" float="true" pos="500,0,540,20"/>
    <Label name="badge2" float="true" pos="10,350,0,0" width="40" height="10"/>
  </VerticalLayout>
</Window>)";

class UiBoxLayoutTest : public UiTest {
 protected:
  void SetUp() override { Open(window_, L"box.xml", kLayout); }
  Rect At(const wchar_t* name) { return window_.FindControl(name)->Pos(); }
  Window window_;
};

TEST_F(UiBoxLayoutTest, BoxesShareTheirSpaceAfterFixedSizes) {
  struct Case {
    const wchar_t* name;
    Rect rect;
  };
  // Inner area 10..550 x 10..390; three flowing rows with 4 pixels between:
  // 32 fixed, 20 fixed, the tab takes 380 - 32 - 20 - 6 - 8 = 314.
  const Case cases[] = {
      {L"root", {0, 0, 560, 400}},
      {L"title_bar", {10, 10, 550, 42}},
      {L"logo", {10, 10, 110, 42}},
      // 540 - 100 - 30 - 30 - 3 * 2 - 10 (its padding) = 364 for the title.
      {L"title", {117, 10, 481, 42}},
      {L"windowminbtn", {488, 10, 518, 42}},
      {L"windowclosebtn", {520, 10, 550, 42}},
      {L"tab_main", {10, 52, 550, 366}},
      {L"page_one", {10, 52, 550, 366}},
      {L"btn_fixed", {13, 56, 93, 80}},
      {L"fill", {10, 52, 550, 366}},
      {L"status", {10, 370, 210, 390}},
      {L"hidden", {0, 0, 0, 0}},
      {L"badge", {510, 10, 550, 30}},
      {L"badge2", {20, 360, 60, 370}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.name));
    EXPECT_EQ(At(c.name), c.rect);
  }
}

TEST_F(UiBoxLayoutTest, ChangesInVisibilityOrSizeRearrangeOnTheNextPaint) {
  window_.FindControl(L"status")->SetVisible(false);
  window_.FindControl(L"hidden")->SetVisible(true);
  backend_.Pump();
  // 380 - 32 - 50 - 6 - 8 = 284 for the tab.
  EXPECT_EQ(At(L"tab_main"), (Rect{10, 52, 550, 336}));
  EXPECT_EQ(At(L"hidden"), (Rect{10, 340, 550, 390}));
  EXPECT_TRUE(At(L"status").IsEmpty());

  window_.Arrange(Size{200, 100});
  EXPECT_EQ(At(L"tab_main"), (Rect{10, 52, 190, 52}));  // no room left: empty, never negative
  EXPECT_EQ(At(L"title"), (Rect{117, 10, 121, 42}));  // 180 - 176 fixed
}

}  // namespace
}  // namespace orvello::ui::test
