// The predefined projected systems: the four categories, the 120 UTM zones
// and the rules between list position, zone, hemisphere and meridian.
#pragma once

#include <string>
#include <vector>

extern const char kCustomCategory[];        // "<Custom Projection Coordinate System>"
extern const char kUtmCategory[];           // "Universal Transverse Mercator"
extern const char kBeijing1954Category[];   // "Gauss Krueger (Beijing 1954)"
extern const char kXian1980Category[];      // "Gauss Krueger (Xian 1980)"
extern const char kGeographicCategory[];    // "Geographic (Latitude/Longitude)"

enum CategoryPosition : int {
    kCustomCategoryPosition = 0,
    kUtmCategoryPosition = 1,
    kBeijing1954CategoryPosition = 2,
    kXian1980CategoryPosition = 3,
};

// The four categories in list order.
std::vector<std::string> ProjectedCategories();

// The WGS 84 geographic system the chooser falls back on (279 characters).
extern const char kWgs84DefaultWkt[];

enum : int { kUtmZoneCount = 120 };

// The text of UTM list position 0..119, e.g. " 50 (114E - 120E - Northern Hemisphere)".
std::string UtmZoneText(int position);
// Position 0..59 is zone 60 - position, southern; 60..119 zone position - 59, northern.
int UtmZoneOfPosition(int position);
bool UtmPositionIsNorthern(int position);
int UtmPositionOfZone(int zone, bool northern);
// floor((cm + 180) / 6) + 1.
int UtmZoneOfMeridian(double centralMeridian);
// The same meridian in -180 <= cm < 180.
double NormalisedMeridian(double centralMeridian);
// A zone's five parameters (UTM's, a Gauss-Krueger zone's).
struct ZoneParameters {
    double latitudeOfOrigin = 0.0;
    double centralMeridian = 0.0;
    double falseNorthing = 0.0;
    double falseEasting = 0.0;
    double scaleFactor = 1.0;
};
bool operator==(const ZoneParameters& a, const ZoneParameters& b);
// The UTM pair, one rule each way: a zone's parameters, and whether
// parameters are exactly a zone's (its zone and hemisphere).
ZoneParameters UtmParameters(int zone, bool northern);
bool IsUtm(const ZoneParameters& values, int& zone, bool& northern);
// The hemisphere a false northing says: the south only for a positive one
// (UTM's south is 10,000,000 m; a zone's north, 0).
bool IsNorthernFalseNorthing(double falseNorthing);
// GDAL 1.8's name of a UTM system, e.g. "UTM Zone 50, Northern Hemisphere".
std::string UtmSystemName(int zone, bool northern);
