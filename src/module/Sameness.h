// Whether two systems are the same: one rule for every identification (the
// code line, a reference's code, composition, the recent list, search).
#pragma once

#include <string>

#include <ogr_srs_api.h>

// The datum shift `srs` carries, as PROJ writes it: its TOWGS84 terms and
// the grids it names ("+towgs84=10,20,30,0,0,0,0 +nadgrids=@null"); empty
// for none.
std::string DatumShiftOf(OGRSpatialReferenceH srs);

// PROJ's equivalence alone, names aside: whatever datum shift either carries.
bool SameExceptDatumShift(OGRSpatialReferenceH a, OGRSpatialReferenceH b);

// The sameness rule: two systems are the same when PROJ finds them
// equivalent (names, and a geographic system's axis order, aside) and they
// carry the same datum shift, or none. GDAL's own comparison calls a system
// with a shift the same as one without: a user's shift would be lost to it.
bool SameSystem(OGRSpatialReferenceH a, OGRSpatialReferenceH b);
