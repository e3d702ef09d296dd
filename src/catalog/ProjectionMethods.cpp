#include "catalog/ProjectionMethods.h"

// clang-format off
const char* const g_projMethodTable[] = {
    "Transverse_Mercator", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", "scale_factor", nullptr,
    "Gauss_Kruger", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", "scale_factor", nullptr,
    "Transverse_Mercator_South_Orientated", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", "scale_factor", nullptr,
    "Tunisia_Mining_Grid", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", nullptr,
    "Albers_Conic_Equal_Area", "false_easting", "false_northing", "latitude_of_center", "longitude_of_center", "standard_parallel_1", "standard_parallel_2", nullptr,
    "Azimuthal_Equidistant", "false_easting", "false_northing", "latitude_of_center", "longitude_of_center", nullptr,
    "Bonne", "central_meridian", "false_easting", "false_northing", "standard_parallel_1", nullptr,
    "Cylindrical_Equal_Area", "central_meridian", "false_easting", "false_northing", "standard_parallel_1", nullptr,
    "Cassini_Soldner", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", nullptr,
    "Equidistant_Conic", "false_easting", "false_northing", "latitude_of_center", "longitude_of_center", "standard_parallel_1", "standard_parallel_2", nullptr,
    "Eckert_IV", "central_meridian", "false_easting", "false_northing", nullptr,
    "Eckert_VI", "central_meridian", "false_easting", "false_northing", nullptr,
    "Equirectangular", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", "standard_parallel_1", nullptr,
    "Gall_Stereographic", "central_meridian", "false_easting", "false_northing", nullptr,
    "Gnomonic", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", nullptr,
    "Hotine_Oblique_Mercator", "azimuth", "false_easting", "false_northing", "latitude_of_center", "longitude_of_center", "rectified_grid_angle", "scale_factor", nullptr,
    "Hotine_Oblique_Mercator_Two_Point_Natural_Origin", "false_easting", "false_northing", "latitude_of_center", "latitude_of_point_1", "latitude_of_point_2", "longitude_of_point_1", "longitude_of_point_2", "scale_factor", nullptr,
    "Lambert_Azimuthal_Equal_Area", "false_easting", "false_northing", "latitude_of_center", "longitude_of_center", nullptr,
    "Lambert_Conformal_Conic_2SP", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", "standard_parallel_1", "standard_parallel_2", nullptr,
    "Lambert_Conformal_Conic_1SP", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", "scale_factor", nullptr,
    "Lambert_Conformal_Conic_2SP_Belgium", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", "standard_parallel_1", "standard_parallel_2", nullptr,
    "Miller_Cylindrical", "false_easting", "false_northing", "latitude_of_center", "longitude_of_center", nullptr,
    "Mercator_1SP", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", "scale_factor", nullptr,
    "Mercator_2SP", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", "standard_parallel_1", nullptr,
    "Mollweide", "central_meridian", "false_easting", "false_northing", nullptr,
    "New_Zealand_Map_Grid", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", nullptr,
    "Orthographic", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", nullptr,
    "Polyconic", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", nullptr,
    "Polar_Stereographic", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", "scale_factor", nullptr,
    "Robinson", "false_easting", "false_northing", "longitude_of_center", nullptr,
    "Sinusoidal", "false_easting", "false_northing", "longitude_of_center", nullptr,
    "Stereographic", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", "scale_factor", nullptr,
    "Swiss_Oblique_Cylindrical", "central_meridian", "false_easting", "false_northing", "latitude_of_center", nullptr,
    "Oblique_Stereographic", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", "scale_factor", nullptr,
    "VanDerGrinten", "central_meridian", "false_easting", "false_northing", nullptr,
    "Geostationary_Satellite", "central_meridian", "false_easting", "false_northing", "satellite_height", nullptr,
    "Krovak", "azimuth", "false_easting", "false_northing", "latitude_of_center", "longitude_of_center", "pseudo_standard_parallel_1", "scale_factor", nullptr,
    "Two_Point_Equidistant", "Latitude_Of_1st_Point", "Latitude_Of_2nd_Point", "Longitude_Of_1st_Point", "Longitude_Of_2nd_Point", "false_easting", "false_northing", nullptr,
    "International_Map_of_the_World_Polyconic", "Latitude_Of_1st_Point", "Latitude_Of_2nd_Point", "central_meridian", "false_easting", "false_northing", nullptr,
    "Wagner_I", "false_easting", "false_northing", nullptr,
    "Wagner_II", "false_easting", "false_northing", nullptr,
    "Wagner_III", "false_easting", "false_northing", "latitude_of_origin", nullptr,
    "Wagner_IV", "false_easting", "false_northing", nullptr,
    "Wagner_V", "false_easting", "false_northing", nullptr,
    "Wagner_VI", "false_easting", "false_northing", nullptr,
    "Wagner_VII", "false_easting", "false_northing", nullptr,
    "Gauss_Schreiber_Transverse_Mercator", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", "scale_factor", nullptr,
    nullptr,
};
// clang-format on

double DefaultParameterValue(const std::string& name)
{
    return name == "scale_factor" ? 1.0 : 0.0;
}

std::vector<ProjectionMethod> BuildProjectionMethods()
{
    std::vector<ProjectionMethod> methods;
    const char* const* entry = g_projMethodTable;
    while (*entry) {
        ProjectionMethod method;
        method.name = *entry++;
        for (; *entry; ++entry)
            method.parameters[*entry] = DefaultParameterValue(*entry);
        ++entry;  // the end mark of this method
        methods.push_back(std::move(method));
    }
    return methods;
}

int FindProjectionMethod(const std::vector<ProjectionMethod>& methods, const std::string& name)
{
    for (std::size_t i = 0; i < methods.size(); ++i)
        if (methods[i].name == name)
            return static_cast<int>(i);
    return -1;
}
