#include <gtest/gtest.h>

#include "payload/xml_resource.h"
#include "platform/fake/fake_debug_output.h"
#include "platform/fake/fake_resources.h"

namespace orvello {
namespace {

class XmlResourceTest : public ::testing::Test {
 protected:
  void Load() { LoadXmlResource(resources_, debug_, kCatalogueResourceId, document_); }
  fake::FakeResources resources_;
  fake::FakeDebugOutput debug_;
  XmlDocument document_;
};

TEST_F(XmlResourceTest, ParsesTheResourceOnce) {
  resources_.Add(L"XML", 131, "<Drivers model=\"TessarEx\"/>");
  Load();
  EXPECT_EQ(document_.loaded, 1);
  EXPECT_STREQ(document_.doc.child("Drivers").attribute("model").value(), "TessarEx");

  // A second request does nothing, even when the resource changed meanwhile.
  resources_.Add(L"XML", 131, "<Other/>");
  Load();
  EXPECT_TRUE(document_.doc.child("Drivers"));
  EXPECT_TRUE(debug_.Lines().empty());
}

TEST_F(XmlResourceTest, MissingResourceIsSilentAndStaysUnloaded) {
  Load();
  EXPECT_EQ(document_.loaded, 0);
  EXPECT_TRUE(debug_.Lines().empty());
}

TEST_F(XmlResourceTest, LoadFailureAndEmptyResourceOnlyReachTheDebugger) {
  resources_.AddLoadFailure(L"XML", 131);
  Load();
  EXPECT_EQ(document_.loaded, 0);
  EXPECT_EQ(debug_.Lines(), std::vector<std::wstring>{L"load packaga resource error"});

  debug_.Clear();
  resources_.Add(L"XML", 131, std::vector<uint8_t>{});
  Load();
  EXPECT_EQ(document_.loaded, 0);
  EXPECT_EQ(debug_.Lines(), std::vector<std::wstring>{L"load packaga resource error size == 0"});
}

TEST_F(XmlResourceTest, MalformedDocumentKeepsWhatWasParsedAndCountsAsLoaded) {
  resources_.Add(L"XML", 131,
                 "<Drivers model=\"TessarEx\"><Manufacturers><Manufacturer mode=\"Native\"><Driver name=\"A\"/>"
                 "<Driver name=\"B\" <broken");
  Load();
  EXPECT_EQ(document_.loaded, 1);
  ASSERT_EQ(debug_.Lines().size(), 1u);
  EXPECT_NE(debug_.Lines()[0], L"");
  auto manufacturer = document_.doc.child("Drivers").child("Manufacturers").child("Manufacturer");
  EXPECT_STREQ(manufacturer.child("Driver").attribute("name").value(), "A");
}

}  // namespace
}  // namespace orvello
