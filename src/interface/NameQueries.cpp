// The five static name queries of Orvane.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <functional>
#include <ogr_spatialref.h>

#include "interface/Orvane.h"
#include "module/GdalSupport.h"
#include "interface/OrvaneReference.h"
#include "module/ProjSupport.h"
#include "catalog/Identification.h"
#include "util/FileIO.h"
#include "util/Text.h"

namespace {

const char kEsriPrefix[] = "ESRI::";

// A text that says what it is: a definition (WKT, PROJJSON, a PROJ string)
// or a code of an authority GDAL or PROJ knows ("EPSG:4326", "urn:…"), or
// one of the names GDAL takes for a system before any file ("WGS84").
bool IsDefinitionOrCode(const char* text)
{
    for (const char* name : {"WGS84", "WGS72", "NAD27", "NAD83"}) {
        if (EqualIgnoringAsciiCase(text, name))
            return true;
    }
    while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n')
        ++text;
    if (*text == '+' || *text == '{' || std::strchr(text, '=') || LooksLikeWkt(text))
        return true;
    const char* colon = std::strchr(text, ':');
    return colon && colon > text && IsKnownAuthorityPrefix(std::string(text, colon));
}

// What GDAL is given for a host's text: the text itself, or the content of
// the file it names, read here into `storage`. A text that says what it is
// is read as that, whatever file of its name there may be (as GDAL orders
// them): "EPSG:4326" in the current folder takes over nothing. GDAL reads no
// file and reaches no network for a query: a /vsi… path, a URL or a prefix
// before either would let it fetch, or wait for ever on a pipe or device.
// Null when the text names something that is not a regular local file of
// sensible size.
const char* QueryInput(const char* text, std::string& storage)
{
    const bool esri = std::strncmp(text, kEsriPrefix, sizeof kEsriPrefix - 1) == 0;
    const char* rest = esri ? text + sizeof kEsriPrefix - 1 : text;
    if (IsDefinitionOrCode(rest) || access(rest, F_OK) != 0)
        return text;
    if (!ReadDefinitionFile(rest, storage))
        return nullptr;
    if (esri)
        storage.insert(0, kEsriPrefix);
    return storage.c_str();
}

// A text whose first colon follows something that is neither an authority
// GDAL or PROJ knows ("EPSG", "urn", "http", …) nor part of a definition
// (WKT, PROJJSON, a PROJ string): no system has a colon in its name, so GDAL
// could only refuse it, after PROJ had searched every name in its database
// for it (milliseconds per text).
bool NamesNoKnownAuthority(const char* text)
{
    const char* colon = std::strchr(text, ':');
    if (!colon)
        return false;
    const std::string prefix(text, colon);
    if (prefix.find_first_of("=+{[(\"'") != std::string::npos)
        return false;
    const std::size_t start = prefix.find_first_not_of(" \t\r\n");
    return start == std::string::npos || !IsKnownAuthorityPrefix(prefix.substr(start));
}

// "AUTH:CODE" for an authority of PROJ's database other than EPSG (GDAL
// reads EPSG's codes itself) and a plain code naming nothing there: GDAL
// would hand it to PROJ, which would search every name in its database
// before refusing it.
bool NamesMissingCode(const char* text)
{
    const char* colon = std::strchr(text, ':');
    if (!colon)
        return false;
    const std::string authority(text, colon);
    const std::string code(colon + 1);
    const bool plainCode = !code.empty() && std::all_of(code.begin(), code.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '-' || c == '.';
    });
    return plainCode && authority != "EPSG" && IsDatabaseAuthority(authority) && !DatabaseHasObject(authority, code);
}

// "EPSG:32633x", "EPSG:4326 junk": GDAL reads the number and drops the
// rest, so that a mistyped code names a system; nothing but the code (or a
// compound "EPSG:4326+5773") may follow EPSG's.
bool EpsgCodeWithTrailingText(const char* text)
{
    std::string_view rest(text);
    rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(" \t\r\n")));
    if (rest.size() < 5 || !EqualIgnoringAsciiCase(std::string(rest.substr(0, 5)), "epsg:"))
        return false;
    rest.remove_prefix(5);
    const std::size_t end = rest.find_last_not_of(" \t\r\n");
    rest = rest.substr(0, end == std::string_view::npos ? 0 : end + 1);
    bool digit = false;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const char c = rest[i];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '+' && digit && i + 1 < rest.size()) {
            digit = false;
        } else {
            return true;
        }
    }
    return false;
}

// A host's text read; null when it names no system. Each query reads anew:
// a system kept for the next query would hold PROJ objects that could
// outlive a host's OSRCleanup. The handle alone: a query of the units lets
// GDAL skip building the whole system, which naming it would not.
OsrHandle ReadReference(const char* text)
{
    if (!ProjDatabaseProblem().empty())
        return nullptr;
    std::string storage;
    const char* input = text ? QueryInput(text, storage) : nullptr;
    if (!input || NamesNoKnownAuthority(input) || NamesMissingCode(input) || EpsgCodeWithTrailingText(input))
        return nullptr;
    return NewSpatialReference(input, SystemText::Reference);
}

// The system read, for GDAL's C++ calls.
OGRSpatialReference& Srs(const OsrHandle& srs)
{
    return *OGRSpatialReference::FromHandle(srs.get());
}

// Parses `text` and, when GDAL accepts it, lets `read` replace `result`.
std::string QueryName(const char* text, std::string result,
                      const std::function<const char*(OGRSpatialReference&)>& read)
{
    const OsrHandle srs = ReadReference(text);
    if (srs) {
        if (const char* value = read(Srs(srs)))
            result = value;
    }
    return result;
}

const char* UnitsName(OGRSpatialReference& s)
{
    const char* name = nullptr;
    if (s.IsGeographic())
        s.GetAngularUnits(&name);
    else
        s.GetLinearUnits(&name);
    return name;
}

std::string TextOf(const char* value)
{
    return value ? value : "";
}

}  // namespace

std::string Orvane::GetCoordSysName(const char* srs)
{
    const OsrHandle read = ReadReference(srs);
    return read ? DisplayNameOf(read.get()) : kUnknownName;
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
    return QueryName(srs, "", UnitsName);
}

std::string OrvaneDatabaseProblem()
{
    return ProjDatabaseProblem();
}

namespace {

// The description of a system read.
OrvaneReferenceInfo Described(OGRSpatialReference& srs)
{
    OrvaneReferenceInfo info;
    // A compound system is described whole: its name and code are its own,
    // not its horizontal part's.
    const bool compound = srs.IsCompound() != 0;
    info.name = DisplayNameOf(OGRSpatialReference::ToHandle(&srs));
    info.kind = compound               ? "compound"
                : srs.IsGeographic() ? "geographic"
                : srs.IsProjected()  ? "projected"
                : srs.IsLocal()      ? "local"
                : srs.IsVertical()   ? "vertical"
                                     : "other";
    info.datum = TextOf(srs.GetAttrValue(srs.IsVertical() && !compound ? "VERT_DATUM" : "DATUM", 0));
    info.spheroid = TextOf(srs.GetAttrValue("SPHEROID", 0));
    info.projection = srs.IsProjected() ? TextOf(srs.GetAttrValue("PROJECTION", 0)) : std::string();
    info.units = TextOf(UnitsName(srs));
    return info;
}

std::string EpsgCodeText(const std::string& code)
{
    return code.empty() ? std::string() : "EPSG:" + code;
}

}  // namespace

bool OrvaneIdentifyReference(const char* reference, OrvaneReferenceInfo& info, OrvaneIdentity& identity)
{
    info = OrvaneReferenceInfo();
    info.name = kUnknownName;
    identity = OrvaneIdentity();
    const OsrHandle srs = ReadReference(reference);
    if (!srs)
        return false;
    info = Described(Srs(srs));
    const OGRSpatialReferenceH handle = srs.get();
    const EpsgIdentity found = IdentifyEpsg(handle);
    info.code = EpsgCodeText(found.code);
    identity.likeButShift = EpsgCodeText(found.likeButShift);
    identity.deprecated = found.deprecation.deprecated;
    for (const std::string& code : found.deprecation.replacedBy)
        identity.replacedBy.push_back(EpsgCodeText(code));
    identity.datumEnsembleAccuracy = DatumEnsembleAccuracy(handle);
    return true;
}

bool OrvaneDescribeReference(const char* reference, OrvaneReferenceInfo& info)
{
    info = OrvaneReferenceInfo();
    info.name = kUnknownName;
    const OsrHandle srs = ReadReference(reference);
    if (!srs)
        return false;
    info = Described(Srs(srs));
    info.code = EpsgCodeText(ExactEpsgCode(srs.get()));
    return true;
}

bool OrvaneDescribeHeight(const char* reference, OrvaneReferenceInfo& height)
{
    height = OrvaneReferenceInfo();
    const OsrHandle srs = ReadReference(reference);
    if (!srs || !(Srs(srs).IsCompound() || Srs(srs).IsVertical()))
        return false;
    // The vertical part as a system of its own, read from its own text.
    const OGR_SRSNode* node = Srs(srs).IsVertical() && !Srs(srs).IsCompound() ? Srs(srs).GetRoot()
                                                                              : Srs(srs).GetAttrNode("VERT_CS");
    char* text = nullptr;
    if (!node || node->exportToWkt(&text) != OGRERR_NONE || !text)
        return false;
    const GdalTextHandle owned(text);
    const OsrHandle vertical = NewSpatialReference(text, SystemText::Reference);
    if (!vertical)
        return false;
    height.name = DisplayNameOf(vertical.get());
    height.kind = "vertical";
    height.datum = TextOf(Srs(vertical).GetAttrValue("VERT_DATUM", 0));
    height.units = TextOf(UnitsName(Srs(vertical)));
    height.code = EpsgCodeText(ExactEpsgCode(vertical.get()));
    return true;
}

std::string OrvaneEpsgCodeButForShift(const char* reference)
{
    const OsrHandle srs = ReadReference(reference);
    return srs ? EpsgCodeText(IdentifyEpsg(srs.get()).likeButShift) : std::string();
}

std::string OrvaneFormatReference(const char* reference, OrvaneFormat format)
{
    const OsrHandle read = ReadReference(reference);
    if (!read)
        return std::string();
    const OGRSpatialReference& srs = Srs(read);
    QuietGdalErrors quiet;
    char* text = nullptr;
    OGRErr error = OGRERR_FAILURE;
    switch (format) {
    case OrvaneFormat::Wkt1:
        return ExportToWkt(read.get());
    case OrvaneFormat::Wkt2: {
        const char* options[] = {"FORMAT=WKT2_2019", "MULTILINE=NO", nullptr};
        error = srs.exportToWkt(&text, options);
        break;
    }
    case OrvaneFormat::ProjJson: {
        const char* options[] = {"MULTILINE=NO", nullptr};
        error = srs.exportToPROJJSON(&text, options);
        break;
    }
    case OrvaneFormat::Proj:
        error = srs.exportToProj4(&text);
        break;
    }
    const GdalTextHandle owned(text);
    return error == OGRERR_NONE && text ? std::string(text) : std::string();
}
