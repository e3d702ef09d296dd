// Compound systems made of a horizontal system and a height, and taken apart.
#include "catalog/HeightPart.h"

#include <ogr_spatialref.h>

#include "catalog/Identification.h"
#include "module/GdalSupport.h"
#include "module/ProjQuery.h"
#include "module/Sameness.h"

namespace {

// The text of `srs` in the form asked: WKT1 where it can hold the system
// (an ellipsoidal height as a VERT_CS), else WKT2.
std::string TextOf(const OGRSpatialReference& srs, bool wkt2)
{
    char* text = nullptr;
    const char* wkt1Options[] = {"FORMAT=WKT1", "ALLOW_ELLIPSOIDAL_HEIGHT_AS_VERTICAL_CRS=YES", nullptr};
    const char* wkt2Options[] = {"FORMAT=WKT2_2019", "MULTILINE=NO", nullptr};
    QuietGdalErrors quiet;
    const OGRErr error = srs.exportToWkt(&text, wkt2 ? wkt2Options : wkt1Options);
    const GdalTextHandle owned(text);
    return error == OGRERR_NONE && text ? std::string(text) : std::string();
}

OGRSpatialReference* Srs(const SpatialSystem& system)
{
    return OGRSpatialReference::FromHandle(system.Handle());
}

// The vertical system of `height`; null when it names none.
OsrHandle VerticalSystem(const HeightChoice& height)
{
    OsrHandle vertical = NewSpatialReference(height.vertical, SystemText::Reference);
    if (!vertical || !OSRIsVertical(vertical.get()) || OSRIsCompound(vertical.get()))
        return nullptr;
    return vertical;
}

// The EPSG code of a vertical system that is exactly that code's: the code
// it claims (or its compound system claims for it, `claimedBy`), held to
// EPSG's own definition. Empty for none.
std::string VerticalEpsgCode(OGRSpatialReferenceH vertical, OGRSpatialReferenceH claimedBy = nullptr)
{
    const char* path = claimedBy ? "COMPD_CS|VERT_CS" : nullptr;
    const char* authority = OSRGetAuthorityName(claimedBy ? claimedBy : vertical, path);
    const char* code = OSRGetAuthorityCode(claimedBy ? claimedBy : vertical, path);
    if (!authority || !code || std::string(authority) != "EPSG" || !IsEpsgCodeText(code))
        return std::string();
    const OsrHandle epsg = EpsgSystem(code);
    return epsg && OSRIsVertical(epsg.get()) && SameAs(vertical, epsg.get()) ? std::string(code) : std::string();
}

// EPSG's compound system of exactly this pair of EPSG systems; empty for none.
std::string EpsgCompoundCode(const std::string& horizontal, const std::string& vertical)
{
    if (horizontal.empty() || vertical.empty())
        return std::string();
    ProjQuery query("SELECT code FROM compound_crs WHERE auth_name = 'EPSG' AND deprecated = 0 "
                    "AND horiz_crs_auth_name = 'EPSG' AND horiz_crs_code = ?1 "
                    "AND vertical_crs_auth_name = 'EPSG' AND vertical_crs_code = ?2 "
                    "ORDER BY CAST(code AS INTEGER) LIMIT 1");
    query.Bind(1, horizontal);
    query.Bind(2, vertical);
    const std::string code = query.Next() ? query.Text(0) : std::string();
    return IsEpsgCodeText(code) ? code : std::string();
}

// The EPSG vertical system of that name and definition (a WKT2 compound
// system's vertical part is read without its code, and without the geoid
// model EPSG's carries); empty for none.
std::string VerticalEpsgCodeByName(OGRSpatialReferenceH vertical)
{
    const char* name = OSRGetName(vertical);
    if (!name)
        return std::string();
    ProjQuery query("SELECT code FROM vertical_crs WHERE auth_name = 'EPSG' AND name = ?1 "
                    "ORDER BY deprecated, CAST(code AS INTEGER)");
    query.Bind(1, name);
    while (query.Next()) {
        const std::string code = query.Text(0);
        const OsrHandle epsg = IsEpsgCodeText(code) ? EpsgSystem(code) : nullptr;
        // A geoid model EPSG's own carries is no difference the text can hold.
        if (epsg && SameAs(vertical, epsg.get(), Sameness::ButForDatumShift))
            return code;
    }
    return std::string();
}

}  // namespace

SpatialSystem WithHeight(const SpatialSystem& horizontal, const HeightChoice& height, bool wkt2)
{
    if (height.kind == HeightKind::None)
        return horizontal;
    const OGRSpatialReference* horizontalSrs = Srs(horizontal);
    if (!horizontalSrs || horizontalSrs->IsCompound() || !(horizontalSrs->IsGeographic() || horizontalSrs->IsProjected()))
        return SpatialSystem();
    OGRSpatialReference compound;
    if (height.kind == HeightKind::Ellipsoidal) {
        // The horizontal system made 3D, as GDAL writes it: with an
        // ellipsoidal height on its own datum.
        compound = *horizontalSrs;
        if (compound.PromoteTo3D(nullptr) != OGRERR_NONE)
            return SpatialSystem();
        const std::string text = TextOf(compound, wkt2);
        return text.empty() ? SpatialSystem() : SpatialSystem(text);
    }
    const OsrHandle vertical = VerticalSystem(height);
    if (!vertical)
        return SpatialSystem();
    const OGRSpatialReference* verticalSrs = OGRSpatialReference::FromHandle(vertical.get());
    const std::string name = horizontal.Name() + " + " + verticalSrs->GetName();
    {
        QuietGdalErrors quiet;
        if (compound.SetCompoundCS(name.c_str(), horizontalSrs, verticalSrs) != OGRERR_NONE)
            return SpatialSystem();
    }
    // EPSG's own, where the pair is exactly one of its compound systems.
    const std::string code =
        EpsgCompoundCode(ExactEpsgCode(horizontal.Handle()), VerticalEpsgCode(vertical.get()));
    if (!code.empty()) {
        const OsrHandle epsg = EpsgSystem(code);
        if (epsg) {
            const std::string text = TextOf(*OGRSpatialReference::FromHandle(epsg.get()), wkt2);
            if (!text.empty())
                return SpatialSystem(text);
        }
    }
    const std::string text = TextOf(compound, wkt2);
    return text.empty() ? SpatialSystem() : SpatialSystem(text);
}

SpatialSystem HorizontalPartOf(const SpatialSystem& system)
{
    const OGRSpatialReference* srs = Srs(system);
    if (!srs || !(srs->IsCompound() || srs->GetAxesCount() == 3))
        return system;
    OGRSpatialReference horizontal(*srs);
    // A compound system loses its vertical part; a 3D one (an ellipsoidal
    // height, as GDAL reads one written as a VERT_CS) its third axis.
    const OGRErr error = horizontal.IsCompound() ? horizontal.StripVertical() : horizontal.DemoteTo2D(nullptr);
    if (error != OGRERR_NONE)
        return SpatialSystem();
    // EPSG's own text where the part is exactly its system: it keeps its code.
    const std::string code = ExactEpsgCode(OGRSpatialReference::ToHandle(&horizontal));
    if (const OsrHandle epsg = code.empty() ? nullptr : EpsgSystem(code)) {
        const std::string text = ExportToWkt(epsg.get());
        if (!text.empty())
            return SpatialSystem(text);
    }
    const std::string text = ExportToWkt(OGRSpatialReference::ToHandle(&horizontal));
    return text.empty() ? SpatialSystem() : SpatialSystem(text);
}

HeightChoice HeightOf(const SpatialSystem& system)
{
    HeightChoice height;
    const OGRSpatialReference* srs = Srs(system);
    if (!srs)
        return height;
    const OGR_SRSNode* node = srs->IsCompound() ? srs->GetAttrNode("VERT_CS") : nullptr;
    char* text = nullptr;
    if (!node || node->exportToWkt(&text) != OGRERR_NONE || !text) {
        // A 3D geographic or projected system holds the ellipsoid's height.
        if (srs->GetAxesCount() == 3 && !srs->IsCompound())
            height.kind = HeightKind::Ellipsoidal;
        return height;
    }
    const GdalTextHandle owned(text);
    const char* datumType = srs->GetAttrValue("VERT_DATUM", 1);
    if (datumType && std::string(datumType) == "2002") {
        height.kind = HeightKind::Ellipsoidal;
        return height;
    }
    height.kind = HeightKind::Vertical;
    // Named by its code where it is exactly EPSG's system; else by its text.
    const OsrHandle vertical = NewSpatialReference(text, SystemText::Reference);
    std::string code = vertical ? VerticalEpsgCode(vertical.get()) : std::string();
    if (code.empty() && vertical)
        code = VerticalEpsgCode(vertical.get(), system.Handle());
    if (code.empty() && vertical)
        code = VerticalEpsgCodeByName(vertical.get());
    height.vertical = code.empty() ? std::string(text) : "EPSG:" + code;
    return height;
}
