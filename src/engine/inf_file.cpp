#include "engine/inf_file.h"

#include "system/text.h"

namespace orvello {

CInfFile::~CInfFile() = default;

bool CInfFile::Open(const std::wstring& path) {
  sections.clear();
  inf_.reset();
  auto opened = devices_.OpenInf(path, L"Printer");
  if (!opened.ok()) return false;
  inf_ = std::move(opened.value);
  for (const auto& name : inf_->Sections()) {
    InfSection section;
    section.name = name;
    int32_t count = inf_->LineCount(name);
    for (int32_t i = 0; i < count; ++i) {
      auto line = inf_->Line(name, static_cast<uint32_t>(i));
      if (!line.ok()) continue;
      section.lines.push_back(InfLine{std::move(line.value.key), std::move(line.value.fields)});
    }
    sections.push_back(std::move(section));
  }
  return true;
}

const InfSection* CInfFile::FindSection(std::wstring_view name) const {
  for (const auto& s : sections) {
    if (EqualsIgnoreCase(s.name, name)) return &s;
  }
  return nullptr;
}

}  // namespace orvello
