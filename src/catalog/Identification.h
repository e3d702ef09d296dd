// Which EPSG system a system is, by the one sameness rule (module/Sameness.h):
// the code line, info's Code, composition, the recent list and search all ask
// here.
#pragma once

#include <string>
#include <vector>

#include <ogr_srs_api.h>

#include "module/GdalSupport.h"
#include "module/Sameness.h"

// Whether `code` can be an EPSG code (or ESRI's): digits, as many as a code
// has.
bool IsEpsgCodeText(const std::string& code);

// EPSG's own definition of the system of `code`, a deprecated code's
// included (never its replacement, which is another system); null for none.
OsrHandle EpsgSystem(const std::string& code);

// The EPSG code a WKT1 text claims for its whole system (its last AUTHORITY),
// read off the text and taken at its word; empty for none. For texts the
// library ships, whose claims a test holds to the sameness rule.
std::string ClaimedEpsgCode(const std::string& wkt);

// The EPSG code `srs` claims for itself, when it is that system exactly: a
// claim by a system with other values or another datum shift than EPSG's is
// no code of it. Empty when none.
std::string OwnEpsgCode(OGRSpatialReferenceH srs);

// Whether EPSG has retired `code`, and the codes it names in its place.
struct EpsgDeprecation {
    bool deprecated = false;
    std::vector<std::string> replacedBy; // "3413"
};
EpsgDeprecation DeprecationOf(const std::string& code);

// What identification finds: the code of the EPSG system `srs` is exactly,
// and where there is none, the one it would be but for its datum shift.
struct EpsgIdentity {
    std::string code;
    std::string likeButShift;
    EpsgDeprecation deprecation; // of `code`
};

// The EPSG system `srs` is: its own code, else the one PROJ's search of its
// database finds that is the same system. Where several EPSG systems share
// one definition, the first by this rule: one still in use, then one named
// as a UTM zone ("ETRS89 / UTM zone 35N" before "ETRS89 / TM35FIN(E,N)"),
// then the lowest code. Costs up to a few tens of milliseconds for a system
// without a code.
EpsgIdentity IdentifyEpsg(OGRSpatialReferenceH srs);
std::string ExactEpsgCode(OGRSpatialReferenceH srs);

// An EPSG code as the user reads it: "EPSG:32633"; a retired one says so and
// names its replacements ("EPSG:3411 (deprecated, replaced by EPSG:3413)"),
// in the current language.
std::string ShownEpsgCode(const std::string& code);

// The accuracy EPSG gives the datum of `srs` when the datum is an ensemble
// (WGS 84's 2 m, ETRS89's 0.1 m), in metres; 0 for any other datum.
double DatumEnsembleAccuracy(OGRSpatialReferenceH srs);
// What a user is told of a datum ensemble's accuracy: only one coarser than
// a metre is worth a word.
inline bool AccuracyWorthTelling(double metres)
{
    return metres > 1.0;
}
