// The catalogue file CoordSys.dat: geographic systems and Gauss-Krueger zones.
#pragma once

#include <map>
#include <string>

// Name to WKT, in byte-wise name order.
using SystemCatalog = std::map<std::string, std::string>;

extern const char kGeogSection[];          // "GCS"
extern const char kBeijing1954Section[];   // "Beijing 1954"
extern const char kXian1980Section[];      // "Xian 1980"

// The geographic systems the open chooser offers: filled from [GCS] when it
// starts, emptied when it is made and when it goes.
extern SystemCatalog g_geogSystems;

// Empties `target` and fills it from `section` of the catalogue file; a name
// met twice keeps its last value. A missing or unreadable file leaves it empty.
void LoadCatalogSection(const std::string& section, SystemCatalog& target);

// Stores a geographic system into [GCS] of the catalogue file, replacing an
// entry of that name. False when the file is missing or cannot be written.
bool StoreGeogSystem(const std::string& name, const std::string& wkt);
