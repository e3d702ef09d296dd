// The systems the chooser's search offers: EPSG's from PROJ's database, the
// catalogue's and the user's own.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "catalog/GeogCatalog.h"

enum class CandidateKind { Geographic, Projected };
enum class CandidateSource { Epsg, Catalogue, User, Recent };

struct Candidate {
    std::string name;
    std::string code;  // the EPSG code, empty when the system has none
    std::string area;  // PROJ's area of use, empty when unknown
    CandidateKind kind = CandidateKind::Geographic;
    CandidateSource source = CandidateSource::Epsg;
    std::string wkt;     // the system itself; empty for EPSG's, made when chosen
    std::string folded;  // the name in lower case, for matching
};

using CandidateList = std::vector<Candidate>;

// EPSG's geographic 2D and projected systems that are not deprecated, from
// PROJ's database (tens of milliseconds). Empty when PROJ has no database.
CandidateList ReadEpsgCandidates();
// The same, read once per process.
std::shared_ptr<const CandidateList> EpsgCandidates();

// Every candidate: EPSG's, then the catalogue entries EPSG's do not already
// stand for (an entry carrying an EPSG code that is listed), then each of the
// user's entries.
CandidateList AllCandidates(const SystemCatalog& shipped, const SystemCatalog& user);

// The EPSG code a WKT1 text gives its whole system (its last AUTHORITY), empty
// when that is not EPSG's.
std::string TopLevelEpsgCode(const std::string& wkt);

// The candidate standing for a parsed system (a recent one); false when the
// text is no system.
bool CandidateOfWkt(const std::string& wkt, CandidateSource source, Candidate& candidate);

// The WKT a candidate restores: its own, or EPSG's for its code. Empty when
// GDAL cannot make it.
std::string CandidateWkt(const Candidate& candidate);
