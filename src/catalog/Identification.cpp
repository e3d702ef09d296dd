#include "catalog/Identification.h"

#include <cstdlib>
#include <cstring>
#include <set>

#include "module/GdalSupport.h"

namespace {

// The authority's code `srs` carries for the whole system, taken at its word.
std::string ClaimedEpsgCode(OGRSpatialReferenceH srs)
{
    const char* authority = srs ? OSRGetAuthorityName(srs, nullptr) : nullptr;
    const char* code = srs ? OSRGetAuthorityCode(srs, nullptr) : nullptr;
    return authority && code && std::strcmp(authority, "EPSG") == 0 ? code : std::string();
}

}  // namespace

OsrHandle EpsgSystem(const std::string& code)
{
    QuietGdalErrors quiet;
    OsrHandle srs(OSRNewSpatialReference(nullptr));
    if (!srs || OSRImportFromEPSG(srs.get(), std::atoi(code.c_str())) != OGRERR_NONE)
        return nullptr;
    return srs;
}

std::string OwnEpsgCode(OGRSpatialReferenceH srs)
{
    std::string code = ClaimedEpsgCode(srs);
    const std::string shift = code.empty() ? std::string() : DatumShiftOf(srs);
    if (shift.empty())
        return code;
    // A shift of its own: the code holds only when EPSG's system has it too.
    const OsrHandle epsg = EpsgSystem(code);
    return epsg && DatumShiftOf(epsg.get()) == shift ? code : std::string();
}

EpsgIdentity IdentifyEpsg(OGRSpatialReferenceH srs)
{
    EpsgIdentity identity;
    identity.code = OwnEpsgCode(srs);
    if (!identity.code.empty() || !srs || !(OSRIsProjected(srs) || OSRIsGeographic(srs)))
        return identity;
    QuietGdalErrors quiet;
    int count = 0;
    int* confidences = nullptr;
    OGRSpatialReferenceH* matches = OSRFindMatches(srs, nullptr, &count, &confidences);
    // GDAL's confidence counts names; sameness here does not. GDAL hands
    // each match back with the system's own datum shift: each is judged as
    // EPSG defines it.
    std::set<std::string> codes;
    for (int i = 0; i < count; ++i) {
        const std::string code = ClaimedEpsgCode(matches[i]);
        if (!code.empty() && SameExceptDatumShift(srs, matches[i]))
            codes.insert(code);
    }
    OSRFreeSRSArray(matches);
    CPLFree(confidences);
    const std::string shift = DatumShiftOf(srs);
    std::set<std::string> same;
    std::set<std::string> like;
    for (const std::string& code : codes) {
        const OsrHandle epsg = EpsgSystem(code);
        if (epsg && SameExceptDatumShift(srs, epsg.get()))
            (DatumShiftOf(epsg.get()) == shift ? same : like).insert(code);
    }
    if (same.size() == 1)
        identity.code = *same.begin();
    else if (same.empty() && like.size() == 1)
        identity.likeButShift = *like.begin();
    return identity;
}

std::string ExactEpsgCode(OGRSpatialReferenceH srs)
{
    return IdentifyEpsg(srs).code;
}
