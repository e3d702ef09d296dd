#include "search/Identification.h"

#include <cstring>
#include <mutex>
#include <unordered_set>

#include "module/GdalSupport.h"
#include "search/Candidates.h"

namespace {

bool IsEpsgSystemName(const std::string& name)
{
    static std::once_flag built;
    static std::unordered_set<std::string> names;
    std::call_once(built, [] {
        for (const Candidate& candidate : *EpsgCandidates())
            names.insert(candidate.name);
    });
    return names.count(name) != 0;
}

}  // namespace

std::string OwnEpsgCode(OGRSpatialReferenceH srs)
{
    const char* authority = srs ? OSRGetAuthorityName(srs, nullptr) : nullptr;
    const char* code = srs ? OSRGetAuthorityCode(srs, nullptr) : nullptr;
    return authority && code && std::strcmp(authority, "EPSG") == 0 ? code : std::string();
}

std::string ExactEpsgCode(OGRSpatialReferenceH srs)
{
    std::string code = OwnEpsgCode(srs);
    if (!code.empty() || !srs)
        return code;
    const bool projected = OSRIsProjected(srs) != 0;
    if (!projected && !OSRIsGeographic(srs))
        return code;
    if (!IsEpsgSystemName(AttrValue(srs, projected ? "PROJCS" : "GEOGCS")))
        return code;
    QuietGdalErrors quiet;
    int count = 0;
    int* confidences = nullptr;
    OGRSpatialReferenceH* matches = OSRFindMatches(srs, nullptr, &count, &confidences);
    if (count == 1 && confidences[0] == 100) {
        code = OwnEpsgCode(matches[0]);
    }
    OSRFreeSRSArray(matches);
    CPLFree(confidences);
    return code;
}
