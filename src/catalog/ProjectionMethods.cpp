#include "catalog/ProjectionMethods.h"


#include "util/NumberText.h"
#include "util/Text.h"

// clang-format off
const char* const g_projMethodTable[] = {
    "Transverse_Mercator", "latitude_of_origin", "central_meridian", "scale_factor", "false_easting", "false_northing", nullptr,
    "Gauss_Kruger", "latitude_of_origin", "central_meridian", "scale_factor", "false_easting", "false_northing", nullptr,
    "Transverse_Mercator_South_Orientated", "latitude_of_origin", "central_meridian", "scale_factor", "false_easting", "false_northing", nullptr,
    "Tunisia_Mining_Grid", "latitude_of_origin", "central_meridian", "false_easting", "false_northing", nullptr,
    "Albers_Conic_Equal_Area", "latitude_of_center", "longitude_of_center", "standard_parallel_1", "standard_parallel_2", "false_easting", "false_northing", nullptr,
    "Azimuthal_Equidistant", "latitude_of_center", "longitude_of_center", "false_easting", "false_northing", nullptr,
    "Bonne", "standard_parallel_1", "central_meridian", "false_easting", "false_northing", nullptr,
    "Cylindrical_Equal_Area", "standard_parallel_1", "central_meridian", "false_easting", "false_northing", nullptr,
    "Cassini_Soldner", "latitude_of_origin", "central_meridian", "false_easting", "false_northing", nullptr,
    "Equidistant_Conic", "latitude_of_center", "longitude_of_center", "standard_parallel_1", "standard_parallel_2", "false_easting", "false_northing", nullptr,
    "Eckert_IV", "central_meridian", "false_easting", "false_northing", nullptr,
    "Eckert_VI", "central_meridian", "false_easting", "false_northing", nullptr,
    "Equirectangular", "latitude_of_origin", "central_meridian", "standard_parallel_1", "false_easting", "false_northing", nullptr,
    "Gall_Stereographic", "central_meridian", "false_easting", "false_northing", nullptr,
    "Gnomonic", "latitude_of_origin", "central_meridian", "false_easting", "false_northing", nullptr,
    "Hotine_Oblique_Mercator", "latitude_of_center", "longitude_of_center", "azimuth", "rectified_grid_angle", "scale_factor", "false_easting", "false_northing", nullptr,
    "Hotine_Oblique_Mercator_Two_Point_Natural_Origin", "latitude_of_center", "latitude_of_point_1", "longitude_of_point_1", "latitude_of_point_2", "longitude_of_point_2", "scale_factor", "false_easting", "false_northing", nullptr,
    "Lambert_Azimuthal_Equal_Area", "latitude_of_center", "longitude_of_center", "false_easting", "false_northing", nullptr,
    "Lambert_Conformal_Conic_2SP", "latitude_of_origin", "central_meridian", "standard_parallel_1", "standard_parallel_2", "false_easting", "false_northing", nullptr,
    "Lambert_Conformal_Conic_1SP", "latitude_of_origin", "central_meridian", "scale_factor", "false_easting", "false_northing", nullptr,
    "Lambert_Conformal_Conic_2SP_Belgium", "latitude_of_origin", "central_meridian", "standard_parallel_1", "standard_parallel_2", "false_easting", "false_northing", nullptr,
    "Miller_Cylindrical", "latitude_of_center", "longitude_of_center", "false_easting", "false_northing", nullptr,
    "Mercator_1SP", "latitude_of_origin", "central_meridian", "scale_factor", "false_easting", "false_northing", nullptr,
    "Mercator_2SP", "standard_parallel_1", "latitude_of_origin", "central_meridian", "false_easting", "false_northing", nullptr,
    "Mollweide", "central_meridian", "false_easting", "false_northing", nullptr,
    "New_Zealand_Map_Grid", "latitude_of_origin", "central_meridian", "false_easting", "false_northing", nullptr,
    "Orthographic", "latitude_of_origin", "central_meridian", "false_easting", "false_northing", nullptr,
    "Polyconic", "latitude_of_origin", "central_meridian", "false_easting", "false_northing", nullptr,
    "Polar_Stereographic", "latitude_of_origin", "central_meridian", "scale_factor", "false_easting", "false_northing", nullptr,
    "Robinson", "longitude_of_center", "false_easting", "false_northing", nullptr,
    "Sinusoidal", "longitude_of_center", "false_easting", "false_northing", nullptr,
    "Stereographic", "latitude_of_origin", "central_meridian", "scale_factor", "false_easting", "false_northing", nullptr,
    "Swiss_Oblique_Cylindrical", "latitude_of_center", "central_meridian", "false_easting", "false_northing", nullptr,
    "Oblique_Stereographic", "latitude_of_origin", "central_meridian", "scale_factor", "false_easting", "false_northing", nullptr,
    "VanDerGrinten", "central_meridian", "false_easting", "false_northing", nullptr,
    "Geostationary_Satellite", "central_meridian", "satellite_height", "false_easting", "false_northing", nullptr,
    "Krovak", "latitude_of_center", "longitude_of_center", "azimuth", "pseudo_standard_parallel_1", "scale_factor", "false_easting", "false_northing", nullptr,
    "Two_Point_Equidistant", "Latitude_Of_1st_Point", "Longitude_Of_1st_Point", "Latitude_Of_2nd_Point", "Longitude_Of_2nd_Point", "false_easting", "false_northing", nullptr,
    "International_Map_of_the_World_Polyconic", "central_meridian", "Latitude_Of_1st_Point", "Latitude_Of_2nd_Point", "false_easting", "false_northing", nullptr,
    "Wagner_I", "false_easting", "false_northing", nullptr,
    "Wagner_II", "false_easting", "false_northing", nullptr,
    "Wagner_III", "latitude_of_origin", "false_easting", "false_northing", nullptr,
    "Wagner_IV", "false_easting", "false_northing", nullptr,
    "Wagner_V", "false_easting", "false_northing", nullptr,
    "Wagner_VI", "false_easting", "false_northing", nullptr,
    "Wagner_VII", "false_easting", "false_northing", nullptr,
    "Gauss_Schreiber_Transverse_Mercator", "latitude_of_origin", "central_meridian", "scale_factor", "false_easting", "false_northing", nullptr,
    // The methods GDAL 3 writes in WKT1 beyond the first 47, with values that
    // make a usable system where 0 would not.
    "Hotine_Oblique_Mercator_Azimuth_Center", "latitude_of_center=45", "longitude_of_center", "azimuth=90", "rectified_grid_angle=90", "scale_factor", "false_easting", "false_northing", nullptr,
    "Laborde_Oblique_Mercator", "latitude_of_center=-18.9", "longitude_of_center=44.1", "azimuth=18.9", "scale_factor=0.9995", "false_easting", "false_northing", nullptr,
    "Lambert_Conic_Conformal_(West_Orientated)", "Latitude of natural origin=30", "Longitude of natural origin", "Scale factor at natural origin", "False easting", "False northing", nullptr,
    "Lambert_Conic_Near-Conformal", "Latitude of natural origin=34.65", "Longitude of natural origin=37.35", "Scale factor at natural origin=0.9996256", "False easting", "False northing", nullptr,
    "Polar_Stereographic_(variant_C)", "Latitude of standard parallel=-67", "Longitude of origin=140", "Easting at false origin", "Northing at false origin", nullptr,
    "Bonne_(South_Orientated)", "Latitude of natural origin=-14.8", "Longitude of natural origin=16.2", "False easting", "False northing", nullptr,
    "Krovak_Modified", "Latitude of projection centre=49.5", "Longitude of origin=24.8333333333333", "Co-latitude of cone axis=30.2881397527778", "Latitude of pseudo standard parallel=78.5", "Scale factor on pseudo standard parallel=0.9999", "False easting=5000000", "False northing=5000000", nullptr,
    "Krovak_Modified_(North_Orientated)", "Latitude of projection centre=49.5", "Longitude of origin=24.8333333333333", "Co-latitude of cone axis=30.2881397527778", "Latitude of pseudo standard parallel=78.5", "Scale factor on pseudo standard parallel=0.9999", "False easting=5000000", "False northing=5000000", nullptr,
    "Tunisia_Mapping_Grid", "latitude_of_origin", "central_meridian", "false_easting", "false_northing", nullptr,
    "Popular_Visualisation_Pseudo_Mercator", "latitude_of_origin", "central_meridian", "false_easting", "false_northing", nullptr,
    "Equal_Earth", "central_meridian", "false_easting", "false_northing", nullptr,
    "Colombia Urban", "Latitude of natural origin=4.68", "Longitude of natural origin=-74.15", "False easting", "False northing", "Projection plane origin height=2550", nullptr,
    "Eckert_I", "central_meridian", "false_easting", "false_northing", nullptr,
    "Eckert_II", "central_meridian", "false_easting", "false_northing", nullptr,
    "Eckert_III", "central_meridian", "false_easting", "false_northing", nullptr,
    "Eckert_V", "central_meridian", "false_easting", "false_northing", nullptr,
    "Goode_Homolosine", "central_meridian", "false_easting", "false_northing", nullptr,
    "Interrupted_Goode_Homolosine", "central_meridian", "false_easting", "false_northing", nullptr,
    "Aitoff", "central_meridian", "false_easting", "false_northing", nullptr,
    "Winkel_I", "central_meridian", "standard_parallel_1=50.4597762521898", "false_easting", "false_northing", nullptr,
    "Winkel_II", "central_meridian", "standard_parallel_1=50.4597762521898", "false_easting", "false_northing", nullptr,
    "Winkel_Tripel", "central_meridian", "standard_parallel_1=50.4597762521898", "false_easting", "false_northing", nullptr,
    "Craster_Parabolic", "central_meridian", "false_easting", "false_northing", nullptr,
    "Loximuthal", "latitude_of_origin=40", "central_meridian", "false_easting", "false_northing", nullptr,
    "Quartic_Authalic", "central_meridian", "false_easting", "false_northing", nullptr,
    "Natural_Earth", "central_meridian", "false_easting", "false_northing", nullptr,
    "Natural_Earth_II", "central_meridian", "false_easting", "false_northing", nullptr,
    "Compact_Miller", "central_meridian", "false_easting", "false_northing", nullptr,
    "Patterson", "central_meridian", "false_easting", "false_northing", nullptr,
    "Times", "central_meridian", "false_easting", "false_northing", nullptr,
    "Flat_Polar_Quartic", "central_meridian", "false_easting", "false_northing", nullptr,
    "Quadrilateralized_Spherical_Cube", "latitude_of_origin", "central_meridian", "false_easting", "false_northing", nullptr,
    nullptr,
};
// clang-format on

double DefaultParameterValue(const std::string& name)
{
    // WKT1's name, and the EPSG names some methods are written with.
    const std::string lower = LowerAscii(name);
    return lower == "scale_factor" || lower.rfind("scale factor", 0) == 0 ? 1.0 : 0.0;
}

std::vector<ProjectionMethod> BuildProjectionMethods()
{
    std::vector<ProjectionMethod> methods;
    const char* const* entry = g_projMethodTable;
    while (*entry) {
        ProjectionMethod method;
        method.name = *entry++;
        for (; *entry; ++entry) {
            // "name=value": a value other than the default.
            const std::string text = *entry;
            const std::size_t equals = text.find('=');
            const std::string name = text.substr(0, equals);
            method.parameters[name] =
                equals == std::string::npos ? DefaultParameterValue(name) : LeadingDouble(text.substr(equals + 1));
            method.writtenOrder.push_back(name);
        }
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
