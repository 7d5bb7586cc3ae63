// The generated catalogue and profiles as the executable embeds them.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/profiles.h"
#include "system/text.h"

namespace orvello {
namespace {

constexpr std::wstring_view kPackageModel = L"TessarEx";
constexpr std::wstring_view kUsbPrefix = L"USBPRINT\\QOVA_";

class ShippedCatalogue : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    catalogueResult_ = catalogueDoc_.load_file(ORVELLO_CATALOGUE_XML);
    profilesResult_ = profilesDoc_.load_file(ORVELLO_PROFILES_XML);
  }
  void SetUp() override {
    ASSERT_TRUE(catalogueResult_) << ORVELLO_CATALOGUE_XML << ": " << catalogueResult_.description();
    ASSERT_TRUE(profilesResult_) << ORVELLO_PROFILES_XML << ": " << profilesResult_.description();
  }

  static std::vector<DriverRef> Drivers(std::wstring_view manufacturer) {
    std::vector<DriverRef> all;
    for (DriverRef d = FirstDriver(manufacturer, *catalogue_); d; NextDriver(manufacturer, d, *catalogue_)) {
      all.push_back(d);
    }
    return all;
  }

  static inline pugi::xml_document catalogueDoc_;
  static inline pugi::xml_document profilesDoc_;
  static inline pugi::xml_document* const catalogue_ = &catalogueDoc_;
  static inline pugi::xml_document* const profiles_ = &profilesDoc_;
  static inline pugi::xml_parse_result catalogueResult_;
  static inline pugi::xml_parse_result profilesResult_;
};

std::string Narrow(const std::wstring& s) { return WideToUtf8(s); }

bool IsUpperHex(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F'); }

// "USBPRINT\QOVA_" + the model name (blanks as underscores) + four hex digits.
bool MatchesIdPattern(const std::wstring& id, const std::wstring& model) {
  std::wstring expectedStem(kUsbPrefix);
  for (wchar_t c : model) expectedStem += c == L' ' ? L'_' : c;
  return id.size() == expectedStem.size() + 4 && id.compare(0, expectedStem.size(), expectedStem) == 0 &&
         std::all_of(id.end() - 4, id.end(), IsUpperHex);
}

TEST_F(ShippedCatalogue, HeaderNamesThePackageModel) {
  ManufacturerProfile p;
  ASSERT_TRUE(LoadCatalogueHeader(*catalogue_, p));
  EXPECT_EQ(p.name, kPackageModel);
  EXPECT_FALSE(p.productName.empty());
  EXPECT_FALSE(p.productEnName.empty());
  EXPECT_FALSE(p.companyName.empty());
  EXPECT_FALSE(p.companyEnName.empty());
  EXPECT_FALSE(catalogue_->child("Drivers").attribute("time")) << "the about dialog hides an absent time";
}

TEST_F(ShippedCatalogue, ModelsAreUniqueFileNamesAndResolveThroughTheirUsbId) {
  const std::vector<DriverRef> models = Drivers(kPackageModel);
  EXPECT_EQ(models.size(), 395u);

  std::set<std::wstring> folded;
  int hidden = 0;
  for (const DriverRef& d : models) {
    const std::wstring name = DriverName(d);
    SCOPED_TRACE(Narrow(name));
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(name.find_first_of(L"\\/:*?\"<>|"), std::wstring::npos);
    EXPECT_TRUE(folded.insert(ToLower(name)).second) << "names must differ even ignoring case";
    EXPECT_TRUE(ParentDriver(d)) << "every model inherits from an existing base";

    const std::wstring usb = DriverUsbName(d);
    if (usb.empty()) {
      // Only a model that blanks its parent's id explicitly has none.
      ASSERT_TRUE(d.node.attribute("usbname"));
      EXPECT_FALSE(DriverUsbName(ParentDriver(d)).empty());
      ++hidden;
      continue;
    }
    EXPECT_TRUE(MatchesIdPattern(usb, name)) << Narrow(usb);
    EXPECT_EQ(FindDriverByUsbName(kPackageModel, usb, *catalogue_), d);
    EXPECT_EQ(FindDriverByUsbName(L"QovaPrt", usb, *catalogue_), d);
    EXPECT_FALSE(FindDriverByUsbName(kPackageModel, ToLower(usb), *catalogue_));
  }
  EXPECT_GT(hidden, 0);
}

TEST_F(ShippedCatalogue, AllManufacturersWalkCoversNativeAndPackageModels) {
  const size_t native = Drivers(kNativeManufacturer).size();
  EXPECT_GT(native, 0u);
  EXPECT_EQ(Drivers(L"QovaPrt").size(), native + Drivers(kPackageModel).size());
}

TEST_F(ShippedCatalogue, EverySwitchIsUsedBothWays) {
  // The wizard filters on these; a catalogue where one is constant would
  // leave a branch of the forms unreachable with the shipped data.
  const std::vector<DriverRef> models = Drivers(kPackageModel);
  auto count = [&models](bool (*flag)(const DriverRef&)) {
    return std::count_if(models.begin(), models.end(), flag);
  };
  const long total = static_cast<long>(models.size());
  for (auto flag : {&DriverBtAdapter, &DriverBluetoothDriver, &DriverUdp, &DriverLanguageMonitor}) {
    const long on = count(flag);
    EXPECT_GT(on, 0);
    EXPECT_LT(on, total);
  }
  EXPECT_TRUE(std::any_of(models.begin(), models.end(),
                          [](const DriverRef& d) { return !DriverCustomName(d).empty(); }));
}

TEST_F(ShippedCatalogue, DefaultPapersAreInTheirPaperList) {
  pugi::xml_node form = catalogue_->child("Drivers").child("Form");
  for (const DriverRef& d : Drivers(L"QovaPrt")) {
    SCOPED_TRACE(Narrow(DriverName(d)));
    const char* list = InheritedAttribute(d, "paperlist").value();
    const char* paper = InheritedAttribute(d, "papername").value();
    pugi::xml_node papers = form.find_child_by_attribute("Papers", "type", list);
    ASSERT_TRUE(papers) << list;
    EXPECT_TRUE(papers.find_child_by_attribute("Paper", "name", paper)) << paper;
  }
}

TEST_F(ShippedCatalogue, ProfilesMatchTheCatalogue) {
  ManufacturerProfile header;
  LoadCatalogueHeader(*catalogue_, header);

  ASSERT_TRUE(FindProfileByName(*profiles_, kNativeManufacturer));
  pugi::xml_node element = FindProfileByName(*profiles_, ToUpper(kPackageModel));
  ASSERT_TRUE(element);
  ManufacturerProfile profile;
  ParseProfile(element, profile);
  EXPECT_EQ(profile.name, kPackageModel);
  EXPECT_EQ(profile.version, header.version);
  EXPECT_EQ(profile.defaultSetupPortType, 0);
  EXPECT_FALSE(profile.disable);

  // Every offered profile names a manufacturer of the catalogue.
  for (pugi::xml_node m = profiles_->child("Manufacturers").child("Manufacturer"); m;
       m = m.next_sibling("Manufacturer")) {
    ParseProfile(m, profile);
    EXPECT_TRUE(FirstDriver(profile.name, *catalogue_)) << Narrow(profile.name);
  }
}

}  // namespace
}  // namespace orvello
