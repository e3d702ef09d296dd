// The five static name queries of Orvane.
#include <unistd.h>

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

// The five names of one system, as the queries give them.
struct Names {
    std::string system = "Unknown", datum, spheroid, projection, units;
};

std::string Text(const char* value)
{
    return value ? std::string(value) : std::string();
}

Names NamesOf(OGRSpatialReference& s)
{
    // Reading a strange system can make PROJ complain too.
    QuietGdalErrors quiet;
    Names n;
    const char* system = s.IsGeographic() ? s.GetAttrValue("GEOGCS", 0)
                         : s.IsProjected() ? s.GetAttrValue("PROJCS", 0)
                         : s.IsLocal()     ? s.GetAttrValue("LOCAL_CS", 0)
                                           : nullptr;
    if (system)
        n.system = system;
    n.datum = Text(s.GetAttrValue("DATUM", 0));
    n.spheroid = Text(s.GetAttrValue("SPHEROID", 0));
    n.projection = s.IsProjected() ? Text(s.GetAttrValue("PROJECTION", 0)) : std::string();
    const char* units = nullptr;
    if (s.IsGeographic())
        s.GetAngularUnits(&units);
    else
        s.GetLinearUnits(&units);
    n.units = Text(units);
    return n;
}

// The names of the system GDAL makes of `text` (the defaults when it makes
// none). Hosts ask the five names of one text in a row, and a text GDAL must
// look up by name in PROJ's database costs milliseconds: each thread keeps
// the names of its last text, keyed by what GDAL was given (a file's
// content, not its name, so an edited file is read anew). Only texts are
// kept, no GDAL object that could outlive GDAL.
const Names& QueryNames(const char* text)
{
    static const Names kDefaults;
    struct Last {
        std::string input;
        Names names;
        bool valid = false;
    };
    thread_local Last last;
    std::string input;
    if (!text || !QueryInput(text, input))
        return kDefaults;
    if (!last.valid || last.input != input) {
        OGRSpatialReference srs;
        const char* options[] = {"ALLOW_NETWORK_ACCESS=NO", "ALLOW_FILE_ACCESS=NO", nullptr};
        bool parsed = false;
        {
            QuietGdalErrors quiet;
            parsed = srs.SetFromUserInput(input.c_str(), options) == OGRERR_NONE;
        }
        last.names = parsed ? NamesOf(srs) : kDefaults;
        last.input = std::move(input);
        last.valid = true;
    }
    return last.names;
}

}  // namespace

std::string Orvane::GetCoordSysName(const char* srs)
{
    return QueryNames(srs).system;
}

std::string Orvane::GetDatumName(const char* srs)
{
    return QueryNames(srs).datum;
}

std::string Orvane::GetSpheroidName(const char* srs)
{
    return QueryNames(srs).spheroid;
}

std::string Orvane::GetProjectionName(const char* srs)
{
    return QueryNames(srs).projection;
}

std::string Orvane::GetUnitsName(const char* srs)
{
    return QueryNames(srs).units;
}
