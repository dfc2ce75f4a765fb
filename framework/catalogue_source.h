// The translation sources (translations/*.ts, XML) read as a table: context and source text to
// the translation. The backends that cannot load the compiled catalogues read these instead.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace linkmate::fw {

using CatalogueTable = std::map<std::pair<std::string, std::string>, std::string>;

// Every finished entry with a translation; XML's character entities are resolved. Entries that
// are unfinished, obsolete or empty are left out, so that their source text stands.
CatalogueTable ParseCatalogueSource(std::string_view xml);

}  // namespace linkmate::fw
