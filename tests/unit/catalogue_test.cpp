#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/xml_document.h"

namespace orvello {
namespace {

void Load(pugi::xml_document& doc, const char* xml) {
  ASSERT_TRUE(doc.load_string(xml)) << xml;
}

std::vector<std::wstring> Walk(std::wstring_view manufacturer, const pugi::xml_document& doc) {
  std::vector<std::wstring> names;
  DriverRef d = FirstDriver(manufacturer, doc);
  while (d) {
    names.push_back(DriverName(d));
    if (!NextDriver(manufacturer, d, doc)) {
      EXPECT_FALSE(d) << "a finished walk leaves the handle at none";
      break;
    }
  }
  return names;
}

using Names = std::vector<std::wstring>;

// Document order with a stray element between manufacturers and between
// drivers, a manufacturer key that differs only in case, a second
// manufacturer with an already used key, and an empty manufacturer that
// hides the one after it from the all-manufacturers walk.
constexpr const char* kWalkCatalogue = R"(
<Drivers>
  <Manufacturers>
    <Manufacturer mode="Native"><Driver name="N1"/><Driver name="N2"/></Manufacturer>
    <Note/>
    <Manufacturer mode="Acme">
      <Driver name="A1" usbname="USBPRINT\ACME_A1"/>
      <Comment/>
      <Driver name="A2" usbname="USBPRINT\ACME_A2"/>
    </Manufacturer>
    <Manufacturer mode="acme"><Driver name="a-lower"/></Manufacturer>
    <Manufacturer mode="Acme"><Driver name="A-second" usbname="USBPRINT\ACME_SECOND"/></Manufacturer>
    <Manufacturer mode="Empty"/>
    <Manufacturer mode="Late"><Driver name="L1" usbname="USBPRINT\LATE_L1"/></Manufacturer>
  </Manufacturers>
</Drivers>)";

TEST(CatalogueWalk, ManufacturerKeysAreExactAndQovaPrtWalksAllUntilAnEmptyOne) {
  pugi::xml_document doc;
  Load(doc, kWalkCatalogue);

  const Names all = {L"N1", L"N2", L"A1", L"A2", L"a-lower", L"A-second"};
  struct Case {
    std::wstring manufacturer;
    Names expected;
  };
  const Case cases[] = {
      {L"QovaPrt", all},
      {L"qovaprt", all},
      {L"QOVAPRT", all},
      {L"Native", {L"N1", L"N2"}},
      // Only the first manufacturer with the key is walked.
      {L"Acme", {L"A1", L"A2"}},
      {L"acme", {L"a-lower"}},
      {L"ACME", {}},
      {L"Late", {L"L1"}},
      {L"Empty", {}},
      {L"Missing", {}},
      {L"", {}},
      {L"QovaPrt ", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Walk(c.manufacturer, doc), c.expected) << std::string(c.manufacturer.begin(), c.manufacturer.end());
  }
}

TEST(CatalogueWalk, AllManufacturersWalkIsEmptyWhenTheFirstManufacturerHasNoDriver) {
  pugi::xml_document doc;
  Load(doc, R"(<Drivers><Manufacturers>
      <Manufacturer mode="Native"/>
      <Manufacturer mode="Acme"><Driver name="A1"/></Manufacturer>
    </Manufacturers></Drivers>)");
  EXPECT_EQ(Walk(L"QovaPrt", doc), Names{});
  EXPECT_EQ(Walk(L"Acme", doc), Names{L"A1"});
}

TEST(CatalogueWalk, NextDriverOnNoneStaysAtNone) {
  pugi::xml_document doc;
  Load(doc, kWalkCatalogue);
  DriverRef none;
  EXPECT_FALSE(NextDriver(L"QovaPrt", none, doc));
  EXPECT_FALSE(none);
}

TEST(CatalogueWalk, HandlesKnowTheirDocument) {
  pugi::xml_document doc;
  Load(doc, kWalkCatalogue);
  DriverRef d = FirstDriver(L"QovaPrt", doc);
  ASSERT_TRUE(d);
  EXPECT_EQ(d.document, &doc);
  ASSERT_TRUE(NextDriver(L"QovaPrt", d, doc));
  ASSERT_TRUE(NextDriver(L"QovaPrt", d, doc));
  EXPECT_EQ(DriverName(d), L"A1");
  EXPECT_EQ(d.document, &doc);
  EXPECT_EQ(FindDriver(L"Acme", L"A2", doc).document, &doc);
}

TEST(CatalogueFindDriver, ModeAndNameAreComparedExactly) {
  pugi::xml_document doc;
  Load(doc, kWalkCatalogue);
  struct Case {
    std::wstring mode;
    std::wstring name;
    bool found;
  };
  const Case cases[] = {
      {L"Acme", L"A2", true},      {L"Native", L"N1", true},    {L"Late", L"L1", true},
      {L"Acme", L"a2", false},     {L"acme", L"A1", false},     {L"acme", L"a-lower", true},
      {L"ACME", L"A1", false},     {L"Acme", L"A", false},      {L"Acme", L"A2 ", false},
      // The second manufacturer with a used key is never searched.
      {L"Acme", L"A-second", false},
      // "QovaPrt" is a manufacturer name only for walks, not for FindDriver.
      {L"QovaPrt", L"N1", false},
      {L"Acme", L"", false},
  };
  for (const auto& c : cases) {
    DriverRef d = FindDriver(c.mode, c.name, doc);
    EXPECT_EQ(static_cast<bool>(d), c.found)
        << std::string(c.mode.begin(), c.mode.end()) << "/" << std::string(c.name.begin(), c.name.end());
    if (d) {
      EXPECT_EQ(DriverName(d), c.name);
    }
  }
}

TEST(CatalogueFindDriver, UsbIdMustMatchExactlyWithinTheWalk) {
  pugi::xml_document doc;
  Load(doc, kWalkCatalogue);
  struct Case {
    std::wstring manufacturer;
    std::wstring id;
    std::wstring expected;  // "" = none
  };
  const Case cases[] = {
      {L"Acme", L"USBPRINT\\ACME_A2", L"A2"},
      {L"QovaPrt", L"USBPRINT\\ACME_A2", L"A2"},
      {L"qovaPRT", L"USBPRINT\\ACME_SECOND", L"A-second"},
      {L"Acme", L"usbprint\\acme_a2", L""},
      {L"Acme", L"USBPRINT\\ACME_a2", L""},
      {L"Acme", L"USBPRINT\\ACME_A", L""},
      {L"Acme", L"USBPRINT\\ACME_A22", L""},
      {L"Native", L"USBPRINT\\ACME_A2", L""},
      // Behind the empty manufacturer: only found when asked for directly.
      {L"QovaPrt", L"USBPRINT\\LATE_L1", L""},
      {L"Late", L"USBPRINT\\LATE_L1", L"L1"},
      // A model without an id has the id "", like any other text.
      {L"QovaPrt", L"", L"N1"},
      {L"Acme", L"", L""},
  };
  for (const auto& c : cases) {
    DriverRef d = FindDriverByUsbName(c.manufacturer, c.id, doc);
    EXPECT_EQ(DriverName(d), c.expected) << std::string(c.id.begin(), c.id.end());
    EXPECT_EQ(static_cast<bool>(d), !c.expected.empty());
  }
}

// Base models of the same name in two manufacturers, so that the default
// parent manufacturer is visible; a two-level chain; a model that blanks
// the inherited id; a parent that does not exist; a nameless base that an
// empty parent name must not reach.
constexpr const char* kInheritanceCatalogue = R"(
<Drivers>
  <Manufacturers>
    <Manufacturer mode="Acme">
      <Driver name="Child" parent="Base"/>
      <Driver name="Explicit" parent="Base" parentmanufacturer="Acme"/>
      <Driver name="Hidden" parent="Base" usbname=""/>
      <Driver name="Grand" parent="Mid"/>
      <Driver name="Orphan" parent="Missing" udp="1"/>
      <Driver name="NoParent" parent=""/>
      <Driver parent="Base"/>
      <Driver name="ViaHidden" parent="Hidden" parentmanufacturer="Acme"/>
      <Driver name="Base" usbname="USBPRINT\ACME_BASE" comment="acme base"/>
    </Manufacturer>
    <Manufacturer mode="Native">
      <Driver name="Base" usbname="USBPRINT\NATIVE_BASE" comment="native base" customname="Base Series"
              btadapter="1" bluetoothdriver="no" udp="yes" languagemonitor="T"/>
      <Driver name="Mid" parent="Base" udp="0" bluetoothdriver=""/>
      <Driver udp="1" comment="nameless"/>
    </Manufacturer>
  </Manufacturers>
</Drivers>)";

TEST(CatalogueInheritance, ParentDefaultsToTheNativeManufacturer) {
  pugi::xml_document doc;
  Load(doc, kInheritanceCatalogue);
  DriverRef nativeBase = FindDriver(L"Native", L"Base", doc);
  DriverRef acmeBase = FindDriver(L"Acme", L"Base", doc);
  ASSERT_TRUE(nativeBase);
  ASSERT_TRUE(acmeBase);

  DriverRef child = FindDriver(L"Acme", L"Child", doc);
  EXPECT_EQ(ParentDriver(child), nativeBase);
  EXPECT_EQ(DriverUsbName(child), L"USBPRINT\\NATIVE_BASE");
  EXPECT_EQ(DriverComment(child), L"native base");

  DriverRef explicitParent = FindDriver(L"Acme", L"Explicit", doc);
  EXPECT_EQ(ParentDriver(explicitParent), acmeBase);
  EXPECT_EQ(DriverUsbName(explicitParent), L"USBPRINT\\ACME_BASE");
  EXPECT_EQ(DriverComment(explicitParent), L"acme base");

  EXPECT_FALSE(ParentDriver(FindDriver(L"Acme", L"Orphan", doc)));
  EXPECT_FALSE(ParentDriver(FindDriver(L"Acme", L"NoParent", doc)));
  EXPECT_FALSE(ParentDriver(nativeBase));
  EXPECT_FALSE(ParentDriver(DriverRef{}));
}

TEST(CatalogueInheritance, OwnEmptyUsbNameHidesTheParents) {
  pugi::xml_document doc;
  Load(doc, kInheritanceCatalogue);
  DriverRef hidden = FindDriver(L"Acme", L"Hidden", doc);
  ASSERT_TRUE(hidden);
  pugi::xml_attribute own = InheritedAttribute(hidden, "usbname");
  ASSERT_TRUE(own);
  EXPECT_EQ(own, hidden.node.attribute("usbname"));
  EXPECT_EQ(DriverUsbName(hidden), L"");
  // The blank is inherited in turn.
  EXPECT_EQ(DriverUsbName(FindDriver(L"Acme", L"ViaHidden", doc)), L"");
  // Looking the parent's id up finds the model that really has it.
  EXPECT_EQ(DriverName(FindDriverByUsbName(L"Acme", L"USBPRINT\\NATIVE_BASE", doc)), L"Child");
}

TEST(CatalogueInheritance, NearestAncestorWinsAndDefaultsApplyAtTheEnd) {
  pugi::xml_document doc;
  Load(doc, kInheritanceCatalogue);
  struct Expected {
    const wchar_t* name;
    std::wstring usb;
    bool btadapter;
    bool bluetoothdriver;
    bool udp;
    std::wstring customname;
    std::wstring comment;
    bool languagemonitor;
  };
  const Expected cases[] = {
      // Mid blanks bluetoothdriver (default again) and clears udp; the rest
      // comes from the Native base two levels up.
      {L"Grand", L"USBPRINT\\NATIVE_BASE", true, true, false, L"Base Series", L"native base", true},
      {L"Child", L"USBPRINT\\NATIVE_BASE", true, false, true, L"Base Series", L"native base", true},
      {L"Explicit", L"USBPRINT\\ACME_BASE", false, true, false, L"", L"acme base", false},
      {L"Orphan", L"", false, true, true, L"", L"", false},
      {L"NoParent", L"", false, true, false, L"", L"", false},
  };
  for (const auto& c : cases) {
    DriverRef d = FindDriver(L"Acme", c.name, doc);
    ASSERT_TRUE(d);
    SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)));
    EXPECT_EQ(DriverUsbName(d), c.usb);
    EXPECT_EQ(DriverBtAdapter(d), c.btadapter);
    EXPECT_EQ(DriverBluetoothDriver(d), c.bluetoothdriver);
    EXPECT_EQ(DriverUdp(d), c.udp);
    EXPECT_EQ(DriverCustomName(d), c.customname);
    EXPECT_EQ(DriverComment(d), c.comment);
    EXPECT_EQ(DriverLanguageMonitor(d), c.languagemonitor);
  }
}

TEST(CatalogueInheritance, NameIsNeverInherited) {
  pugi::xml_document doc;
  Load(doc, kInheritanceCatalogue);
  DriverRef nameless;
  for (DriverRef d = FirstDriver(L"Acme", doc); d; NextDriver(L"Acme", d, doc)) {
    if (!d.node.attribute("name")) nameless = d;
  }
  ASSERT_TRUE(nameless);
  EXPECT_EQ(DriverName(nameless), L"");
  EXPECT_EQ(DriverUsbName(nameless), L"USBPRINT\\NATIVE_BASE");
}

TEST(CatalogueInheritance, BluetoothDriverFalseSurvivesTheDefaultOfTrue) {
  pugi::xml_document doc;
  Load(doc, R"(<Drivers><Manufacturers><Manufacturer mode="Native">
      <Driver name="Off" bluetoothdriver="false"/>
      <Driver name="Zero" bluetoothdriver="0"/>
      <Driver name="Blank" bluetoothdriver=""/>
      <Driver name="Absent"/>
      <Driver name="Yes" bluetoothdriver="Yes"/>
    </Manufacturer></Manufacturers></Drivers>)");
  const std::pair<const wchar_t*, bool> cases[] = {
      {L"Off", false}, {L"Zero", false}, {L"Blank", true}, {L"Absent", true}, {L"Yes", true}};
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(DriverBluetoothDriver(FindDriver(L"Native", name, doc)), expected)
        << std::string(name, name + wcslen(name));
  }
}

TEST(CatalogueInheritance, ParentCyclesEnd) {
  pugi::xml_document doc;
  Load(doc, R"(<Drivers><Manufacturers><Manufacturer mode="Native">
      <Driver name="A" parent="B"/>
      <Driver name="B" parent="C"/>
      <Driver name="C" parent="A" udp="1"/>
      <Driver name="Self" parent="Self"/>
      <Driver name="D" parent="E"/>
      <Driver name="E" parent="F"/>
      <Driver name="F" parent="E" comment="f"/>
    </Manufacturer></Manufacturers></Drivers>)");
  auto find = [&doc](const wchar_t* name) { return FindDriver(L"Native", name, doc); };

  EXPECT_FALSE(InheritedAttribute(find(L"A"), "usbname"));
  EXPECT_TRUE(DriverUdp(find(L"A")));
  EXPECT_TRUE(DriverUdp(find(L"B")));
  EXPECT_FALSE(InheritedAttribute(find(L"Self"), "usbname"));
  EXPECT_EQ(DriverUsbName(find(L"Self")), L"");
  // A loop that does not pass through the starting model.
  EXPECT_FALSE(InheritedAttribute(find(L"D"), "usbname"));
  EXPECT_EQ(DriverComment(find(L"D")), L"f");
  EXPECT_FALSE(FindDriverByUsbName(L"QovaPrt", L"USBPRINT\\NONE", doc));
}

TEST(CatalogueEmpty, UnloadedOrForeignDocumentsHaveNoDrivers) {
  XmlDocument unloaded;
  pugi::xml_document foreign;
  Load(foreign, "<Manufacturers><Manufacturer mode=\"Native\"><Driver name=\"X\"/></Manufacturer></Manufacturers>");
  pugi::xml_document noManufacturers;
  Load(noManufacturers, "<Drivers model=\"M\"/>");

  for (const pugi::xml_document* doc : {&unloaded.doc, &foreign, &noManufacturers}) {
    for (const wchar_t* m : {L"QovaPrt", L"Native"}) {
      EXPECT_FALSE(FirstDriver(m, *doc));
      EXPECT_FALSE(FindDriverByUsbName(m, L"", *doc));
    }
    EXPECT_FALSE(FindDriver(L"Native", L"X", *doc));
  }
}

TEST(CatalogueEmpty, NoneHandleReadsAsDefaults) {
  const DriverRef none;
  EXPECT_EQ(DriverName(none), L"");
  EXPECT_FALSE(InheritedAttribute(none, "usbname"));
  EXPECT_EQ(DriverUsbName(none), L"");
  EXPECT_FALSE(DriverBtAdapter(none));
  EXPECT_TRUE(DriverBluetoothDriver(none));
  EXPECT_FALSE(DriverUdp(none));
  EXPECT_EQ(DriverCustomName(none), L"");
  EXPECT_EQ(DriverComment(none), L"");
  EXPECT_FALSE(DriverLanguageMonitor(none));
}

TEST(CatalogueHeader, RootAttributesFillTheirFieldsOnly) {
  pugi::xml_document doc;
  Load(doc, R"(<Drivers model="TessarEx" product="标签打印机驱动" product_en="Label Driver"
      company="柯瓦" company_en="QOVA" website="https://qova.example.com" email="a@example.com"
      tel="+86 1" version0=" 2" version1="0x10" version2="-3" version3="x" time="2024-01-01">
      <Manufacturers/></Drivers>)");
  ManufacturerProfile p;
  p.logoFile = L"logo.png";
  p.manufacturer = L"kept";
  p.setupPackageName = L"kept";
  p.time = L"kept";
  p.disable = true;
  p.remark = L"kept";
  p.defaultSetupPortType = 3;
  ManufacturerProfile expected = p;
  expected.name = L"TessarEx";
  expected.productName = L"标签打印机驱动";
  expected.productEnName = L"Label Driver";
  expected.companyName = L"柯瓦";
  expected.companyEnName = L"QOVA";
  expected.webSite = L"https://qova.example.com";
  expected.email = L"a@example.com";
  expected.tel = L"+86 1";
  expected.version = {2, 16, -3, 0};

  EXPECT_TRUE(LoadCatalogueHeader(doc, p));
  EXPECT_EQ(p, expected);
}

TEST(CatalogueHeader, MissingRootClearsTheHeaderFields) {
  XmlDocument unloaded;
  ManufacturerProfile p;
  p.name = L"old";
  p.companyName = L"old";
  p.version = {1, 2, 3, 4};
  p.logoFile = L"logo.png";
  EXPECT_FALSE(LoadCatalogueHeader(unloaded.doc, p));
  ManufacturerProfile expected;
  expected.logoFile = L"logo.png";
  EXPECT_EQ(p, expected);
}

}  // namespace
}  // namespace orvello
