#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/pack_file.h"

namespace orvello {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(MessageTableParsing, ReadsStringEntriesOfTheLanguageRoot) {
  MessageTable table = ParseMessageTable(Bytes(
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<Language isocode=\"en\">\n"
      "  <String id=\"\xE6\x98\xAF\" text=\"yes\" />\n"                      // 是
      "  <String id=\"a &amp; b &lt;%s&gt; &quot;q&quot;\" text=\"x&#10;y\" />\n"
      "  <String id=\"\" text=\"an empty id is no message\" />\n"
      "  <String text=\"neither is a missing one\" />\n"
      "  <String id=\"no text\" />\n"
      "  <Text id=\"7\" text=\"layout entries are not messages\" />\n"
      "  <Group><String id=\"nested\" text=\"only direct children count\" /></Group>\n"
      "</Language>"));
  MessageTable expected{
      {L"\u662F", L"yes"},
      {L"a & b <%s> \"q\"", L"x\ny"},
      {L"no text", L""},
  };
  EXPECT_EQ(table, expected);
}

TEST(MessageTableParsing, LaterDuplicateIdReplacesEarlier) {
  MessageTable table = ParseMessageTable(Bytes(
      "<Language><String id=\"k\" text=\"first\"/><String id=\"other\" text=\"o\"/>"
      "<String id=\"k\" text=\"second\"/></Language>"));
  EXPECT_EQ(table, (MessageTable{{L"k", L"second"}, {L"other", L"o"}}));
}

TEST(MessageTableParsing, AcceptsUtf8ByteOrderMark) {
  MessageTable table = ParseMessageTable(Bytes("\xEF\xBB\xBF<Language><String id=\"k\" text=\"v\"/></Language>"));
  EXPECT_EQ(table, (MessageTable{{L"k", L"v"}}));
}

TEST(MessageTableParsing, UnusableDocumentsGiveEmptyTable) {
  const char* documents[] = {
      "",
      "not xml at all",
      "<Language><String id=\"k\" text=\"v\"/>",                  // unterminated
      "<Strings><String id=\"k\" text=\"v\"/></Strings>",        // wrong root
  };
  for (const char* document : documents) {
    EXPECT_TRUE(ParseMessageTable(Bytes(document)).empty()) << document;
  }
}

TEST(LayoutTextParsing, ReadsTextAndTooltipByResourceId) {
  LayoutTextMap texts = ParseLayoutTexts(Bytes(
      "<Language isocode=\"en\">"
      "<Text id=\"1\" text=\"Next\" tooltip=\"Go on\"/>"
      "<Text id=\"2\" text=\"Only text\"/>"
      "<Text id=\"3\" tooltip=\"Only tooltip\"/>"
      "<Text id=\"4\" text=\"\"/>"
      "<Text id=\"12\" text=\"old\"/><Text id=\"12\" text=\"new\"/>"
      "<Text id=\"x1\" text=\"not a number\"/><Text id=\"\" text=\"empty id\"/><Text id=\"-5\" text=\"negative\"/>"
      "<Text id=\"1.5\" text=\"fraction\"/><Text text=\"no id\"/>"
      "<String id=\"9\" text=\"messages are not layout texts\"/>"
      "</Language>"));
  LayoutTextMap expected{
      {1, {L"Next", L"Go on"}},
      {2, {L"Only text", std::nullopt}},
      {3, {std::nullopt, L"Only tooltip"}},
      {4, {L"", std::nullopt}},
      {12, {L"new", std::nullopt}},
  };
  EXPECT_EQ(texts, expected);
}

TEST(LayoutTextParsing, UnusableDocumentGivesNoTexts) {
  EXPECT_TRUE(ParseLayoutTexts(Bytes("<Language><Text id=\"1\" text=\"a\"")).empty());
  EXPECT_TRUE(ParseLayoutTexts(Bytes("<Window><Text id=\"1\" text=\"a\"/></Window>")).empty());
}

TEST(LayoutTextFileNaming, ReplacesExtensionAndDropsFolders) {
  struct Case {
    const wchar_t* layout;
    const wchar_t* expected;
  } cases[] = {
      {L"form_main.xml", L"form_main.lng"},
      {L"DlgSoftLanguage.XML", L"DlgSoftLanguage.lng"},
      {L"skin\\form_printer_port.xml", L"form_printer_port.lng"},
      {L"skin/forms/form_setup_end.xml", L"form_setup_end.lng"},
      {L"dlg.v2.xml", L"dlg.v2.lng"},
      {L"noextension", L"noextension.lng"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LayoutTextFileName(c.layout), c.expected) << c.layout;
  }
}

}  // namespace
}  // namespace orvello
