#include "catalog/Identification.h"

#include <cstring>
#include <set>

#include "module/GdalSupport.h"

std::string OwnEpsgCode(OGRSpatialReferenceH srs)
{
    const char* authority = srs ? OSRGetAuthorityName(srs, nullptr) : nullptr;
    const char* code = srs ? OSRGetAuthorityCode(srs, nullptr) : nullptr;
    return authority && code && std::strcmp(authority, "EPSG") == 0 ? code : std::string();
}

std::string ExactEpsgCode(OGRSpatialReferenceH srs)
{
    std::string code = OwnEpsgCode(srs);
    if (!code.empty() || !srs || !(OSRIsProjected(srs) || OSRIsGeographic(srs)))
        return code;
    QuietGdalErrors quiet;
    int count = 0;
    int* confidences = nullptr;
    OGRSpatialReferenceH* matches = OSRFindMatches(srs, nullptr, &count, &confidences);
    // GDAL's confidence counts names; sameness here does not: the same
    // system under another name (a PROJ string, a composed UTM zone) is that
    // system. A geographic system's axis order is no part of it (WKT1 and
    // PROJ strings leave it open).
    const char* sameness[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES",
                              "CRITERION=EQUIVALENT_EXCEPT_AXIS_ORDER_GEOGCRS", nullptr};
    std::set<std::string> same;
    for (int i = 0; i < count; ++i) {
        const std::string matchCode = OwnEpsgCode(matches[i]);
        if (!matchCode.empty() && OSRIsSameEx(srs, matches[i], sameness))
            same.insert(matchCode);
    }
    OSRFreeSRSArray(matches);
    CPLFree(confidences);
    return same.size() == 1 ? *same.begin() : std::string();
}
