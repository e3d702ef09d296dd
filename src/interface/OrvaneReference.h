// Any spatial reference a host holds as text, described and rewritten: what
// the orvane program prints. The text is read as the name queries read it
// (WKT1 or WKT2, PROJJSON, "EPSG:n", a PROJ string, the path of a .prj file);
// no other file and no network is ever reached.
#ifndef ORVANE_REFERENCE_H
#define ORVANE_REFERENCE_H

#include <string>

#include "Orvane.h"

struct OrvaneReferenceInfo {
    std::string name;  // "Unknown" for a system without a name, and for no system
    std::string kind;  // "geographic", "projected", "compound", "local" or "other"; empty for no system
    std::string datum;
    std::string spheroid;
    std::string projection;  // empty for a system without one
    std::string units;
    std::string code;  // "EPSG:32650" when it is exactly an EPSG system, else empty
};

// Why no reference can be read at all: PROJ's database cannot be ("cannot
// read the PROJ database /usr/share/proj/proj.db: file is not a database");
// empty when it can.
ORVANE_API std::string OrvaneDatabaseProblem();

// False, with only the name ("Unknown"), when the text names no system.
ORVANE_API bool OrvaneDescribeReference(const char* reference, OrvaneReferenceInfo& info);

// For a reference that is no EPSG system exactly: "EPSG:4326" when it is
// that system but for its datum shift (a TOWGS84 or grids EPSG's lacks, or
// other ones); else empty. (A function of its own: OrvaneReferenceInfo
// keeps its layout for hosts built against it.)
ORVANE_API std::string OrvaneEpsgCodeButForShift(const char* reference);

enum class OrvaneFormat { Wkt1, Wkt2, ProjJson, Proj };

// The system in `format`, on one line; empty when the text names no system
// or GDAL cannot write it so (a PROJ string cannot hold every system).
ORVANE_API std::string OrvaneFormatReference(const char* reference, OrvaneFormat format);

#endif
