// A horizontal system joined with a height, and a compound system taken
// apart: the codes EPSG has for a pair, none where the horizontal part is no
// EPSG system exactly, and each part read back.
#include <gtest/gtest.h>

#include <ogr_spatialref.h>

#include "catalog/HeightPart.h"
#include "catalog/Identification.h"
#include "support/TestSupport.h"

namespace {

SpatialSystem Epsg(const char* code)
{
    return SpatialSystem(WktOf(code));
}

}  // namespace

TEST(HeightPart, APairIsOneCompoundSystemWithEpsgsCodeWhereItHasOne)
{
    const std::string shifted =
        "GEOGCS[\"DHDN\",DATUM[\"Deutsches_Hauptdreiecksnetz\",SPHEROID[\"Bessel 1841\",6377397.155,299.1528128],"
        "TOWGS84[1,2,3,0,0,0,0]],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]";
    const struct {
        SpatialSystem horizontal;
        HeightChoice height;
        const char* name;  // null: no system
        const char* code;  // "": none
        const char* verticalCode;
    } cases[] = {
        {Epsg("EPSG:25832"), {HeightKind::Vertical, "EPSG:5783"}, "ETRS89 / UTM zone 32N + DHHN92 height", "5555",
         "EPSG:5783"},
        {Epsg("EPSG:4326"), {HeightKind::Vertical, "EPSG:5773"}, "WGS 84 + EGM96 height", "9707", "EPSG:5773"},
        {Epsg("EPSG:25832"), {HeightKind::Vertical, "EPSG:7837"}, "ETRS89 / UTM zone 32N + DHHN2016 height", "",
         "EPSG:7837"},
        {Epsg("EPSG:4490"), {HeightKind::Vertical, "EPSG:5737"}, "China Geodetic Coordinate System 2000 + Yellow Sea 1985 height",
         "", "EPSG:5737"},
        // A datum shift of its own: no EPSG system, so no code for the pair.
        {SpatialSystem(shifted), {HeightKind::Vertical, "EPSG:5783"}, "DHDN + DHHN92 height", "", "EPSG:5783"},
        {Epsg("EPSG:25832"), {HeightKind::Vertical, "EPSG:4326"}, nullptr, "", ""},
        {Epsg("EPSG:25832"), {HeightKind::Vertical, "not a system"}, nullptr, "", ""},
        {Epsg("EPSG:5555"), {HeightKind::Vertical, "EPSG:5783"}, nullptr, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name ? c.name : c.height.vertical);
        for (const bool wkt2 : {false, true}) {
            const SpatialSystem joined = WithHeight(c.horizontal, c.height, wkt2);
            ASSERT_EQ(joined.IsSystem(), c.name != nullptr);
            if (!c.name)
                continue;
            EXPECT_TRUE(OSRIsCompound(joined.Handle()));
            EXPECT_EQ(joined.Text().rfind(wkt2 ? "COMPOUNDCRS[" : "COMPD_CS[", 0), 0u) << joined.Text();
            EXPECT_EQ(joined.Name(), c.name);
            const char* code = OSRGetAuthorityCode(joined.Handle(), nullptr);
            EXPECT_EQ(code ? code : "", std::string(c.code));
            // Taken apart again: the same horizontal system and height.
            EXPECT_TRUE(OSRIsSame(HorizontalPartOf(joined).Handle(), c.horizontal.Handle()));
            const HeightChoice height = HeightOf(joined);
            EXPECT_EQ(height.kind, HeightKind::Vertical);
            EXPECT_EQ(height.vertical, c.verticalCode);
        }
    }
}

TEST(HeightPart, NoneLeavesTheSystemAndAnEllipsoidalHeightIsAWkt1ReadersVerticalSystem)
{
    const SpatialSystem utm = Epsg("EPSG:32633");
    EXPECT_EQ(WithHeight(utm, HeightChoice{}, false).Text(), utm.Text());
    EXPECT_EQ(HeightOf(utm).kind, HeightKind::None);
    EXPECT_EQ(HorizontalPartOf(utm).Text(), utm.Text());
    for (const char* code : {"EPSG:4326", "EPSG:32633"}) {
        SCOPED_TRACE(code);
        const SpatialSystem horizontal = Epsg(code);
        const SpatialSystem wkt1 = WithHeight(horizontal, {HeightKind::Ellipsoidal, ""}, false);
        ASSERT_TRUE(wkt1.IsSystem());
        EXPECT_EQ(wkt1.Text().rfind("COMPD_CS[", 0), 0u) << wkt1.Text();
        EXPECT_NE(wkt1.Text().find("VERT_DATUM[\"Ellipsoid\",2002]"), std::string::npos) << wkt1.Text();
        EXPECT_EQ(HeightOf(wkt1).kind, HeightKind::Ellipsoidal);
        EXPECT_TRUE(OSRIsSame(HorizontalPartOf(wkt1).Handle(), horizontal.Handle()));
        const SpatialSystem wkt2 = WithHeight(horizontal, {HeightKind::Ellipsoidal, ""}, true);
        ASSERT_TRUE(wkt2.IsSystem());
        EXPECT_EQ(OSRGetAxesCount(wkt2.Handle()), 3);
        EXPECT_EQ(HeightOf(wkt2).kind, HeightKind::Ellipsoidal);
    }
}
