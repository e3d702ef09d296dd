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

// Where a projection is meant to be used, before the geographic system's
// area is taken into account.
AreaOfUse ProjectionBand(const ProjectionShape& shape)
{
    if (!std::isfinite(shape.meridian))
        return AreaOfUse();
    const double meridian = NormalisedMeridian(shape.meridian);
    if (shape.zoneWidth > 0 || IsTransverseMercator(shape.method))
        return ZoneBand(meridian, shape.zoneWidth > 0 ? shape.zoneWidth : 6.0,
                        IsNorthernFalseNorthing(shape.falseNorthing));
    // Another method: around the natural origin, between its standard
    // parallels where it has them.
    AreaOfUse band = ZoneBand(meridian, 2 * kHalfWidth, true);
    double south = -80.0, north = 84.0;
    if (std::isfinite(shape.parallel1)) {
        const double other = std::isfinite(shape.parallel2) ? shape.parallel2 : shape.parallel1;
        south = std::min(shape.parallel1, other) - kHalfHeight / 2;
        north = std::max(shape.parallel1, other) + kHalfHeight / 2;
    } else if (std::isfinite(shape.origin) && shape.origin != 0.0) {
        south = shape.origin - kHalfHeight;
        north = shape.origin + kHalfHeight;
    }
    band.south = std::max(-90.0, south);
    band.north = std::min(90.0, north);
    band.name = "Between " + LongitudeText(band.west) + " and " + LongitudeText(band.east);
    return band;
}

}  // namespace

ProjectionShape ShapeOfChoice(const SystemChoice& choice)
{
    const ShownChoice& shown = choice.shown;
    ProjectionShape shape;
    shape.method = shown.methodName;
    shape.meridian = CentralMeridianOf(shown);
    const double northing = ParameterOf(shown, "false_northing");
    shape.falseNorthing = std::isfinite(northing) ? northing : 0.0;
    shape.parallel1 = ParameterOf(shown, "standard_parallel_1");
    shape.parallel2 = ParameterOf(shown, "standard_parallel_2");
    shape.origin = FirstParameterOf(shown, {"latitude_of_origin", "latitude_of_center"});
    const bool zoned = shown.zone >= 0 && (shown.category == kUtmCategoryPosition ||
                                           shown.category == kBeijing1954CategoryPosition ||
                                           shown.category == kXian1980CategoryPosition);
    if (zoned) {
        // The band follows the meridian shown, edits included.
        const std::vector<std::string> zones = ZoneEntries(choice);
        const bool threeDegrees = static_cast<std::size_t>(shown.zone) < zones.size() &&
                                  zones[static_cast<std::size_t>(shown.zone)].find("3-degree") != std::string::npos;
        shape.zoneWidth = threeDegrees ? 3.0 : 6.0;
    }
    return shape;
}

ProjectionShape ShapeOfSystem(OGRSpatialReferenceH srs)
{
    ProjectionShape shape;
    if (!srs || !OSRIsProjected(srs))
        return shape;
    const char* method = OSRGetAttrValue(srs, "PROJECTION", 0);
    shape.method = method ? method : "";
    const auto parameter = [srs](std::initializer_list<const char*> names) {
        for (const char* name : names) {
            OGRErr error = OGRERR_NONE;
            const double value = OSRGetProjParm(srs, name, std::nan(""), &error);
            if (error == OGRERR_NONE && std::isfinite(value))
                return value;
        }
        return std::nan("");
    };
    shape.meridian = parameter({SRS_PP_CENTRAL_MERIDIAN, SRS_PP_LONGITUDE_OF_CENTER, SRS_PP_LONGITUDE_OF_ORIGIN});
    const double northing = parameter({SRS_PP_FALSE_NORTHING});
    shape.falseNorthing = std::isfinite(northing) ? northing : 0.0;
    shape.parallel1 = parameter({SRS_PP_STANDARD_PARALLEL_1});
    shape.parallel2 = parameter({SRS_PP_STANDARD_PARALLEL_2});
    shape.origin = parameter({SRS_PP_LATITUDE_OF_ORIGIN, SRS_PP_LATITUDE_OF_CENTER});
    return shape;
}

AreaOfUse ProjectionArea(const ProjectionShape& shape, const AreaOfUse* geogArea)
{
    const AreaOfUse band = ProjectionBand(shape);
    return band.bounded && geogArea ? Clipped(band, *geogArea) : band;
}

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
        const AreaOfUse band = ProjectionArea(ShapeOfChoice(choice), geogArea);
        if (band.bounded)
            return band;
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
