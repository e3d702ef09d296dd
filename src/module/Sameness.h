// Whether two systems are the same: one rule for every identification (the
// code line, a reference's code, composition, the recent list, search).
#pragma once

#include <array>
#include <string>
#include <vector>

#include <ogr_srs_api.h>

// The shift a system's datum carries to WGS 84: its TOWGS84 terms and the
// grids it names (a shift or geoid grid; PROJ's null grid among them). None
// is no shift at all.
struct DatumShift {
    bool hasTerms = false;
    std::array<double, 7> terms{};  // metres, arc-seconds, ppm, as TOWGS84 orders them
    std::vector<std::string> grids; // sorted

    bool None() const { return !hasTerms && grids.empty(); }
};
bool operator==(const DatumShift& a, const DatumShift& b);
inline bool operator!=(const DatumShift& a, const DatumShift& b)
{
    return !(a == b);
}

DatumShift DatumShiftOf(OGRSpatialReferenceH srs);

enum class Sameness {
    // PROJ finds the two equivalent, names (and a geographic system's axis
    // order) aside, and they carry the same datum shift, or none.
    Exactly,
    // PROJ's equivalence alone: a shift on one side only is no difference
    // (two different shifts still are, to PROJ).
    ButForDatumShift,
};

// The sameness rule, for every caller. GDAL's own comparison calls a system
// with a shift the same as one without: a user's shift would be lost to it.
// No system is the same as none.
bool SameAs(OGRSpatialReferenceH a, OGRSpatialReferenceH b, Sameness criterion = Sameness::Exactly);

// WKT1 as GDAL writes it, where it says all of `srs` (read back, the same
// system by the rule above); WKT2 where WKT1 would make another system of it
// (Pseudo-Mercator in yards, say).
std::string ExactWkt(OGRSpatialReferenceH srs);
