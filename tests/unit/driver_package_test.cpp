// The driver package inside the built package ZIP, checked against the
// catalogue: the INF as SetupAPI reads it (through the fake machine's INF
// reader), the catalogue file's structure, and the device-data files.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/manufacturer_profile.h"
#include "mini_json.h"
#include "payload/package.h"
#include "platform/fake/fake_inf_file.h"
#include "system/text.h"

namespace orvello {
namespace {

using test::JsonReader;
using test::JsonValue;
using Kind = JsonValue::Kind;

struct Model {
  std::wstring name;
  std::wstring usbName;
  bool languageMonitor = false;
};

class DriverPackage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::ifstream in(ORVELLO_PACKAGE_ZIP, std::ios::binary);
    zip_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    archive_ = PackageArchive::Open(zip_);
    catalogueOk_ = static_cast<bool>(catalogue_.load_file(ORVELLO_CATALOGUE_XML));
    ManufacturerProfile header;
    LoadCatalogueHeader(catalogue_, header);
    mode_ = header.name;
    for (DriverRef d = FirstDriver(mode_, catalogue_); d; NextDriver(mode_, d, catalogue_))
      models_.push_back({DriverName(d), DriverUsbName(d), DriverLanguageMonitor(d)});
  }
  static void TearDownTestSuite() { archive_.reset(); }

  void SetUp() override {
    ASSERT_NE(archive_, nullptr) << ORVELLO_PACKAGE_ZIP;
    ASSERT_TRUE(catalogueOk_) << ORVELLO_CATALOGUE_XML;
    ASSERT_FALSE(mode_.empty());
    ASSERT_FALSE(models_.empty());
  }

  static std::wstring Folder() { return L"Drivers\\" + mode_ + L"\\"; }

  static fake::InfDocument Inf() {
    auto bytes = archive_->Read(Folder() + mode_ + L"New.inf");
    EXPECT_TRUE(bytes) << "no INF in the package";
    if (!bytes) return {};
    uint32_t line = 0;
    auto doc = fake::InfDocument::Parse(*bytes, &line);
    EXPECT_TRUE(doc) << "INF does not parse, line " << line;
    return doc ? doc.value : fake::InfDocument{};
  }

  // Key and substituted fields of every line of a section.
  static std::vector<platform::InfLine> Lines(const fake::InfDocument& inf, const std::wstring& section) {
    std::vector<platform::InfLine> out;
    const auto* s = inf.Find(section);
    if (!s) return out;
    for (const auto& l : s->lines) {
      platform::InfLine line;
      if (l.key) line.key = inf.Substitute(*l.key);
      for (const auto& f : l.fields) line.fields.push_back(inf.Substitute(f));
      out.push_back(line);
    }
    return out;
  }

  static inline std::vector<uint8_t> zip_;
  static inline std::unique_ptr<PackageArchive> archive_;
  static inline pugi::xml_document catalogue_;
  static inline bool catalogueOk_ = false;
  static inline std::wstring mode_;
  static inline std::vector<Model> models_;
};

std::string N(const std::wstring& s) { return WideToUtf8(s); }

TEST_F(DriverPackage, InfIsAPrinterClassInfOfThePackage) {
  auto inf = Inf();
  struct Case {
    const wchar_t* key;
    std::wstring value;
  } cases[] = {
      {L"Signature", L"$Windows NT$"},
      {L"Class", L"Printer"},
      {L"ClassGUID", L"{4D36E979-E325-11CE-BFC1-08002BE10318}"},
      {L"CatalogFile", mode_ + L"New.cat"},
  };
  for (const auto& c : cases) EXPECT_EQ(N(inf.Value(L"Version", c.key)), N(c.value)) << N(c.key);
  EXPECT_FALSE(inf.Value(L"Version", L"Provider").empty());
  EXPECT_TRUE(inf.Value(L"Version", L"Provider").find(L'%') == std::wstring::npos) << "Provider string not defined";
  EXPECT_EQ(N(inf.Value(L"DestinationDirs", L"DefaultDestDir")), "66000");

  // The catalogue file the INF names is found the way staging asks for it.
  EXPECT_TRUE(archive_->Contains(Folder() + mode_ + L"New.cat"));
}

TEST_F(DriverPackage, EveryDecorationListsEveryModelWithItsHardwareId) {
  auto inf = Inf();
  auto manufacturer = Lines(inf, L"Manufacturer");
  ASSERT_EQ(manufacturer.size(), 1u);
  ASSERT_FALSE(manufacturer[0].fields.empty());
  EXPECT_EQ(N(manufacturer[0].fields[0]), N(mode_));
  std::set<std::wstring> decorations(manufacturer[0].fields.begin() + 1, manufacturer[0].fields.end());
  EXPECT_EQ(decorations, (std::set<std::wstring>{L"NTx86", L"NTamd64", L"NTarm64"}));

  for (const auto& decoration : decorations) {
    auto lines = Lines(inf, mode_ + L"." + decoration);
    ASSERT_EQ(lines.size(), models_.size()) << N(decoration);
    for (size_t i = 0; i < lines.size(); ++i) {
      const auto& m = models_[i];
      SCOPED_TRACE(N(decoration + L" " + m.name));
      EXPECT_EQ(N(lines[i].key), N(m.name));
      ASSERT_GE(lines[i].fields.size(), 1u);
      // A model without a USB id is installed by name only.
      std::vector<std::wstring> ids(lines[i].fields.begin() + 1, lines[i].fields.end());
      EXPECT_EQ(ids, m.usbName.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{m.usbName});
      EXPECT_NE(inf.Find(lines[i].fields[0]), nullptr) << "no install section " << N(lines[i].fields[0]);
    }
  }
}

TEST_F(DriverPackage, InstallSectionsNameTheDriverFilesAndTheMonitor) {
  auto inf = Inf();
  auto models = Lines(inf, mode_ + L".NTamd64");
  ASSERT_EQ(models.size(), models_.size());
  const std::wstring monitor = mode_ + L" Language Monitor," + mode_ + L"LM.dll";
  for (size_t i = 0; i < models.size(); ++i) {
    const auto& m = models_[i];
    SCOPED_TRACE(N(m.name));
    ASSERT_FALSE(models[i].fields.empty());
    const std::wstring section = models[i].fields[0];
    EXPECT_EQ(N(inf.Value(section, L"DriverFile")), N(mode_ + L"UniNew.dll"));
    EXPECT_EQ(N(inf.Value(section, L"ConfigFile")), N(mode_ + L"UiNew.dll"));
    EXPECT_EQ(N(inf.Value(section, L"DataFile")), N(m.name + L".dat"));
    EXPECT_EQ(N(inf.Value(section, L"LanguageMonitor")), m.languageMonitor ? N(monitor) : "");

    // Every file the install copies: the driver DLLs, the model's own
    // device-data file, and the monitor DLL where there is one.
    std::set<std::wstring> copied;
    for (const auto& line : Lines(inf, section)) {
      if (!EqualsIgnoreCase(line.key, L"CopyFiles")) continue;
      for (const auto& entry : line.fields) {
        if (!entry.empty() && entry[0] == L'@') {
          copied.insert(entry.substr(1));
          continue;
        }
        // A file-list line names its file without a key.
        for (const auto& fileLine : Lines(inf, entry)) {
          copied.insert(fileLine.key.empty() && !fileLine.fields.empty() ? fileLine.fields[0] : fileLine.key);
        }
      }
    }
    std::set<std::wstring> expected{mode_ + L"UniNew.dll", mode_ + L"UiNew.dll", m.name + L".dat"};
    if (m.languageMonitor) expected.insert(mode_ + L"LM.dll");
    EXPECT_EQ(copied, expected);
  }
}

TEST_F(DriverPackage, SourceDiskSectionsListTheDllsPerProcessorAndEveryDataFile) {
  auto inf = Inf();
  EXPECT_EQ(Lines(inf, L"SourceDisksNames").size(), 1u);
  for (const std::wstring arch : {L"x86", L"amd64", L"arm64"}) {
    SCOPED_TRACE(N(arch));
    const std::wstring folder = arch == L"x86" ? L"i386" : arch;
    std::set<std::wstring> dlls;
    std::set<std::wstring> dataFiles;
    for (const auto& line : Lines(inf, L"SourceDisksFiles." + arch)) {
      ASSERT_FALSE(line.fields.empty()) << N(line.key);
      EXPECT_EQ(N(line.fields[0]), "1");
      if (line.fields.size() >= 2) {
        EXPECT_EQ(N(line.fields[1]), N(folder)) << N(line.key);
        dlls.insert(line.key);
      } else {
        dataFiles.insert(line.key);
        // Staging copies these from the model folder: they must be there.
        EXPECT_TRUE(archive_->Contains(Folder() + line.key)) << N(line.key);
      }
    }
    EXPECT_EQ(dlls, (std::set<std::wstring>{mode_ + L"LM.dll", mode_ + L"UiNew.dll", mode_ + L"UniNew.dll"}));
    std::set<std::wstring> expected;
    for (const auto& m : models_) expected.insert(m.name + L".dat");
    EXPECT_EQ(dataFiles, expected);
  }
}

// --- catalogue file: PKCS #7 SignedData holding a certificate trust list ---

struct Der {
  uint8_t tag = 0;
  std::vector<uint8_t> body;
};

// Reads the TLVs of `bytes` in order; false on a malformed length.
bool ReadDer(const std::vector<uint8_t>& bytes, std::vector<Der>& out) {
  size_t p = 0;
  while (p < bytes.size()) {
    if (p + 2 > bytes.size()) return false;
    Der d;
    d.tag = bytes[p++];
    size_t length = bytes[p++];
    if (length & 0x80) {
      size_t count = length & 0x7F;
      if (count == 0 || count > 4 || p + count > bytes.size()) return false;
      length = 0;
      while (count--) length = (length << 8) | bytes[p++];
    }
    if (p + length > bytes.size()) return false;
    d.body.assign(bytes.begin() + p, bytes.begin() + p + length);
    p += length;
    out.push_back(std::move(d));
  }
  return true;
}

std::vector<Der> Children(const std::vector<uint8_t>& body) {
  std::vector<Der> out;
  EXPECT_TRUE(ReadDer(body, out));
  return out;
}

std::vector<uint8_t> Oid(std::initializer_list<uint8_t> encoded) { return encoded; }

TEST_F(DriverPackage, CatalogueFileIsSignedDataOfACertificateTrustList) {
  auto bytes = archive_->Read(Folder() + mode_ + L"New.cat");
  ASSERT_TRUE(bytes);
  auto top = Children(*bytes);
  ASSERT_EQ(top.size(), 1u);
  ASSERT_EQ(top[0].tag, 0x30);

  auto contentInfo = Children(top[0].body);
  ASSERT_EQ(contentInfo.size(), 2u);
  EXPECT_EQ(contentInfo[0].tag, 0x06);
  EXPECT_EQ(contentInfo[0].body, Oid({0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x07, 0x02}));  // signedData
  ASSERT_EQ(contentInfo[1].tag, 0xA0);

  auto wrapped = Children(contentInfo[1].body);
  ASSERT_EQ(wrapped.size(), 1u);
  auto signedData = Children(wrapped[0].body);
  ASSERT_EQ(signedData.size(), 4u);  // version, digest algorithms, content, signer infos
  EXPECT_EQ(signedData[0].tag, 0x02);
  EXPECT_EQ(signedData[1].tag, 0x31);
  EXPECT_EQ(signedData[3].tag, 0x31);
  EXPECT_TRUE(signedData[3].body.empty()) << "the package cannot be signed here: no signer is claimed";

  auto content = Children(signedData[2].body);
  ASSERT_EQ(content.size(), 2u);
  EXPECT_EQ(content[0].body, Oid({0x2B, 0x06, 0x01, 0x04, 0x01, 0x82, 0x37, 0x0A, 0x01}));  // szOID_CTL
  auto ctlWrapped = Children(content[1].body);
  ASSERT_EQ(ctlWrapped.size(), 1u);
  auto ctl = Children(ctlWrapped[0].body);
  ASSERT_GE(ctl.size(), 4u);
  auto usage = Children(ctl[0].body);
  ASSERT_EQ(usage.size(), 1u);
  EXPECT_EQ(usage[0].body, Oid({0x2B, 0x06, 0x01, 0x04, 0x01, 0x82, 0x37, 0x0C, 0x01, 0x01}));  // catalogue list
}

// --- device-data files ---------------------------------------------------

const JsonValue* Get(const JsonValue& object, const char* name, Kind kind) {
  const JsonValue* v = object.Member(name);
  EXPECT_NE(v, nullptr) << "no member " << name;
  if (v) {
    EXPECT_EQ(v->kind, kind) << name;
  }
  return v && v->kind == kind ? v : nullptr;
}

// `kind`: what every member must be, when they are all of one kind.
void ExpectObjectMembers(const JsonValue& object, const char* name, std::set<std::string> members,
                         std::optional<Kind> kind) {
  const JsonValue* o = Get(object, name, Kind::Object);
  if (!o) return;
  std::set<std::string> present;
  for (const auto& [n, v] : o->members) {
    present.insert(n);
    if (kind) {
      EXPECT_EQ(v.kind, *kind) << name << "." << n;
    }
  }
  EXPECT_EQ(present, members) << name;
}

TEST_F(DriverPackage, EachModelHasADeviceDataFileWithTheMembersTheDriverReads) {
  size_t datEntries = 0;
  for (const auto& name : archive_->EntryNames())
    if (name.size() > 4 && EqualsIgnoreCase(name.substr(name.size() - 4), L".dat")) ++datEntries;
  EXPECT_EQ(datEntries, models_.size());

  const std::set<std::string> cmds{"tspl", "escpos", "cpcl", "lumatrix"};
  const std::set<std::string> formLists{"labelex", "dudez", "Lumatrix"};
  const std::set<int64_t> dpis{203, 300, 600};
  struct Fixed {
    const char* name;
    int64_t value;
  } fixed[] = {{"Flags", 253},        {"ID", 1953459280},   {"HTPatternSize", 4294967295},
               {"MaxCopies", 999},    {"MaxPens", 0},       {"MaxPolygonPts", 128},
               {"MaxQuality", 4},     {"MaxScale", 100},    {"ROPLevel", 0},
               {"SysPaper", 0},       {"DevicePelsDPI", 0}, {"Version", 266},
               {"PlotXDPI", 1016},    {"PlotYDPI", 1016}};

  for (const auto& m : models_) {
    SCOPED_TRACE(N(m.name));
    auto bytes = archive_->Read(Folder() + m.name + L".dat");
    ASSERT_TRUE(bytes);
    std::string text(bytes->begin(), bytes->end());
    std::string error;
    auto parsed = JsonReader::Parse(text, &error);
    ASSERT_TRUE(parsed) << error;
    const JsonValue& dat = *parsed;
    ASSERT_EQ(dat.kind, Kind::Object);

    // The writer's layout: members sorted, three blanks, " : ".
    for (size_t i = 1; i < dat.members.size(); ++i) EXPECT_LT(dat.members[i - 1].first, dat.members[i].first);
    EXPECT_EQ(text.substr(0, 6), "{\n   \"");
    EXPECT_NE(text.find("\"DeviceName\" : "), std::string::npos);

    if (auto* v = Get(dat, "DeviceName", Kind::String)) {
      EXPECT_EQ(v->text, N(m.name));
    }
    if (auto* v = Get(dat, "model", Kind::String)) {
      EXPECT_EQ(v->text, N(mode_));
    }
    if (auto* v = Get(dat, "cmd", Kind::String)) {
      EXPECT_TRUE(cmds.count(v->text)) << v->text;
    }
    if (auto* v = Get(dat, "FormList", Kind::String)) {
      EXPECT_TRUE(formLists.count(v->text)) << v->text;
    }
    if (auto* v = Get(dat, "DefaultForm", Kind::String)) {
      EXPECT_FALSE(v->text.empty());
    }
    Get(dat, "CustomPrinterName", Kind::String);
    Get(dat, "VersionString", Kind::String);
    Get(dat, "VersionTime", Kind::String);
    for (const char* dpi : {"RasterXDPI", "RasterYDPI"}) {
      if (auto* v = Get(dat, dpi, Kind::Integer)) {
        EXPECT_TRUE(dpis.count(v->integer)) << dpi << " " << v->integer;
      }
    }
    for (const auto& f : fixed) {
      if (auto* v = Get(dat, f.name, Kind::Integer)) {
        EXPECT_EQ(v->integer, f.value) << f.name;
      }
    }

    ExpectObjectMembers(dat, "DeviceSize", {"cx", "cy"}, Kind::Real);
    ExpectObjectMembers(dat, "DeviceMargin", {"left", "top", "right", "bottom"}, Kind::Integer);
    ExpectObjectMembers(dat, "PaperTraySize", {"cx", "cy"}, Kind::Integer);
    ExpectObjectMembers(dat, "ColorInfo",
                        {"Red", "Green", "Blue", "Cyan", "Magenta", "Yellow", "AlignmentWhite", "RedGamma",
                         "GreenGamma", "BlueGamma", "CyanInMagentaDye", "CyanInYellowDye", "MagentaInCyanDye",
                         "MagentaInYellowDye", "YellowInCyanDye", "YellowInMagentaDye"},
                        std::nullopt);
    ExpectObjectMembers(dat, "myStuff",
                        {"DoubleColor", "DoubleColorDensity", "bDebug", "iAfterPrinted", "iAlign", "iCutterType",
                         "iDensity", "iDottedline", "iFeedEndDoc", "iFeedEndPage", "iFeedStartDoc",
                         "iFeedStartPage", "iGap", "iGappara", "iLanguage", "iMirror", "iNegative", "iOffset",
                         "iPrinttype", "iReference", "iRotate", "iScale", "iSpeed", "iStop", "iWater",
                         "ichuxian"},
                        std::nullopt);
    ExpectObjectMembers(dat, "myStuffWithHalftone",
                        {"bCompress", "bDefCompress", "iCropBottomEdge", "iCropLeftEdge", "iCropRightEdge",
                         "iCropTopEdge", "iDuibidu", "iGamma", "iGrayMethod", "iLiangdu", "iThreValue",
                         "imageoffsetx", "imageoffsety"},
                        Kind::Integer);
    ExpectObjectMembers(dat, "waterMark",
                        {"ImagePath", "bPrintWaterMark", "bTile", "dither", "dwAlphaColor", "nAlpha", "nFormat",
                         "nHorizontalSpacing", "nMarginHorizontal", "nMarginVertical", "nRoateAngel",
                         "nRoateDirection", "nVerticalSpacing"},
                        std::nullopt);
    if (auto* stuff = dat.Member("myStuff")) {
      for (const char* point : {"iGappara", "iReference"}) {
        ExpectObjectMembers(*stuff, point, {"x", "y"}, Kind::Integer);
      }
    }
    if (auto* colors = dat.Member("ColorInfo")) {
      for (const char* c : {"Red", "Green", "Blue", "Cyan", "Magenta", "Yellow", "AlignmentWhite"})
        ExpectObjectMembers(*colors, c, {"x", "y", "Y"}, Kind::Integer);
    }
  }
}

TEST(MiniJson, AcceptsJsonAndRejectsWhatIsNot) {
  struct Case {
    const char* text;
    bool valid;
  } cases[] = {
      {R"({"a" : 1, "b" : [true, null, -2.5e3], "c" : {"d" : "x\u00e9\n"}})", true},
      {"  42  ", true},
      {R"({"a" : 1,})", false},     // trailing comma
      {R"({"a" 1})", false},        // no colon
      {R"({"a" : 01})", false},     // leading zero
      {R"({"a" : "x)", false},      // unterminated string
      {R"({"a" : 1} {})", false},   // a second value
      {R"([1, 2)", false},
      {"tru", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(JsonReader::Parse(c.text).has_value(), c.valid) << c.text;
  auto v = JsonReader::Parse(R"({"n" : 3, "r" : 3.0})");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->Member("n")->kind, Kind::Integer);
  EXPECT_EQ(v->Member("r")->kind, Kind::Real);
}

}  // namespace
}  // namespace orvello
