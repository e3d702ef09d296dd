// Any spatial reference a host holds as text, described and rewritten: what
// the orvane program prints. The text is read as the name queries read it
// (WKT1 or WKT2, PROJJSON, "EPSG:n", a PROJ string, the path of a .prj file);
// no other file and no network is ever reached.
#ifndef ORVANE_REFERENCE_H
#define ORVANE_REFERENCE_H

#include <string>
#include <vector>

#include "Orvane.h"

struct OrvaneReferenceInfo {
    std::string name;  // "Unknown" for a system without a name, and for no system
    std::string kind;  // "geographic", "projected", "compound", "vertical", "local" or "other"; empty for no system
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

// What identifying a reference tells beyond its description. (A struct of
// its own: OrvaneReferenceInfo keeps its layout for hosts built against it.)
struct OrvaneIdentity {
    // "EPSG:4326" when it is that system but for its datum shift (and so no
    // EPSG system exactly); else empty.
    std::string likeButShift;
    // Its code (OrvaneReferenceInfo::code) is one EPSG has retired: the
    // system is still the code's own, and EPSG names these in its place
    // ("EPSG:3413").
    bool deprecated = false;
    std::vector<std::string> replacedBy;
    // The accuracy of its datum in metres when the datum is an ensemble
    // (WGS 84's 2 m, ETRS89's 0.1 m); 0 for any other.
    double datumEnsembleAccuracy = 0.0;
};

// The description and what identification adds, the text read once. False,
// with only the name ("Unknown"), when the text names no system.
ORVANE_API bool OrvaneIdentifyReference(const char* reference, OrvaneReferenceInfo& info, OrvaneIdentity& identity);

// The height part of a compound system (or a vertical system itself): its
// name, kind "vertical", units and EPSG code where it is exactly one. False
// when the text names no system with a height part. (A function of its
// own: OrvaneReferenceInfo keeps its layout for hosts built against it.)
ORVANE_API bool OrvaneDescribeHeight(const char* reference, OrvaneReferenceInfo& height);

enum class OrvaneFormat { Wkt1, Wkt2, ProjJson, Proj };

// The system in `format`, on one line; empty when the text names no system
// or GDAL cannot write it so (a PROJ string cannot hold every system).
ORVANE_API std::string OrvaneFormatReference(const char* reference, OrvaneFormat format);

#endif
