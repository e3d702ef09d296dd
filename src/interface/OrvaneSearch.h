// Finding spatial reference systems by words of their names or by EPSG code,
// as the chooser's search field does: EPSG's geographic and projected
// systems from PROJ's database, the catalogue's, and the user's own.
#ifndef ORVANE_SEARCH_H
#define ORVANE_SEARCH_H

#include <cstddef>
#include <string>
#include <vector>

#include "Orvane.h"

struct OrvaneFoundSystem {
    std::string name;
    std::string code;    // "EPSG:32650"; empty when the system has none
    std::string origin;  // "epsg", "catalogue" or "user"
    bool projected;      // else geographic
    std::string area;    // the area of use where PROJ knows it
    // A text naming the system for OrvaneDescribeReference, the name queries
    // or the chooser: "EPSG:n", or the system's WKT when it has no code.
    std::string reference;
};

// The systems `text` finds, best first, at most `limit`: every word must
// occur in the name (letter case aside, any order); digits, also written
// "EPSG:n", may match the code instead, an exact code coming first.
ORVANE_API std::vector<OrvaneFoundSystem> OrvaneFindSystems(const char* text, std::size_t limit = 50);

#endif
