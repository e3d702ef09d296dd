// The editor's composition of a geographic system, on the plain function it calls.
#include <gtest/gtest.h>

#include "catalog/Composition.h"
#include "module/GdalSupport.h"

namespace {

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
