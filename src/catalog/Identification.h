// Whether a system is exactly one EPSG system, by the one sameness rule
// (module/Sameness.h).
#pragma once

#include <string>

#include <ogr_srs_api.h>

#include "module/GdalSupport.h"
#include "module/Sameness.h"

// EPSG's own definition of the system of `code`; null for none.
OsrHandle EpsgSystem(const std::string& code);

// The EPSG code `srs` claims for the whole system (its authority), when it
// is that system: a claim by a system whose datum shift EPSG's lacks (or
// differs from) is no code of it. Empty when none.
std::string OwnEpsgCode(OGRSpatialReferenceH srs);

// What identification found: the code of the one EPSG system `srs` is, and
// where there is none, the one it would be but for its datum shift.
struct EpsgIdentity {
    std::string code;
    std::string likeButShift;
};

// The EPSG code of `srs`: its own, else that of the one EPSG system that is
// the same system (SameSystem). Empty when there is none, or more than one.
// Costs PROJ's search of its database (up to a few tens of milliseconds for
// a system without a code).
EpsgIdentity IdentifyEpsg(OGRSpatialReferenceH srs);
std::string ExactEpsgCode(OGRSpatialReferenceH srs);
