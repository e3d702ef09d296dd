#include "module/GdalSupport.h"

#include "module/ProjSupport.h"
#include "module/Sameness.h"
#include "util/Text.h"

const char kUnknownName[] = "Unknown";

OsrHandle NewSpatialReference(const std::string& wkt)
{
    // GDAL makes an empty system of an empty text; that is no spatial
    // reference. Nor is a text that would have PROJ open a file.
    if (wkt.empty() || !ReadableWithoutFiles(wkt))
        return nullptr;
    QuietGdalErrors quiet;
    return OsrHandle(OSRNewSpatialReference(wkt.c_str()));
}

std::string ExportToWkt(OGRSpatialReferenceH srs)
{
    char* text = nullptr;
    const OGRErr error = OSRExportToWkt(srs, &text);
    const GdalTextHandle owned(text);
    return error == OGRERR_NONE && text ? std::string(text) : std::string();
}

std::string ExactWkt(OGRSpatialReferenceH srs)
{
    std::string wkt = ExportToWkt(srs);
    const OsrHandle reread = NewSpatialReference(wkt);
    if (reread && SameAs(reread.get(), srs))
        return wkt;
    char* text = nullptr;
    const char* options[] = {"FORMAT=WKT2_2019", "MULTILINE=NO", nullptr};
    const OGRErr error = OSRExportToWktEx(srs, &text, options);
    const GdalTextHandle owned(text);
    return error == OGRERR_NONE && text ? std::string(text) : wkt;
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
