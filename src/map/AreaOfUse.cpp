#include "map/AreaOfUse.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "util/NumberText.h"

namespace {

double Wrapped(double longitude)
{
    return longitude > 180.0 ? longitude - 360.0 : longitude < -180.0 ? longitude + 360.0 : longitude;
}

}  // namespace

std::string LongitudeText(double degrees)
{
    return FormatGeneral(std::fabs(degrees), 5) + "°" + (degrees < 0 ? "W" : "E");
}

bool AreaOfUse::Contains(double latitude, double longitude) const
{
    if (!bounded || latitude < south || latitude > north)
        return false;
    return west <= east ? longitude >= west && longitude <= east : longitude >= west || longitude <= east;
}

bool AreaOfUse::Overlaps(const AreaOfUse& other) const
{
    if (!bounded || !other.bounded || south > other.north || north < other.south)
        return false;
    // Each one's longitudes as spans, split at the antimeridian.
    const auto spans = [](const AreaOfUse& a) {
        return a.west <= a.east ? std::vector<std::pair<double, double>>{{a.west, a.east}}
                                : std::vector<std::pair<double, double>>{{a.west, 180.0}, {-180.0, a.east}};
    };
    for (const auto& [a0, a1] : spans(*this))
        for (const auto& [b0, b1] : spans(other))
            if (a0 <= b1 && b0 <= a1)
                return true;
    return false;
}

double AreaOfUse::Size() const
{
    if (!bounded)
        return 360.0 * 180.0;
    return (west <= east ? east - west : east - west + 360.0) * (north - south);
}

namespace {

std::string Between(double west, double east)
{
    return "Between " + LongitudeText(west) + " and " + LongitudeText(east);
}

}  // namespace

AreaOfUse MeridianBand(double meridian, double width, double south, double north)
{
    AreaOfUse band;
    band.west = Wrapped(meridian - width / 2);
    band.east = Wrapped(meridian + width / 2);
    band.south = std::max(-90.0, south);
    band.north = std::min(90.0, north);
    band.bounded = std::isfinite(meridian) && width > 0;
    band.name = Between(band.west, band.east);
    return band;
}

AreaOfUse ZoneBand(double meridian, double width, bool northern)
{
    AreaOfUse band = MeridianBand(meridian, width, northern ? 0.0 : -80.0, northern ? 84.0 : 0.0);
    band.name += northern ? ", northern hemisphere between equator and 84°N"
                          : ", southern hemisphere between 80°S and equator";
    return band;
}

AreaOfUse Clipped(const AreaOfUse& band, const AreaOfUse& area)
{
    if (!band.bounded || !area.bounded)
        return band;
    AreaOfUse clipped = band;
    clipped.south = std::max(band.south, area.south);
    clipped.north = std::min(band.north, area.north);
    if (band.west <= band.east && area.west <= area.east) {
        clipped.west = std::max(band.west, area.west);
        clipped.east = std::min(band.east, area.east);
    } else {
        // Across the antimeridian: the band kept whole in longitude where
        // its middle lies in the area.
        const double middle = Wrapped(band.west + (band.west <= band.east ? band.east - band.west
                                                                        : band.east - band.west + 360.0) / 2);
        if (!area.Contains(std::clamp(0.0, area.south, area.north), middle))
            return band;
    }
    if (clipped.south >= clipped.north || clipped.west >= clipped.east + (band.west > band.east ? 360.0 : 0.0))
        return band;
    const bool whole = clipped.west == band.west && clipped.east == band.east && clipped.south == band.south &&
                       clipped.north == band.north;
    if (whole)
        return band;
    clipped.name = Between(clipped.west, clipped.east) + " within " + ShortAreaName(area.name);
    return clipped;
}

std::string ShortAreaName(const std::string& name)
{
    std::size_t end = name.size();
    for (const char* cut : {" - ", ":", ";", "(", "."}) {
        const std::size_t at = name.find(cut);
        if (at != std::string::npos && at > 0)
            end = std::min(end, at);
    }
    std::string shortName = name.substr(0, end);
    while (!shortName.empty() && (shortName.back() == ' ' || shortName.back() == ','))
        shortName.pop_back();
    return shortName.empty() ? name : shortName;
}
