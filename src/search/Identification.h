// Whether a system is exactly one EPSG system.
#pragma once

#include <string>

#include <ogr_srs_api.h>

// The EPSG code `srs` carries for the whole system, empty when none.
std::string OwnEpsgCode(OGRSpatialReferenceH srs);

// The EPSG code of `srs`: its own, else GDAL's identification when it finds
// a single EPSG system with full confidence. Empty otherwise. Identification is asked only
// for a system named as an EPSG system is (full confidence needs the name):
// for any other it would search PROJ's database for a tenth of a second.
std::string ExactEpsgCode(OGRSpatialReferenceH srs);
