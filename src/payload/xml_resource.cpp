#include "payload/xml_resource.h"

#include "system/text.h"

namespace orvello {

void LoadXmlResource(platform::IResources& resources, platform::IDebugOutput& debug, uint32_t id,
                     XmlDocument& document) {
  if (document.loaded == 1) return;
  platform::ResourceBytes found = resources.Find(id, kXmlResourceType);
  if (found.lookup == platform::ResourceLookup::NotFound) return;
  if (found.lookup == platform::ResourceLookup::LoadFailed) {
    debug.Write(L"load packaga resource error");
    return;
  }
  if (found.bytes.empty()) {
    debug.Write(L"load packaga resource error size == 0");
    return;
  }
  document.doc.reset();
  pugi::xml_parse_result parsed =
      document.doc.load_buffer(found.bytes.data(), found.bytes.size(), pugi::parse_default, pugi::encoding_auto);
  if (!parsed) {
    // pugixml's status codes end at 16; anything beyond is not one of its own.
    debug.Write(parsed.status > 16 ? std::wstring(L"Unknown error") : Utf8ToWide(parsed.description()));
  }
  document.loaded = 1;
}

}  // namespace orvello
