// The composition rules, on the plain functions the dialogs call.
#include <gtest/gtest.h>

#include "catalog/Composition.h"
#include "module/GdalSupport.h"

namespace {

const char kWgs84[] =
    "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563]],PRIMEM[\"Greenwich\",0],"
    "UNIT[\"degree\",0.0174532925199433]]";

GeogDefinition Wgs84Like()
{
    GeogDefinition d;
    d.name = "Mine";
    d.datumName = "WGS_1984";
    d.ellipsoidName = "WGS 84";
    d.semiMajorAxis = 6378137;
    d.inverseFlattening = 298.257223563;
    d.primeMeridianName = "Greenwich";
    d.angularUnitName = "degree";
    d.radiansPerUnit = 0.0174532925199433;
    return d;
}

SystemChoice CustomChoice(const std::string& method, std::map<std::string, double> parameters)
{
    SystemChoice c;
    c.projected = true;
    c.categoryText = "<Custom Projection Coordinate System>";
    c.geogName = "WGS 84";
    c.geogWkt = kWgs84;
    c.methodName = method;
    c.parameters = std::move(parameters);
    c.unitName = "metre";
    return c;
}

std::string WktOfEpsg(int code)
{
    OsrHandle srs(OSRNewSpatialReference(nullptr));
    EXPECT_EQ(OSRImportFromEPSG(srs.get(), code), OGRERR_NONE);
    return ExportToWkt(srs.get());
}

}  // namespace

TEST(Composition, ImpossibleGeographicDefinitionsAreRefused)
{
    struct Case {
        const char* what;
        void (*change)(GeogDefinition&);
        GeogProblem problem;
    };
    const Case cases[] = {
        {"as defined", [](GeogDefinition&) {}, GeogProblem::None},
        {"a sphere", [](GeogDefinition& d) { d.inverseFlattening = 0; }, GeogProblem::None},
        {"semi-minor given", [](GeogDefinition& d) { d.semiMinorGiven = true, d.semiMinorAxis = 6356752.3; },
         GeogProblem::None},
        {"semi-major 0", [](GeogDefinition& d) { d.semiMajorAxis = 0; }, GeogProblem::BadSemiMajorAxis},
        {"semi-major negative", [](GeogDefinition& d) { d.semiMajorAxis = -6378137; }, GeogProblem::BadSemiMajorAxis},
        {"semi-minor above", [](GeogDefinition& d) { d.semiMinorGiven = true, d.semiMinorAxis = 7e6; },
         GeogProblem::BadSemiMinorAxis},
        {"semi-minor 0", [](GeogDefinition& d) { d.semiMinorGiven = true, d.semiMinorAxis = 0; },
         GeogProblem::BadSemiMinorAxis},
        {"inverse flattening negative", [](GeogDefinition& d) { d.inverseFlattening = -3; },
         GeogProblem::BadInverseFlattening},
        {"inverse flattening 0.5", [](GeogDefinition& d) { d.inverseFlattening = 0.5; },
         GeogProblem::BadInverseFlattening},
        {"zero radians", [](GeogDefinition& d) { d.radiansPerUnit = 0; }, GeogProblem::BadAngularUnit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GeogDefinition d = Wgs84Like();
        c.change(d);
        const ComposedGeog composed = ComposeGeogSystem(d);
        EXPECT_EQ(composed.problem, c.problem);
        EXPECT_EQ(composed.wkt.empty(), c.problem != GeogProblem::None);
    }
}

TEST(Composition, AShiftIsWrittenOnlyWhenKnown)
{
    GeogDefinition d = Wgs84Like();
    EXPECT_EQ(ComposeGeogSystem(d).wkt.find("TOWGS84"), std::string::npos);
    d.hasShift = true;
    d.toWgs84[0] = -15;
    OsrHandle srs = NewSpatialReference(ComposeGeogSystem(d).wkt);
    double shift[7];
    ASSERT_EQ(OSRGetTOWGS84(srs.get(), shift, 7), OGRERR_NONE);
    EXPECT_EQ(shift[0], -15);
}

TEST(Composition, UnusableProjectedSystemsAreRefused)
{
    const std::map<std::string, double> tm{{"central_meridian", 117}, {"false_easting", 500000},
                                           {"false_northing", 0}, {"latitude_of_origin", 0},
                                           {"scale_factor", 0.9996}};
    auto with = [&](const char* name, double value) {
        auto p = tm;
        p[name] = value;
        return p;
    };
    struct Case {
        const char* what;
        SystemChoice choice;
        CompositionProblem problem;
    };
    SystemChoice badFactor = CustomChoice("Transverse_Mercator", tm), nanFactor = badFactor, noGeog = badFactor;
    badFactor.unitFactor = -1;
    nanFactor.unitFactor = std::nan("");
    noGeog.geogWkt.clear();
    SystemChoice utm = CustomChoice("Transverse_Mercator", tm), gaussKrueger = utm;
    utm.category = kUtmCategoryPosition;
    gaussKrueger.category = kBeijing1954CategoryPosition;
    const Case cases[] = {
        {"usable", CustomChoice("Transverse_Mercator", tm), CompositionProblem::None},
        {"scale 0", CustomChoice("Transverse_Mercator", with("scale_factor", 0)), CompositionProblem::Unusable},
        {"conic parallels 0", CustomChoice("Lambert_Conformal_Conic_2SP", {{"standard_parallel_1", 0}}),
         CompositionProblem::Unusable},
        {"negative factor", badFactor, CompositionProblem::BadUnitFactor},
        {"factor not a number", nanFactor, CompositionProblem::BadUnitFactor},
        {"no geographic system", noGeog, CompositionProblem::NoGeographicSystem},
        {"UTM zone 50", utm, CompositionProblem::None},
        {"Gauss-Krueger without its zone", gaussKrueger, CompositionProblem::NoZone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ComposedSystem composed = ComposeSystem(c.choice);
        EXPECT_EQ(composed.problem, c.problem);
        EXPECT_EQ(composed.wkt.empty(), c.problem != CompositionProblem::None);
    }
}

TEST(Composition, WhatWasRestoredKeepsItsIdentityAndAxes)
{
    // Krovak, south/west: unchanged it comes back whole; edited, its axes stay.
    const std::string krovak = WktOfEpsg(2065);
    OsrHandle restored = NewSpatialReference(krovak);
    SystemChoice c = CustomChoice("Krovak", {});
    c.category = 4;  // the restored system's own entry
    c.categoryText = AttrValue(restored.get(), "PROJCS");
    c.geogName = ListedGeogName(restored.get());
    c.geogWkt = kWgs84;  // a catalogue entry of the same name would not matter
    for (const char* name : {"azimuth", "false_easting", "false_northing", "latitude_of_center",
                             "longitude_of_center", "pseudo_standard_parallel_1", "scale_factor"})
        c.parameters[name] = OSRGetProjParm(restored.get(), name, 0, nullptr);
    c.restoredWkt = krovak;
    EXPECT_EQ(ComposeSystem(c).wkt, krovak);

    c.parameters["false_easting"] = 1000;
    OsrHandle edited = NewSpatialReference(ComposeSystem(c).wkt);
    ASSERT_NE(edited, nullptr);
    OGRAxisOrientation first = OAO_Other, second = OAO_Other;
    OSRGetAxis(edited.get(), "PROJCS", 0, &first);
    OSRGetAxis(edited.get(), "PROJCS", 1, &second);
    EXPECT_EQ(first, OAO_South);
    EXPECT_EQ(second, OAO_West);
    EXPECT_EQ(OSRGetProjParm(edited.get(), "false_easting", 0, nullptr), 1000);
    EXPECT_TRUE(OSRIsSameGeogCS(edited.get(), restored.get())) << "its own geographic system, not the catalogue's";

    // A handed-in geographic system keeps its shift while its entry is kept.
    const std::string shifted =
        "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563],"
        "TOWGS84[1,2,3,0,0,0,0]],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]";
    SystemChoice geographic;
    geographic.geogName = "WGS 84";
    geographic.geogWkt = kWgs84;
    geographic.restoredWkt = shifted;
    EXPECT_NE(ComposeSystem(geographic).wkt.find("TOWGS84[1,2,3"), std::string::npos);
    geographic.restoredWkt.clear();
    EXPECT_EQ(ComposeSystem(geographic).wkt.find("TOWGS84"), std::string::npos);
}

TEST(Composition, ProjectedChoicesFollowTheirCategorysRule)
{
    const std::map<std::string, double> tm{{"central_meridian", 117}, {"false_easting", 500000},
                                           {"false_northing", 0}, {"latitude_of_origin", 0},
                                           {"scale_factor", 0.9996}};
    // UTM: the zone of the listed meridian, in the hemisphere of the zone last applied.
    SystemChoice utm = CustomChoice("Transverse_Mercator", tm);
    utm.category = kUtmCategoryPosition;
    utm.northern = false;
    utm.parameters["false_northing"] = 10000000;  // as the southern zone's list holds it
    OsrHandle south = NewSpatialReference(ComposeSystem(utm).wkt);
    ASSERT_NE(south, nullptr);
    int northern = 1;
    EXPECT_EQ(OSRGetUTMZone(south.get(), &northern), 50);
    EXPECT_EQ(northern, 0);
    utm.parameters["false_easting"] = 400000;
    OsrHandle edited = NewSpatialReference(ComposeSystem(utm).wkt);
    EXPECT_EQ(OSRGetProjParm(edited.get(), "false_easting", -1, nullptr), 400000) << "the list's values go on top";

    // Gauss-Krueger: the zone's own system, with the list's values and unit.
    SystemChoice gk = CustomChoice("Gauss_Kruger", tm);
    gk.category = kXian1980CategoryPosition;
    gk.zoneWkt = WktOfEpsg(4549);  // CGCS2000 / 3-degree Gauss-Kruger CM 117E stands in for a zone
    gk.parameters["false_easting"] = 123;
    gk.unitName = "foot";
    gk.unitFactor = 0.3048;
    OsrHandle zone = NewSpatialReference(ComposeSystem(gk).wkt);
    ASSERT_NE(zone, nullptr);
    EXPECT_EQ(AttrValue(zone.get(), "GEOGCS"), "China Geodetic Coordinate System 2000");
    EXPECT_EQ(OSRGetProjParm(zone.get(), "false_easting", -1, nullptr), 123);
    EXPECT_EQ(OSRGetLinearUnits(zone.get(), nullptr), 0.3048);

    // Custom: named by its category, the method and values as listed.
    OsrHandle custom = NewSpatialReference(ComposeSystem(CustomChoice("Mercator_1SP", {{"scale_factor", 1}})).wkt);
    ASSERT_NE(custom, nullptr);
    EXPECT_EQ(AttrValue(custom.get(), "PROJCS"), "<Custom Projection Coordinate System>");
    EXPECT_EQ(AttrValue(custom.get(), "PROJECTION"), "Mercator_1SP");
    EXPECT_EQ(AttrValue(custom.get(), "GEOGCS"), "WGS 84");
}
