#pragma once
// One of the two embedded XML documents (the catalogue and the profiles):
// the parsed tree and whether a load has already been attempted. A document
// is parsed at most once; `loaded` is set even when parsing reported an
// error, so a broken resource is not retried and lookups see whatever part
// of it was parsed.
#include <pugixml.hpp>

namespace orvello {

struct XmlDocument {
  int loaded = 0;
  pugi::xml_document doc;
};

}  // namespace orvello
