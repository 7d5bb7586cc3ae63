#include "platform/fake/fake_code_pages.h"

#include <gtest/gtest.h>

namespace orvello::fake {
namespace {

using platform::kCodePageAnsi;
using platform::kCodePageLatin1;
using platform::kCodePageUtf8;

TEST(FakeCodePages, WideToMultiByteAsWindowsConverts) {
  struct Case {
    uint32_t codePage;
    std::wstring wide;
    std::string narrow;
  };
  const Case cases[] = {
      {kCodePageLatin1, L"Printer-01", "Printer-01"},
      {kCodePageLatin1, L"Ünïcode ÿ", "\xDCn\xEF" "code \xFF"},
      {kCodePageLatin1, L"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ",
       "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F"},
      // The five bytes 1252 leaves open carry the C1 control of that value;
      // the other C1 controls have no byte.
      {kCodePageLatin1, L"\u0081\u008D\u008F\u0090\u009D\u0080", "\x81\x8D\x8F\x90\x9D?"},
      {kCodePageLatin1, L"打印机", "???"},
      {kCodePageLatin1, L"a\U0001F5A8b", "a?b"},
      {kCodePageUtf8, L"打印机 Ü", "\xE6\x89\x93\xE5\x8D\xB0\xE6\x9C\xBA \xC3\x9C"},
      {kCodePageUtf8, L"\U0001F5A8", "\xF0\x9F\x96\xA8"},
      {kCodePageUtf8, L"", ""},
  };
  FakeCodePages pages;
  for (const Case& c : cases) EXPECT_EQ(pages.WideToMultiByte(c.codePage, c.wide), c.narrow);
}

TEST(FakeCodePages, MultiByteToWideAsWindowsConverts) {
  struct Case {
    uint32_t codePage;
    std::string narrow;
    std::wstring wide;
  };
  const Case cases[] = {
      {kCodePageLatin1, "IP=10.0.0.5", L"IP=10.0.0.5"},
      {kCodePageLatin1, "\x80\x81\x9F\xA0\xFF", L"€\u0081Ÿ\u00A0ÿ"},
      {kCodePageUtf8, "\xE6\x89\x93\xE5\x8D\xB0\xE6\x9C\xBA", L"打印机"},
      {kCodePageUtf8, "a\xFF" "b", L"a\uFFFDb"},
  };
  FakeCodePages pages;
  for (const Case& c : cases) EXPECT_EQ(pages.MultiByteToWide(c.codePage, c.narrow), c.wide);
}

TEST(FakeCodePages, EveryLatin1ByteSurvivesTheRoundTrip) {
  FakeCodePages pages;
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(pages.WideToMultiByte(kCodePageLatin1, pages.MultiByteToWide(kCodePageLatin1, all)), all);
}

TEST(FakeCodePages, AnsiStandsForTheMachinesCodePage) {
  FakeCodePages pages;
  EXPECT_EQ(pages.AnsiCodePage(), kCodePageLatin1);
  EXPECT_EQ(pages.WideToMultiByte(kCodePageAnsi, L"Ü"), "\xDC");

  pages.SetAnsiCodePage(kCodePageUtf8);
  EXPECT_EQ(pages.AnsiCodePage(), kCodePageUtf8);
  EXPECT_EQ(pages.WideToMultiByte(kCodePageAnsi, L"Ü"), "\xC3\x9C");
  EXPECT_EQ(pages.MultiByteToWide(kCodePageAnsi, "\xC3\x9C"), L"Ü");
}

TEST(FakeCodePages, CodePageNotInstalledConvertsNothing) {
  FakeCodePages pages;
  EXPECT_EQ(pages.WideToMultiByte(12345, L"abc"), "");
  EXPECT_EQ(pages.MultiByteToWide(12345, "abc"), L"");
}

}  // namespace
}  // namespace orvello::fake
