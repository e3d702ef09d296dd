#include "map/ChoiceArea.h"

#include <algorithm>
#include <cmath>

#include "catalog/PredefinedSystems.h"
#include "module/Messages.h"

namespace {

double ParameterOf(const ShownChoice& shown, const char* name)
{
    const ChoiceParameter* p = FindParameter(shown.parameters, name);
    return p ? p->value : std::nan("");
}

// The first of the parameters the choice has.
double FirstParameterOf(const ShownChoice& shown, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        const double value = ParameterOf(shown, name);
        if (std::isfinite(value))
            return value;
    }
    return std::nan("");
}

bool IsTransverseMercator(const std::string& method)
{
    return method.find("Transverse_Mercator") != std::string::npos ||
           method.find("Gauss_Kruger") != std::string::npos || method.find("Gauss-Kruger") != std::string::npos;
}

// Half the width, in degrees of longitude, of where a projection of another
// method serves well around its natural origin, and of its latitudes where
// neither parallels nor an origin say.
constexpr double kHalfWidth = 15.0;
constexpr double kHalfHeight = 20.0;

// Where the projection of a composed choice is meant to be used, before the
// geographic system's area is taken into account.
AreaOfUse ProjectionBand(const SystemChoice& choice)
{
    const ShownChoice& shown = choice.shown;
    const double meridian = CentralMeridianOf(shown);
    if (!std::isfinite(meridian))
        return AreaOfUse();
    const double northing = ParameterOf(shown, "false_northing");
    const bool zoned = shown.zone >= 0 && (shown.category == kUtmCategoryPosition ||
                                           shown.category == kBeijing1954CategoryPosition ||
                                           shown.category == kXian1980CategoryPosition);
    if (zoned || IsTransverseMercator(shown.methodName)) {
        const std::vector<std::string> zones = zoned ? ZoneEntries(choice) : std::vector<std::string>();
        const bool threeDegrees = zoned && static_cast<std::size_t>(shown.zone) < zones.size() &&
                                  zones[static_cast<std::size_t>(shown.zone)].find("3-degree") != std::string::npos;
        return ZoneBand(NormalisedMeridian(meridian), threeDegrees ? 3.0 : 6.0, IsNorthernFalseNorthing(northing));
    }
    // Another method: around the natural origin, between its standard
    // parallels where it has them.
    AreaOfUse band = ZoneBand(NormalisedMeridian(meridian), 2 * kHalfWidth, true);
    const double first = ParameterOf(shown, "standard_parallel_1");
    const double second = ParameterOf(shown, "standard_parallel_2");
    const double origin = FirstParameterOf(shown, {"latitude_of_origin", "latitude_of_center"});
    double south = -80.0, north = 84.0;
    if (std::isfinite(first)) {
        const double other = std::isfinite(second) ? second : first;
        south = std::min(first, other) - kHalfHeight / 2;
        north = std::max(first, other) + kHalfHeight / 2;
    } else if (std::isfinite(origin) && origin != 0.0) {
        south = origin - kHalfHeight;
        north = origin + kHalfHeight;
    }
    band.south = std::max(-90.0, south);
    band.north = std::min(90.0, north);
    band.name = "Between " + LongitudeText(band.west) + " and " + LongitudeText(band.east);
    return band;
}

}  // namespace

double CentralMeridianOf(const ShownChoice& shown)
{
    if (!shown.projected)
        return std::nan("");
    return FirstParameterOf(shown, {"central_meridian", "longitude_of_center", "longitude_of_origin"});
}

AreaOfUse AreaOfChoice(const SystemChoice& choice, const AreaOfUse* systemArea, const AreaOfUse* geogArea)
{
    if (systemArea && systemArea->bounded)
        return *systemArea;
    if (choice.shown.projected) {
        const AreaOfUse band = ProjectionBand(choice);
        if (band.bounded)
            return geogArea ? Clipped(band, *geogArea) : band;
    }
    if (geogArea && geogArea->bounded)
        return *geogArea;
    return AreaOfUse();
}

std::string CentreOutsideNote(const SystemChoice& choice, const AreaOfUse* geogArea)
{
    const double meridian = CentralMeridianOf(choice.shown);
    if (!geogArea || !geogArea->bounded || !std::isfinite(meridian))
        return std::string();
    const double longitude = NormalisedMeridian(meridian);
    // The meridian, at any latitude of the area.
    if (geogArea->Contains(std::clamp(0.0, geogArea->south, geogArea->north), longitude))
        return std::string();
    std::string note = MessageText(MessageId::MapCentreOutside);
    std::size_t from = 0;  // past what was put in: a name may hold "%s" itself
    const auto put = [&note, &from](const std::string& text) {
        const std::size_t at = note.find("%s", from);
        if (at != std::string::npos) {
            note.replace(at, 2, text);
            from = at + text.size();
        }
    };
    put(LongitudeText(longitude));
    put(choice.shown.geogName);
    put(ShortAreaName(geogArea->name));
    return note;
}
