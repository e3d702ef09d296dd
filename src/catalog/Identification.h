// Whether a system is exactly one EPSG system.
#pragma once

#include <string>

#include <ogr_srs_api.h>

// The EPSG code `srs` carries for the whole system, empty when none.
std::string OwnEpsgCode(OGRSpatialReferenceH srs);

// The EPSG code of `srs`: its own, else that of the one EPSG system GDAL's
// identification finds to be the same system, names aside. Empty when there
// is none, or more than one. Costs PROJ's search of its database (up to a
// few tens of milliseconds for a system without a code).
std::string ExactEpsgCode(OGRSpatialReferenceH srs);
