#include <gtest/gtest.h>

#include "catalog/ProjectionMethods.h"

namespace {

std::vector<std::string> ParameterNames(const ProjectionMethod& method)
{
    std::vector<std::string> names;
    for (const auto& [name, value] : method.parameters) {
        names.push_back(name);
        EXPECT_EQ(value, name == "scale_factor" ? 1.0 : 0.0) << method.name << " " << name;
    }
    return names;
}

}  // namespace

TEST(ProjectionMethods, FortySevenMethodsInTheirFixedOrder)
{
    const std::vector<ProjectionMethod> methods = BuildProjectionMethods();
    ASSERT_EQ(methods.size(), 47u);
    EXPECT_EQ(methods[kTransverseMercatorPosition].name, "Transverse_Mercator");
    EXPECT_EQ(methods[kGaussKrugerPosition].name, "Gauss_Kruger");
    EXPECT_EQ(methods[34].name, "VanDerGrinten");
    EXPECT_EQ(methods[46].name, "Gauss_Schreiber_Transverse_Mercator");
    std::size_t parameters = 0;
    for (const ProjectionMethod& m : methods)
        parameters += m.parameters.size();
    EXPECT_EQ(parameters, 200u) << "the sum of the table's parameter counts";
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
