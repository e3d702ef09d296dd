// Finding spatial reference systems as the chooser's search field does: by
// words of any of their names, by code, or by a place where they are used,
// among EPSG's and ESRI's systems from PROJ's database, the catalogue's, and
// the user's own.
#ifndef ORVANE_SEARCH_H
#define ORVANE_SEARCH_H

#include <cstddef>
#include <string>
#include <vector>

#include "Orvane.h"

struct OrvaneFoundSystem {
    std::string name;
    std::string code;    // "EPSG:32650", "ESRI:54009"; empty when the system has none
    std::string origin;  // "epsg", "esri", "catalogue" or "user"
    bool projected;      // a projected system (else geographic, vertical or compound: see kind)
    std::string area;    // the area of use where PROJ knows it
    // A text naming the system for OrvaneDescribeReference, the name queries
    // or the chooser: its code, or the system's WKT when it has no code.
    std::string reference;
    // The other name the words were found in ("Web Mercator" for EPSG:3857);
    // empty when it was the system's own.
    std::string alias;
    std::string kind;    // "geographic", "projected", "vertical" or "compound"
};

// The systems `text` finds, best first, at most `limit`: every word must be
// a word of one of the system's names, or the start of one, or of its area
// of use (letter case, accents, punctuation and spacing aside; "utm33n" finds
// "WGS 84 / UTM zone 33N"); a number may match the code instead, an exact
// code coming first. Chinese names and common nicknames are read as the
// names they stand for. A text that is a place ("52.52 13.40",
// "52°31'N 13°24'E") finds the systems used there, as OrvaneFindSystemsAt.
// Vertical systems and compound ones (a horizontal system with a height)
// are found too, after the horizontal ones that fit as well.
ORVANE_API std::vector<OrvaneFoundSystem> OrvaneFindSystems(const char* text, std::size_t limit = 50);

// The systems whose area of use holds the place (degrees, north and east
// positive), the smallest area first, the vertical and compound ones after
// the horizontal ones. None for a place out of range.
ORVANE_API std::vector<OrvaneFoundSystem> OrvaneFindSystemsAt(double latitude, double longitude,
                                                              std::size_t limit = 50);

// Reads a place as the search field does ("52.52, 13.40", "13.4E 52.5N");
// false when `text` is no place.
ORVANE_API bool OrvaneParsePlace(const char* text, double& latitude, double& longitude);
// The same for a text known to be a place (an option that takes one): bare
// whole numbers count too ("52,13", "0 0").
ORVANE_API bool OrvaneParsePlace(const char* text, double& latitude, double& longitude, bool wholeNumbers);

#endif
