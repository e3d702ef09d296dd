#include "catalog/ProjectionMethods.h"


#include "util/NumberText.h"
#include "util/Text.h"

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
    // The methods GDAL 3 writes in WKT1 beyond the first 47, with values that
    // make a usable system where 0 would not.
    "Hotine_Oblique_Mercator_Azimuth_Center", "azimuth=90", "false_easting", "false_northing", "latitude_of_center=45", "longitude_of_center", "rectified_grid_angle=90", "scale_factor", nullptr,
    "Laborde_Oblique_Mercator", "azimuth=18.9", "false_easting", "false_northing", "latitude_of_center=-18.9", "longitude_of_center=44.1", "scale_factor=0.9995", nullptr,
    "Lambert_Conic_Conformal_(West_Orientated)", "False easting", "False northing", "Latitude of natural origin=30", "Longitude of natural origin", "Scale factor at natural origin", nullptr,
    "Lambert_Conic_Near-Conformal", "False easting", "False northing", "Latitude of natural origin=34.65", "Longitude of natural origin=37.35", "Scale factor at natural origin=0.9996256", nullptr,
    "Polar_Stereographic_(variant_C)", "Easting at false origin", "Latitude of standard parallel=-67", "Longitude of origin=140", "Northing at false origin", nullptr,
    "Bonne_(South_Orientated)", "False easting", "False northing", "Latitude of natural origin=-14.8", "Longitude of natural origin=16.2", nullptr,
    "Krovak_Modified", "Co-latitude of cone axis=30.2881397527778", "False easting=5000000", "False northing=5000000", "Latitude of projection centre=49.5", "Latitude of pseudo standard parallel=78.5", "Longitude of origin=24.8333333333333", "Scale factor on pseudo standard parallel=0.9999", nullptr,
    "Krovak_Modified_(North_Orientated)", "Co-latitude of cone axis=30.2881397527778", "False easting=5000000", "False northing=5000000", "Latitude of projection centre=49.5", "Latitude of pseudo standard parallel=78.5", "Longitude of origin=24.8333333333333", "Scale factor on pseudo standard parallel=0.9999", nullptr,
    "Tunisia_Mapping_Grid", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", nullptr,
    "Popular_Visualisation_Pseudo_Mercator", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", nullptr,
    "Equal_Earth", "central_meridian", "false_easting", "false_northing", nullptr,
    "Colombia Urban", "False easting", "False northing", "Latitude of natural origin=4.68", "Longitude of natural origin=-74.15", "Projection plane origin height=2550", nullptr,
    "Eckert_I", "central_meridian", "false_easting", "false_northing", nullptr,
    "Eckert_II", "central_meridian", "false_easting", "false_northing", nullptr,
    "Eckert_III", "central_meridian", "false_easting", "false_northing", nullptr,
    "Eckert_V", "central_meridian", "false_easting", "false_northing", nullptr,
    "Goode_Homolosine", "central_meridian", "false_easting", "false_northing", nullptr,
    "Interrupted_Goode_Homolosine", "central_meridian", "false_easting", "false_northing", nullptr,
    "Aitoff", "central_meridian", "false_easting", "false_northing", nullptr,
    "Winkel_I", "central_meridian", "false_easting", "false_northing", "standard_parallel_1=50.4597762521898", nullptr,
    "Winkel_II", "central_meridian", "false_easting", "false_northing", "standard_parallel_1=50.4597762521898", nullptr,
    "Winkel_Tripel", "central_meridian", "false_easting", "false_northing", "standard_parallel_1=50.4597762521898", nullptr,
    "Craster_Parabolic", "central_meridian", "false_easting", "false_northing", nullptr,
    "Loximuthal", "central_meridian", "false_easting", "false_northing", "latitude_of_origin=40", nullptr,
    "Quartic_Authalic", "central_meridian", "false_easting", "false_northing", nullptr,
    "Natural_Earth", "central_meridian", "false_easting", "false_northing", nullptr,
    "Natural_Earth_II", "central_meridian", "false_easting", "false_northing", nullptr,
    "Compact_Miller", "central_meridian", "false_easting", "false_northing", nullptr,
    "Patterson", "central_meridian", "false_easting", "false_northing", nullptr,
    "Times", "central_meridian", "false_easting", "false_northing", nullptr,
    "Flat_Polar_Quartic", "central_meridian", "false_easting", "false_northing", nullptr,
    "Quadrilateralized_Spherical_Cube", "central_meridian", "false_easting", "false_northing", "latitude_of_origin", nullptr,
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
