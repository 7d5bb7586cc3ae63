#include <gtest/gtest.h>

#include <string>

#include "catalogue/profiles.h"
#include "catalogue/xml_document.h"

namespace orvello {
namespace {

void Load(pugi::xml_document& doc, const char* xml) {
  ASSERT_TRUE(doc.load_string(xml)) << xml;
}

constexpr const char* kProfiles = R"(
<Manufacturers>
  <Manufacturer><Name>Native</Name></Manufacturer>
  <Manufacturer><Remark>no name</Remark></Manufacturer>
  <Other><Name>TessarEx</Name></Other>
  <Manufacturer id="ignored">
    <Name>TessarEx</Name>
    <CompanyName>柯瓦智能科技有限公司</CompanyName>
    <CompanyEnName>QOVA &amp; Co.</CompanyEnName>
    <ProductName>标签打印机驱动</ProductName>
    <ProductEnName><![CDATA[Label <Driver>]]></ProductEnName>
    <WebSite>https://qova.example.com</WebSite>
    <Email>support@qova.example.com</Email>
    <Tel>+86-571-5550-0186</Tel>
    <LogoFile>images\logo.png</LogoFile>
    <Manufacturer>QOVA</Manufacturer>
    <SetupPackageName>Setup</SetupPackageName>
    <Remark> spaced text </Remark>
    <V0>2</V0><V1> 5</V1><V2>0x3</V2><V3>18th</V3>
    <Time>2024-06-18 16:42:05</Time>
    <Disable>no</Disable>
    <DefaultSetupPortType>3</DefaultSetupPortType>
  </Manufacturer>
  <Manufacturer><Name>tessarex</Name><Remark>second</Remark></Manufacturer>
</Manufacturers>)";

TEST(CatalogueProfiles, FindByNameIgnoresLetterCaseAndTakesTheFirst) {
  pugi::xml_document doc;
  Load(doc, kProfiles);
  struct Case {
    std::wstring name;
    std::string expectedRemark;  // identifies the element; "-" = none
  };
  const Case cases[] = {
      {L"TessarEx", " spaced text "},
      {L"TESSAREX", " spaced text "},
      {L"tessarex", " spaced text "},
      {L"native", ""},
      {L"", "no name"},
      {L"Tessar", "-"},
      {L"TessarEx ", "-"},
      {L"QovaPrt", "-"},
  };
  for (const auto& c : cases) {
    pugi::xml_node found = FindProfileByName(doc, c.name);
    EXPECT_EQ(found ? std::string(found.child("Remark").text().get()) : "-", c.expectedRemark)
        << std::string(c.name.begin(), c.name.end());
  }
}

TEST(CatalogueProfiles, FindByNameAddsTheMissingListOnce) {
  pugi::xml_document doc;
  Load(doc, "<Drivers/>");
  EXPECT_FALSE(FindProfileByName(doc, L"Native"));
  EXPECT_FALSE(FindProfileByName(doc, L"Native"));
  int lists = 0;
  for (pugi::xml_node n = doc.child("Manufacturers"); n; n = n.next_sibling("Manufacturers")) {
    ++lists;
    EXPECT_FALSE(n.first_child());
  }
  EXPECT_EQ(lists, 1);

  XmlDocument unloaded;
  EXPECT_FALSE(FindProfileByName(unloaded.doc, L""));
  EXPECT_TRUE(unloaded.doc.child("Manufacturers"));
}

TEST(CatalogueProfiles, ParseReadsEveryField) {
  pugi::xml_document doc;
  Load(doc, kProfiles);
  ManufacturerProfile p;
  ParseProfile(FindProfileByName(doc, L"TessarEx"), p);

  ManufacturerProfile expected;
  expected.name = L"TessarEx";
  expected.productName = L"标签打印机驱动";
  expected.productEnName = L"Label <Driver>";
  expected.companyName = L"柯瓦智能科技有限公司";
  expected.companyEnName = L"QOVA & Co.";
  expected.webSite = L"https://qova.example.com";
  expected.email = L"support@qova.example.com";
  expected.tel = L"+86-571-5550-0186";
  expected.logoFile = L"images\\logo.png";
  expected.manufacturer = L"QOVA";
  expected.setupPackageName = L"Setup";
  expected.version = {2, 5, 3, 18};
  expected.time = L"2024-06-18 16:42:05";
  expected.disable = false;
  expected.remark = L" spaced text ";
  expected.defaultSetupPortType = 3;
  EXPECT_EQ(p, expected);
}

TEST(CatalogueProfiles, ParseReplacesFieldsThatHaveNoElement) {
  pugi::xml_document doc;
  Load(doc, kProfiles);
  ManufacturerProfile filled;
  ParseProfile(FindProfileByName(doc, L"TessarEx"), filled);
  filled.disable = true;

  ManufacturerProfile p = filled;
  ParseProfile(FindProfileByName(doc, L"Native"), p);
  ManufacturerProfile expected;
  expected.name = L"Native";
  EXPECT_EQ(p, expected);

  p = filled;
  ParseProfile(pugi::xml_node(), p);
  EXPECT_EQ(p, ManufacturerProfile{});
}

TEST(CatalogueProfiles, DisableText) {
  struct Case {
    const char* element;
    bool expected;
  };
  const Case cases[] = {
      {"<Disable>yes</Disable>", true},
      {"<Disable>1</Disable>", true},
      {"<Disable>True</Disable>", true},
      {"<Disable><![CDATA[y]]></Disable>", true},
      {"<Disable>no</Disable>", false},
      {"<Disable>0</Disable>", false},
      {"<Disable>false</Disable>", false},
      {"<Disable> yes</Disable>", false},
      {"<Disable></Disable>", false},
      {"", false},
  };
  for (const auto& c : cases) {
    pugi::xml_document doc;
    const std::string xml = std::string("<Manufacturer><Name>X</Name>") + c.element + "</Manufacturer>";
    Load(doc, xml.c_str());
    ManufacturerProfile p;
    p.disable = !c.expected;
    ParseProfile(doc.child("Manufacturer"), p);
    EXPECT_EQ(p.disable, c.expected) << c.element;
  }
}

}  // namespace
}  // namespace orvello
