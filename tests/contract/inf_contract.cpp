// A printer INF read through SetupAPI, as the staging and the driver store
// read the package's INF: sections, line counts, keys and fields with
// quotes, %strings% and comments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/contract_env.h"
#include "system/text.h"

namespace orvello::test {
namespace {

namespace err = platform::err;

constexpr uint32_t kLineNotFound = 0xE0000102;
constexpr uint32_t kClassMismatch = 0xE0000203;

constexpr char kInf[] =
    "; Orvello contract INF\r\n"
    "[Version]\r\n"
    "Signature=\"$Windows NT$\"\r\n"
    "Class=Printer\r\n"
    "ClassGuid={4D36E979-E325-11CE-BFC1-08002BE10318}\r\n"
    "Provider=%Mfg%\r\n"
    "DriverVer=06/21/2006,10.0.19041.1\r\n"
    "\r\n"
    "[Manufacturer]\r\n"
    "%Mfg%=Models,NTx86,NTamd64\r\n"
    "[models.NTx86]\r\n"
    "\"Acme Label 200\" = AcmeInstall, USBPRINT\\AcmeLabel200 , AcmeLabel200  ; trailing comment\r\n"
    "Quoted = \"a, b\" , \"say \"\"hi\"\"\" , mid\"dle\"x, \"%Mfg%\"\r\n"
    "NoKeyField1, NoKeyField2\r\n"
    "Cont = one, \\\r\n"
    "   two\r\n"
    "Empty = a,,b,\r\n"
    "OnlyKey =\r\n"
    "Spaces =   inner  space  ,  x  \r\n"
    "Percent = 100%%, %Unknown%, %mfg%\r\n"
    "semi = \"x;y\" ; gone\r\n"
    "[MODELS.ntx86]\r\n"
    "Second = merged\r\n"
    "[Empty.Section]\r\n"
    "[Strings]\r\n"
    "Mfg=\"Acme, Inc.\"\r\n";

// Wine's ntdll exports wine_get_version; Windows' does not. The native
// build runs on the fake machine, which behaves as Windows.
bool RunningUnderWine() {
#ifdef _WIN32
  auto ntdll = Env().platform().system.LoadSystemLibrary(L"ntdll.dll");
  return ntdll.ok() && ntdll.value && ntdll.value->HasExport("wine_get_version");
#else
  return false;
#endif
}

class InfContract : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string text(kInf);
    ASSERT_TRUE(platform::WriteWholeFile(files, path, std::vector<uint8_t>(text.begin(), text.end())).ok());
  }
  void TearDown() override { files.DeleteFile(path); }

  platform::IFiles& files = Env().platform().files;
  platform::IDevices& devices = Env().platform().devices;
  std::wstring path = Env().ScratchFolder() + L"\\orvello_contract.inf";
};

TEST_F(InfContract, SectionsMergeAndKeepTheirFirstSpelling) {
  auto inf = devices.OpenInf(path, L"Printer");
  ASSERT_TRUE(inf.ok()) << "error " << inf.error;
  EXPECT_EQ(inf.value->Sections(),
            (std::vector<std::wstring>{L"Version", L"Manufacturer", L"models.NTx86", L"Empty.Section", L"Strings"}));
  struct Count {
    const wchar_t* section;
    int32_t lines;
  };
  for (const Count& c : {Count{L"Version", 5}, Count{L"manufacturer", 1}, Count{L"Models.NTx86", 10},
                         Count{L"Empty.Section", 0}, Count{L"Strings", 1}, Count{L"No.Such.Section", -1}}) {
    EXPECT_EQ(inf.value->LineCount(c.section), c.lines) << WideToUtf8(c.section);
  }
  // A missing section has no line either.
  EXPECT_EQ(inf.value->Line(L"No.Such.Section", 0).error, kLineNotFound);
  EXPECT_EQ(inf.value->Line(L"Version", 5).error, kLineNotFound);
  EXPECT_EQ(inf.value->Line(L"Empty.Section", 0).error, kLineNotFound);
}

TEST_F(InfContract, LinesSplitIntoKeyAndFieldsWithStringsReplaced) {
  auto inf = devices.OpenInf(path, L"Printer");
  ASSERT_TRUE(inf.ok()) << "error " << inf.error;
  struct Case {
    const wchar_t* section;
    uint32_t index;
    const wchar_t* key;
    std::vector<std::wstring> fields;
  };
  const Case cases[] = {
      {L"Version", 0, L"Signature", {L"$Windows NT$"}},
      {L"Version", 3, L"Provider", {L"Acme, Inc."}},
      {L"Version", 4, L"DriverVer", {L"06/21/2006", L"10.0.19041.1"}},
      {L"Manufacturer", 0, L"Acme, Inc.", {L"Models", L"NTx86", L"NTamd64"}},
      {L"models.NTx86", 0, L"Acme Label 200", {L"AcmeInstall", L"USBPRINT\\AcmeLabel200", L"AcmeLabel200"}},
      {L"models.NTx86", 1, L"Quoted", {L"a, b", L"say \"hi\"", L"middlex", L"Acme, Inc."}},
      {L"models.NTx86", 2, L"", {L"NoKeyField1", L"NoKeyField2"}},
      {L"models.NTx86", 3, L"Cont", {L"one", L"two"}},
      {L"models.NTx86", 4, L"Empty", {L"a", L"", L"b", L""}},
      {L"models.NTx86", 5, L"OnlyKey", {L""}},
      {L"models.NTx86", 6, L"Spaces", {L"inner  space", L"x"}},
      {L"models.NTx86", 7, L"Percent", {L"100%", L"%Unknown%", L"Acme, Inc."}},
      {L"models.NTx86", 8, L"semi", {L"x;y"}},
      {L"models.NTx86", 9, L"Second", {L"merged"}},
      {L"Strings", 0, L"Mfg", {L"Acme, Inc."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.section) + " line " + std::to_string(c.index));
    auto line = inf.value->Line(c.section, c.index);
    ASSERT_TRUE(line.ok()) << "error " << line.error;
    EXPECT_EQ(line.value.key, c.key);
    EXPECT_EQ(line.value.fields, c.fields);
  }
}

TEST_F(InfContract, OpeningChecksTheFileAndTheClass) {
  EXPECT_EQ(devices.OpenInf(Env().ScratchFolder() + L"\\orvello_no_such.inf", L"Printer").error, err::kFileNotFound);
  auto other = devices.OpenInf(path, L"Net");
  if (RunningUnderWine()) {
    // Wine 8's SetupOpenInfFileW does not compare the class; Windows refuses
    // an INF of another class with ERROR_CLASS_MISMATCH.
    EXPECT_TRUE(other.ok());
  } else {
    EXPECT_EQ(other.error, kClassMismatch);
  }
  EXPECT_TRUE(devices.OpenInf(path, L"").ok()) << "no class asked for";
}

}  // namespace
}  // namespace orvello::test
