#include "map/AreaOfUse.h"

#include <cmath>

#include "util/NumberText.h"

namespace {

// "12°E", "1.5°W": as EPSG writes a zone's meridians, whatever the locale.
std::string Longitude(double degrees)
{
    return FormatGeneral(std::fabs(degrees), 5) + "°" + (degrees < 0 ? "W" : "E");
}

double Wrapped(double longitude)
{
    return longitude > 180.0 ? longitude - 360.0 : longitude < -180.0 ? longitude + 360.0 : longitude;
}

}  // namespace

bool AreaOfUse::Contains(double latitude, double longitude) const
{
    if (!bounded || latitude < south || latitude > north)
        return false;
    return west <= east ? longitude >= west && longitude <= east : longitude >= west || longitude <= east;
}

double AreaOfUse::Size() const
{
    if (!bounded)
        return 360.0 * 180.0;
    return (west <= east ? east - west : east - west + 360.0) * (north - south);
}

AreaOfUse ZoneBand(double meridian, double width, bool northern)
{
    AreaOfUse band;
    band.west = Wrapped(meridian - width / 2);
    band.east = Wrapped(meridian + width / 2);
    band.south = northern ? 0.0 : -80.0;
    band.north = northern ? 84.0 : 0.0;
    band.bounded = std::isfinite(meridian) && width > 0;
    band.name = "Between " + Longitude(band.west) + " and " + Longitude(band.east) +
                (northern ? ", northern hemisphere between equator and 84°N"
                          : ", southern hemisphere between 80°S and equator");
    return band;
}
