// The five static name queries of Orvane.
#include <unistd.h>

#include <functional>
#include <ogr_spatialref.h>

#include "interface/Orvane.h"
#include "module/GdalSupport.h"
#include "util/FileIO.h"

namespace {

// A keyword and its bracket, as every WKT text begins: GDAL never takes such
// a text for a file name.
bool LooksLikeWkt(const char* text)
{
    while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n')
        ++text;
    const char* word = text;
    while ((*text >= 'A' && *text <= 'Z') || (*text >= 'a' && *text <= 'z') || *text == '_' ||
           (*text >= '0' && *text <= '9'))
        ++text;
    return text > word && (*text == '[' || *text == '(');
}

// A host passes texts it does not control: never reach the network, and never
// read from a device or pipe (it could block forever).
bool ParseUserInput(const char* text, OGRSpatialReference& srs)
{
    if (!text)
        return false;
    const bool nonRegularFile = !LooksLikeWkt(text) && access(text, F_OK) == 0 && !IsRegularFile(text);
    const char* options[] = {"ALLOW_NETWORK_ACCESS=NO",
                             nonRegularFile ? "ALLOW_FILE_ACCESS=NO" : nullptr, nullptr};
    QuietGdalErrors quiet;
    return srs.SetFromUserInput(text, options) == OGRERR_NONE;
}

// Parses `text` and, when GDAL accepts it, lets `read` replace `result`.
std::string QueryName(const char* text, std::string result,
                      const std::function<const char*(OGRSpatialReference&)>& read)
{
    OGRSpatialReference srs;
    if (ParseUserInput(text, srs)) {
        if (const char* value = read(srs))
            result = value;
    }
    return result;
}

}  // namespace

std::string Orvane::GetCoordSysName(const char* srs)
{
    return QueryName(srs, "Unknown", [](OGRSpatialReference& s) -> const char* {
        if (s.IsGeographic())
            return s.GetAttrValue("GEOGCS", 0);
        if (s.IsProjected())
            return s.GetAttrValue("PROJCS", 0);
        if (s.IsLocal())
            return s.GetAttrValue("LOCAL_CS", 0);
        return nullptr;
    });
}

std::string Orvane::GetDatumName(const char* srs)
{
    return QueryName(srs, "", [](OGRSpatialReference& s) { return s.GetAttrValue("DATUM", 0); });
}

std::string Orvane::GetSpheroidName(const char* srs)
{
    return QueryName(srs, "", [](OGRSpatialReference& s) { return s.GetAttrValue("SPHEROID", 0); });
}

std::string Orvane::GetProjectionName(const char* srs)
{
    return QueryName(srs, "", [](OGRSpatialReference& s) -> const char* {
        return s.IsProjected() ? s.GetAttrValue("PROJECTION", 0) : nullptr;
    });
}

std::string Orvane::GetUnitsName(const char* srs)
{
    return QueryName(srs, "", [](OGRSpatialReference& s) {
        const char* name = nullptr;
        if (s.IsGeographic())
            s.GetAngularUnits(&name);
        else
            s.GetLinearUnits(&name);
        return name;
    });
}
