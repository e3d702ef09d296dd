#include <gtest/gtest.h>

#include "catalog/ProjectionMethods.h"

namespace {

std::vector<std::string> ParameterNames(const ProjectionMethod& method)
{
    std::vector<std::string> names;
    for (const auto& [name, value] : method.parameters) {
        names.push_back(name);
        EXPECT_EQ(value, DefaultParameterValue(name)) << method.name << " " << name;
    }
    return names;
}

}  // namespace

TEST(ProjectionMethods, TheFirstFortySevenInTheirFixedOrderThenGdalsOthers)
{
    const std::vector<ProjectionMethod> methods = BuildProjectionMethods();
    ASSERT_EQ(methods.size(), 79u);
    EXPECT_EQ(methods[kTransverseMercatorPosition].name, "Transverse_Mercator");
    EXPECT_EQ(methods[kGaussKrugerPosition].name, "Gauss_Kruger");
    EXPECT_EQ(methods[34].name, "VanDerGrinten");
    EXPECT_EQ(methods[46].name, "Gauss_Schreiber_Transverse_Mercator");
    EXPECT_EQ(methods[47].name, "Hotine_Oblique_Mercator_Azimuth_Center");
    std::size_t parameters = 0;
    for (std::size_t m = 0; m < 47; ++m)
        parameters += methods[m].parameters.size();
    EXPECT_EQ(parameters, 200u) << "the sum of the first 47 methods' parameter counts";
    // A value that makes a usable system where 0 would not.
    const ProjectionMethod& winkel = methods[FindProjectionMethod(methods, "Winkel_Tripel")];
    EXPECT_NEAR(winkel.parameters.at("standard_parallel_1"), 50.45977625, 1e-8);
    const ProjectionMethod& krovak = methods[FindProjectionMethod(methods, "Krovak_Modified")];
    EXPECT_EQ(krovak.parameters.at("Scale factor on pseudo standard parallel"), 0.9999);
}

TEST(ProjectionMethods, ParametersInByteWiseOrder)
{
    const std::vector<ProjectionMethod> methods = BuildProjectionMethods();
    EXPECT_EQ(ParameterNames(methods[FindProjectionMethod(methods, "Two_Point_Equidistant")]),
              (std::vector<std::string>{"Latitude_Of_1st_Point", "Latitude_Of_2nd_Point",
                                        "Longitude_Of_1st_Point", "Longitude_Of_2nd_Point",
                                        "false_easting", "false_northing"}));
    const auto hotine = ParameterNames(
        methods[FindProjectionMethod(methods, "Hotine_Oblique_Mercator_Two_Point_Natural_Origin")]);
    ASSERT_EQ(hotine.size(), 8u);
    EXPECT_EQ(hotine.front(), "false_easting");
    EXPECT_EQ(hotine.back(), "scale_factor");
    EXPECT_EQ(ParameterNames(methods[FindProjectionMethod(methods, "Lambert_Conformal_Conic_2SP")]),
              (std::vector<std::string>{"central_meridian", "false_easting", "false_northing",
                                        "latitude_of_origin", "standard_parallel_1",
                                        "standard_parallel_2"}));
}

TEST(ProjectionMethods, LookupIsExactAndCaseSensitive)
{
    const std::vector<ProjectionMethod> methods = BuildProjectionMethods();
    EXPECT_EQ(FindProjectionMethod(methods, "Transverse_Mercator"), 0);
    EXPECT_EQ(FindProjectionMethod(methods, "transverse_mercator"), -1);
    EXPECT_EQ(FindProjectionMethod(methods, "Transverse_Mercator "), -1);
    EXPECT_EQ(FindProjectionMethod(methods, ""), -1);
    EXPECT_EQ(FindProjectionMethod(methods, "Krovak"), 36);
}
