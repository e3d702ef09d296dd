#include "module/GdalSupport.h"

#include <optional>

#include <ogr_spatialref.h>

#include "module/ProjSupport.h"
#include "util/Text.h"

const char kUnknownName[] = "Unknown";

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

OsrHandle NewSpatialReference(const std::string& text, SystemText form)
{
    // GDAL makes an empty system of an empty text; that is no spatial
    // reference. Nor is a text that would have PROJ open a file.
    if (text.empty() || !ReadableWithoutFiles(text))
        return nullptr;
    QuietGdalErrors quiet;
    if (form == SystemText::Definition)
        return OsrHandle(OSRNewSpatialReference(text.c_str()));
    // GDAL swaps a retired code for its replacement; a WKT it takes as written.
    std::optional<EpsgCodesAsGiven> asGiven;
    if (!LooksLikeWkt(text.c_str()))
        asGiven.emplace();
    OsrHandle srs(OSRNewSpatialReference(nullptr));
    const char* options[] = {"ALLOW_NETWORK_ACCESS=NO", "ALLOW_FILE_ACCESS=NO", nullptr};
    if (!srs || OGRSpatialReference::FromHandle(srs.get())->SetFromUserInput(text.c_str(), options) != OGRERR_NONE)
        return nullptr;
    return srs;
}

std::string ExportToWkt(OGRSpatialReferenceH srs)
{
    char* text = nullptr;
    const OGRErr error = OSRExportToWkt(srs, &text);
    const GdalTextHandle owned(text);
    return error == OGRERR_NONE && text ? std::string(text) : std::string();
}

std::string AttrValue(OGRSpatialReferenceH srs, const char* key)
{
    const char* value = OSRGetAttrValue(srs, key, 0);
    return value ? std::string(value) : std::string();
}

const char* SystemNameOf(OGRSpatialReferenceH srs)
{
    const char* key = OSRIsGeographic(srs) ? "GEOGCS"
                      : OSRIsProjected(srs) ? "PROJCS"
                      : OSRIsLocal(srs)     ? "LOCAL_CS"
                      : OSRIsVertical(srs)  ? "VERT_CS"
                                            : nullptr;
    if (!key)
        return nullptr;
    // A system WKT1 cannot express keeps its WKT2 nodes: the name is GDAL's to say.
    const char* name = OSRGetAttrValue(srs, key, 0);
    return name ? name : OSRGetName(srs);
}

std::string DisplayNameOf(OGRSpatialReferenceH srs)
{
    const char* name = OSRIsCompound(srs) ? OSRGetName(srs) : SystemNameOf(srs);
    if (!name || !*name || EqualIgnoringAsciiCase(name, "unknown") || EqualIgnoringAsciiCase(name, "unnamed"))
        return kUnknownName;
    return name;
}
