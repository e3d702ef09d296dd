#include "catalog/PredefinedSystems.h"

#include <cmath>
#include <cstdio>

const char kCustomCategory[] = "<Custom Projection Coordinate System>";
const char kUtmCategory[] = "Universal Transverse Mercator";
const char kBeijing1954Category[] = "Gauss Krueger (Beijing 1954)";
const char kXian1980Category[] = "Gauss Krueger (Xian 1980)";
const char kGeographicCategory[] = "Geographic (Latitude/Longitude)";

const char kWgs84DefaultWkt[] =
    "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563,"
    "AUTHORITY[\"EPSG\",\"7030\"]],TOWGS84[0,0,0,0,0,0,0],AUTHORITY[\"EPSG\",\"6326\"]],"
    "PRIMEM[\"Greenwich\",0,AUTHORITY[\"EPSG\",\"8901\"]],UNIT[\"degree\",0.0174532925199433,"
    "AUTHORITY[\"EPSG\",\"9108\"]],AUTHORITY[\"EPSG\",\"4326\"]]";

std::vector<std::string> ProjectedCategories()
{
    return {kCustomCategory, kUtmCategory, kBeijing1954Category, kXian1980Category};
}

int UtmZoneOfPosition(int position)
{
    return position < 60 ? 60 - position : position - 59;
}

bool UtmPositionIsNorthern(int position)
{
    return position >= 60;
}

int UtmPositionOfZone(int zone, bool northern)
{
    return northern ? zone + 59 : 60 - zone;
}

std::string UtmZoneText(int position)
{
    const int n = UtmZoneOfPosition(position);
    char text[64];
    if (position < 30)
        std::snprintf(text, sizeof text, "%3d (%3dE - %3dE - Southern Hemisphere)", -n, 6 * n - 180, 6 * n - 186);
    else if (position < 60)
        std::snprintf(text, sizeof text, "%3d (%3dW - %3dW - Southern Hemisphere)", -n, 186 - 6 * n, 180 - 6 * n);
    else if (position < 90)
        std::snprintf(text, sizeof text, "%3d (%3dW - %3dW - Northern Hemisphere)", n, 186 - 6 * n, 180 - 6 * n);
    else
        std::snprintf(text, sizeof text, "%3d (%3dE - %3dE - Northern Hemisphere)", n, 6 * n - 186, 6 * n - 180);
    return text;
}

int UtmZoneOfMeridian(double centralMeridian)
{
    const double zone = std::floor((centralMeridian + 180.0) / 6.0) + 1;
    // Far outside any zone (or not a number): no zone at all.
    if (!(zone > -1000 && zone < 1000))
        return 0;
    return static_cast<int>(zone);
}

double NormalisedMeridian(double centralMeridian)
{
    if (!std::isfinite(centralMeridian))
        return centralMeridian;
    double cm = std::fmod(centralMeridian + 180.0, 360.0);
    if (cm < 0)
        cm += 360.0;
    return cm - 180.0;
}

bool operator==(const ZoneParameters& a, const ZoneParameters& b)
{
    return a.latitudeOfOrigin == b.latitudeOfOrigin && a.centralMeridian == b.centralMeridian &&
           a.falseNorthing == b.falseNorthing && a.falseEasting == b.falseEasting && a.scaleFactor == b.scaleFactor;
}

ZoneParameters UtmParameters(int zone, bool northern)
{
    return ZoneParameters{0.0, 6.0 * zone - 183.0, northern ? 0.0 : 10000000.0, 500000.0, 0.9996};
}

bool IsUtm(const ZoneParameters& values, int& zone, bool& northern)
{
    const int candidate = UtmZoneOfMeridian(values.centralMeridian);
    const bool north = IsNorthernFalseNorthing(values.falseNorthing);
    if (candidate < 1 || candidate > 60 || !(UtmParameters(candidate, north) == values))
        return false;
    zone = candidate;
    northern = north;
    return true;
}

bool IsNorthernFalseNorthing(double falseNorthing)
{
    return !(falseNorthing > 0.0);
}

std::string UtmSystemName(int zone, bool northern)
{
    return "UTM Zone " + std::to_string(zone) + (northern ? ", Northern Hemisphere" : ", Southern Hemisphere");
}
