#pragma once
// A printer-class INF read whole into memory: every section with its lines,
// in the order the setup API gives them.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/devices.h"

namespace orvello {

struct InfLine {
  std::wstring key;                  // string field 0
  std::vector<std::wstring> values;  // fields 1..n; a field that cannot be read is left out
};

struct InfSection {
  std::wstring name;
  std::vector<InfLine> lines;
};

class CInfFile {
 public:
  explicit CInfFile(platform::IDevices& devices) : devices_(devices) {}
  virtual ~CInfFile();
  CInfFile(const CInfFile&) = delete;
  CInfFile& operator=(const CInfFile&) = delete;

  // Reads the INF at `path`, forgetting (and closing) what an earlier Open read.
  bool Open(const std::wstring& path);
  // The first section named `name`, ignoring letter case.
  const InfSection* FindSection(std::wstring_view name) const;

  std::vector<InfSection> sections;

 private:
  platform::IDevices& devices_;
  std::unique_ptr<platform::IInfFile> inf_;
};

}  // namespace orvello
