// Start-up parses both documents from the locked resources; the device
// poll looks every connected printer's hardware id up in the catalogue
// every 500 ms, so the lookup's worst case matters more than its average.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/profiles.h"

namespace orvello {
namespace {

std::vector<char> ReadFile(const char* path) {
  std::vector<char> bytes;
  if (std::FILE* f = std::fopen(path, "rb")) {
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
  }
  return bytes;
}

const std::vector<char>& CatalogueBytes() {
  static const std::vector<char> bytes = ReadFile(ORVELLO_CATALOGUE_XML);
  return bytes;
}

const std::vector<char>& ProfilesBytes() {
  static const std::vector<char> bytes = ReadFile(ORVELLO_PROFILES_XML);
  return bytes;
}

void ParseDocument(benchmark::State& state, const std::vector<char>& bytes) {
  if (bytes.empty()) {
    state.SkipWithError("document not found");
    return;
  }
  for (auto _ : state) {
    pugi::xml_document doc;
    pugi::xml_parse_result result = doc.load_buffer(bytes.data(), bytes.size());
    benchmark::DoNotOptimize(result.status);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void BM_ParseCatalogue(benchmark::State& state) { ParseDocument(state, CatalogueBytes()); }
BENCHMARK(BM_ParseCatalogue);

void BM_ParseProfiles(benchmark::State& state) { ParseDocument(state, ProfilesBytes()); }
BENCHMARK(BM_ParseProfiles);

// What start-up does: both documents, then the header and the profile lookup.
void BM_LoadCatalogueAndProfiles(benchmark::State& state) {
  const auto& catalogueBytes = CatalogueBytes();
  const auto& profilesBytes = ProfilesBytes();
  if (catalogueBytes.empty() || profilesBytes.empty()) {
    state.SkipWithError("documents not found");
    return;
  }
  for (auto _ : state) {
    pugi::xml_document catalogue;
    pugi::xml_document profiles;
    catalogue.load_buffer(catalogueBytes.data(), catalogueBytes.size());
    profiles.load_buffer(profilesBytes.data(), profilesBytes.size());
    ManufacturerProfile profile;
    LoadCatalogueHeader(catalogue, profile);
    ParseProfile(FindProfileByName(profiles, profile.name), profile);
    benchmark::DoNotOptimize(profile.version);
  }
  state.SetBytesProcessed(
      static_cast<int64_t>(state.iterations() * (catalogueBytes.size() + profilesBytes.size())));
}
BENCHMARK(BM_LoadCatalogueAndProfiles);

struct LoadedCatalogue {
  pugi::xml_document doc;
  std::wstring lastUsbName;  // of the last model that has one: the longest successful walk
  long models = 0;
};

const LoadedCatalogue& Catalogue() {
  static const LoadedCatalogue* loaded = [] {
    static LoadedCatalogue c;
    const auto& bytes = CatalogueBytes();
    c.doc.load_buffer(bytes.data(), bytes.size());
    for (DriverRef d = FirstDriver(L"QovaPrt", c.doc); d; NextDriver(L"QovaPrt", d, c.doc)) {
      ++c.models;
      std::wstring usb = DriverUsbName(d);
      if (!usb.empty()) c.lastUsbName = usb;
    }
    return &c;
  }();
  return *loaded;
}

void FindByUsbName(benchmark::State& state, const wchar_t* manufacturer, bool miss) {
  const LoadedCatalogue& c = Catalogue();
  if (c.lastUsbName.empty()) {
    state.SkipWithError("catalogue has no USB ids");
    return;
  }
  const std::wstring id = miss ? c.lastUsbName + L"X" : c.lastUsbName;
  for (auto _ : state) {
    DriverRef d = FindDriverByUsbName(manufacturer, id, c.doc);
    benchmark::DoNotOptimize(d);
    if (static_cast<bool>(d) == miss) state.SkipWithError("unexpected lookup result");
  }
  state.counters["models"] = static_cast<double>(c.models);
}

void BM_FindDriverByUsbName_TessarEx_Last(benchmark::State& state) { FindByUsbName(state, L"TessarEx", false); }
BENCHMARK(BM_FindDriverByUsbName_TessarEx_Last);

void BM_FindDriverByUsbName_QovaPrt_Last(benchmark::State& state) { FindByUsbName(state, L"QovaPrt", false); }
BENCHMARK(BM_FindDriverByUsbName_QovaPrt_Last);

void BM_FindDriverByUsbName_QovaPrt_Miss(benchmark::State& state) { FindByUsbName(state, L"QovaPrt", true); }
BENCHMARK(BM_FindDriverByUsbName_QovaPrt_Miss);

}  // namespace
}  // namespace orvello

BENCHMARK_MAIN();
