// The five static name queries of Orvane.
#include <unistd.h>

#include <functional>
#include <memory>
#include <ogr_spatialref.h>

#include "interface/Orvane.h"
#include "module/GdalSupport.h"
#include "util/FileIO.h"

namespace {

const char kEsriPrefix[] = "ESRI::";

// What GDAL is given for a host's text: the text itself, or the content of
// the file it names, read here. GDAL reads no file and reaches no network
// for a query: a /vsi… path, a URL or a prefix before either would let it
// fetch, or wait for ever on a pipe or device. False when the text names
// something that is not a regular local file of sensible size.
bool QueryInput(const std::string& text, std::string& input)
{
    const bool esri = text.compare(0, sizeof kEsriPrefix - 1, kEsriPrefix) == 0;
    const std::string rest = esri ? text.substr(sizeof kEsriPrefix - 1) : text;
    if (access(rest.c_str(), F_OK) != 0) {
        input = text;
        return true;
    }
    std::string content;
    if (!ReadDefinitionFile(rest, content))
        return false;
    input = esri ? kEsriPrefix + content : content;
    return true;
}

// The system GDAL makes of `text`, or null. Hosts ask the five names of one
// text in a row, and a text GDAL must look up by name in PROJ's database
// costs milliseconds: the last parse of each thread is kept, keyed by what
// GDAL was given (a file's content, not its name, so an edited file is read
// anew).
OGRSpatialReference* ParseUserInput(const char* text)
{
    struct LastParse {
        std::string input;
        std::unique_ptr<OGRSpatialReference> srs;
        bool valid = false;
    };
    thread_local LastParse last;
    std::string input;
    if (!text || !QueryInput(text, input))
        return nullptr;
    if (!last.valid || last.input != input) {
        auto srs = std::make_unique<OGRSpatialReference>();
        const char* options[] = {"ALLOW_NETWORK_ACCESS=NO", "ALLOW_FILE_ACCESS=NO", nullptr};
        QuietGdalErrors quiet;
        const bool parsed = srs->SetFromUserInput(input.c_str(), options) == OGRERR_NONE;
        last.srs = parsed ? std::move(srs) : nullptr;
        last.input = std::move(input);
        last.valid = true;
    }
    return last.srs.get();
}

// Parses `text` and, when GDAL accepts it, lets `read` replace `result`.
std::string QueryName(const char* text, std::string result,
                      const std::function<const char*(OGRSpatialReference&)>& read)
{
    if (OGRSpatialReference* srs = ParseUserInput(text)) {
        // Reading a strange system can make PROJ complain too.
        QuietGdalErrors quiet;
        if (const char* value = read(*srs))
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
