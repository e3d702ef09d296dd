// What the search's list calls a system it was handed as a text.
#include "search/CandidateNaming.h"

#include <algorithm>
#include <cmath>

#include "catalog/PredefinedSystems.h"
#include "module/GdalSupport.h"
#include "util/NumberText.h"

std::string CandidateNameOf(OGRSpatialReferenceH srs)
{
    const char* own = SystemNameOf(srs);
    const std::string name = own ? own : "";
    // Systems the user composed all bear the custom category's name: told
    // apart by what they are.
    if (OSRIsProjected(srs) && name == kCustomCategory)
        return ComposedSystemDescription(srs);
    return name;
}

std::string ComposedSystemDescription(OGRSpatialReferenceH srs)
{
    std::string method = AttrValue(srs, "PROJECTION");
    std::replace(method.begin(), method.end(), '_', ' ');
    std::string description = method.empty() ? std::string(kCustomCategory) : method;
    int found = 0;
    const double meridian = OSRGetProjParm(srs, SRS_PP_CENTRAL_MERIDIAN, 0.0, &found);
    if (found == OGRERR_NONE && std::isfinite(meridian)) {
        const char* side = meridian < 0 ? "W" : "E";
        description += ", CM " + FormatGeneral(std::fabs(meridian), 10) + "\u00B0" +
                       (meridian == 0 ? "" : side);
    }
    const std::string geographic = AttrValue(srs, "GEOGCS");
    if (!geographic.empty())
        description += ", " + geographic;
    return description;
}
