// The five static name queries of Orvane.
#include <unistd.h>

#include <cstring>
#include <functional>
#include <ogr_spatialref.h>

#include "interface/Orvane.h"
#include "module/GdalSupport.h"
#include "module/ProjSupport.h"
#include "util/FileIO.h"

namespace {

const char kEsriPrefix[] = "ESRI::";

// A keyword and its bracket, as every WKT text begins: no need to ask the
// file system whether it names a file (GDAL would not read one anyway).
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

// What GDAL is given for a host's text: the text itself, or the content of
// the file it names, read here into `storage`. GDAL reads no file and reaches
// no network for a query: a /vsi… path, a URL or a prefix before either
// would let it fetch, or wait for ever on a pipe or device. Null when the
// text names something that is not a regular local file of sensible size.
const char* QueryInput(const char* text, std::string& storage)
{
    const bool esri = std::strncmp(text, kEsriPrefix, sizeof kEsriPrefix - 1) == 0;
    const char* rest = esri ? text + sizeof kEsriPrefix - 1 : text;
    if (LooksLikeWkt(rest) || access(rest, F_OK) != 0)
        return text;
    if (!ReadDefinitionFile(rest, storage))
        return nullptr;
    if (esri)
        storage.insert(0, kEsriPrefix);
    return storage.c_str();
}

// "AUTH:…" for an authority neither GDAL nor PROJ knows: no system, and
// GDAL would find that out only after PROJ had searched every name in its
// database (milliseconds per text).
bool NamesUnknownAuthority(const char* text)
{
    const char* end = text;
    while ((*end >= 'A' && *end <= 'Z') || (*end >= 'a' && *end <= 'z') || (*end >= '0' && *end <= '9') ||
           *end == '_' || *end == '-')
        ++end;
    return *end == ':' && !IsKnownAuthorityPrefix(std::string(text, end));
}

// Parses `text` and, when GDAL accepts it, lets `read` replace `result`.
// Each query parses anew: a parsed system kept for the next query would hold
// PROJ objects that could outlive a host's OSRCleanup.
std::string QueryName(const char* text, std::string result,
                      const std::function<const char*(OGRSpatialReference&)>& read)
{
    std::string storage;
    const char* input = text ? QueryInput(text, storage) : nullptr;
    if (!input || NamesUnknownAuthority(input))
        return result;
    OGRSpatialReference srs;
    const char* options[] = {"ALLOW_NETWORK_ACCESS=NO", "ALLOW_FILE_ACCESS=NO", nullptr};
    // Reading a strange system can make PROJ complain too.
    QuietGdalErrors quiet;
    if (srs.SetFromUserInput(input, options) == OGRERR_NONE) {
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
