#include "map/ChoiceArea.h"

#include <algorithm>
#include <cmath>

#include "catalog/Composition.h"
#include "catalog/PredefinedSystems.h"
#include "module/GdalSupport.h"
#include "module/Messages.h"

namespace {

// A projection's shape read through `parameter`, NaN for a parameter the
// system lacks: the one list of the names that say where it is centred.
template <typename Parameter>
ProjectionShape ShapeOf(std::string method, double primeMeridian, Parameter parameter)
{
    const auto first = [&parameter](std::initializer_list<const char*> names) {
        for (const char* name : names) {
            const double value = parameter(name);
            if (std::isfinite(value))
                return value;
        }
        return std::nan("");
    };
    ProjectionShape shape;
    shape.method = std::move(method);
    shape.meridian = first({SRS_PP_CENTRAL_MERIDIAN, SRS_PP_LONGITUDE_OF_CENTER, SRS_PP_LONGITUDE_OF_ORIGIN});
    const double northing = first({SRS_PP_FALSE_NORTHING});
    shape.falseNorthing = std::isfinite(northing) ? northing : 0.0;
    shape.parallel1 = first({SRS_PP_STANDARD_PARALLEL_1});
    shape.parallel2 = first({SRS_PP_STANDARD_PARALLEL_2});
    shape.origin = first({SRS_PP_LATITUDE_OF_ORIGIN, SRS_PP_LATITUDE_OF_CENTER});
    shape.primeMeridian = primeMeridian;
    return shape;
}

bool IsTransverseMercator(const std::string& method)
{
    return method.find("Transverse_Mercator") != std::string::npos ||
           method.find("Gauss_Kruger") != std::string::npos || method.find("Gauss-Kruger") != std::string::npos;
}

// What of the map a projection of that shape is meant for.
enum class Reach {
    Zone,          // a transverse Mercator's band around its central meridian
    AroundOrigin,  // another projection's: around its natural origin
    Cap,           // a polar projection's: the cap around its pole
    Whole,         // a world projection's, or one whose longitude is no centre (Krovak's is the cone's axis)
};

Reach ReachOf(const ProjectionShape& shape)
{
    if (shape.zoneWidth > 0 || IsTransverseMercator(shape.method))
        return Reach::Zone;
    static const char* const kWholeWorld[] = {
        "Robinson", "Mollweide", "Sinusoidal", "Eckert", "Equirectangular", "Plate_Carree", "Winkel", "Miller",
        "Gall", "Van_der_Grinten", "Aitoff", "Hammer", "Loximuthal", "Quartic", "Goode", "Natural_Earth",
        "Equal_Earth", "Wagner", "Cylindrical_Equal_Area", "Pseudo_Mercator", "Krovak"};
    for (const char* word : kWholeWorld) {
        if (shape.method.find(word) != std::string::npos)
            return Reach::Whole;
    }
    if (shape.method == "Mercator" || shape.method.compare(0, 9, "Mercator_") == 0)
        return Reach::Whole;
    if (shape.method.find("Polar") != std::string::npos ||
        (std::isfinite(shape.origin) && std::fabs(shape.origin) >= 89.999))
        return Reach::Cap;
    return Reach::AroundOrigin;
}

// Half the width, in degrees of longitude, of where a projection of another
// method serves well around its natural origin, and of its latitudes where
// neither parallels nor an origin say; how far from its pole a polar one serves.
constexpr double kHalfWidth = 15.0;
constexpr double kHalfHeight = 20.0;
constexpr double kCapHeight = 30.0;

// The central meridian east of Greenwich (the parameter counts from the
// geographic system's prime meridian), from 180°W to 180°E.
double GreenwichMeridian(const ProjectionShape& shape)
{
    return NormalisedMeridian(shape.meridian + shape.primeMeridian);
}

// Whether the area holds the meridian at some latitude of it (180°W is 180°E).
bool HoldsMeridian(const AreaOfUse& area, double longitude)
{
    const double latitude = std::clamp(0.0, area.south, area.north);
    return area.Contains(latitude, longitude) || (longitude == -180.0 && area.Contains(latitude, 180.0));
}

// Where a projection is meant to be used, before the geographic system's
// area is taken into account.
AreaOfUse ProjectionBand(const ProjectionShape& shape)
{
    const Reach reach = ReachOf(shape);
    if (reach == Reach::Whole)
        return AreaOfUse();
    if (reach == Reach::Cap) {
        const bool north = !(std::isfinite(shape.origin) && shape.origin < 0) &&
                           !(std::isfinite(shape.parallel1) && shape.parallel1 < 0);
        AreaOfUse cap;
        cap.west = -180, cap.east = 180;
        cap.south = north ? 90 - kCapHeight : -90;
        cap.north = north ? 90 : -90 + kCapHeight;
        cap.bounded = true;
        cap.name = north ? "North of 60°N" : "South of 60°S";
        return cap;
    }
    if (!std::isfinite(shape.meridian))
        return AreaOfUse();
    const double meridian = GreenwichMeridian(shape);
    if (reach == Reach::Zone) {
        // A listed zone's hemisphere is its false northing's, as UTM's; a
        // transverse Mercator of one's own may serve either.
        if (shape.zoneWidth > 0)
            return ZoneBand(meridian, shape.zoneWidth, IsNorthernFalseNorthing(shape.falseNorthing));
        return MeridianBand(meridian, 6.0, -80.0, 84.0);
    }
    // Another method: around the natural origin, between its standard
    // parallels where it has them.
    double south = -80.0, north = 84.0;
    if (std::isfinite(shape.parallel1)) {
        const double other = std::isfinite(shape.parallel2) ? shape.parallel2 : shape.parallel1;
        south = std::min(shape.parallel1, other) - kHalfHeight / 2;
        north = std::max(shape.parallel1, other) + kHalfHeight / 2;
    } else if (std::isfinite(shape.origin) && shape.origin != 0.0) {
        south = shape.origin - kHalfHeight;
        north = shape.origin + kHalfHeight;
    }
    return MeridianBand(meridian, 2 * kHalfWidth, south, north);
}

}  // namespace

ProjectionShape ShapeOfChoice(const SystemChoice& choice)
{
    const ShownChoice& shown = choice.shown;
    if (!shown.projected)
        return ProjectionShape();
    const OsrHandle geographic = ChosenGeographic(choice);
    ProjectionShape shape =
        ShapeOf(shown.methodName, geographic ? OSRGetPrimeMeridian(geographic.get(), nullptr) : 0.0,
                [&shown](const char* name) {
                    const ChoiceParameter* p = FindParameter(shown.parameters, name);
                    return p ? p->value : std::nan("");
                });
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
    if (!srs || !OSRIsProjected(srs))
        return ProjectionShape();
    return ShapeOf(AttrValue(srs, "PROJECTION"), OSRGetPrimeMeridian(srs, nullptr), [srs](const char* name) {
        OGRErr error = OGRERR_NONE;
        const double value = OSRGetProjParm(srs, name, std::nan(""), &error);
        return error == OGRERR_NONE ? value : std::nan("");
    });
}

AreaOfUse AreaToShow(const ProjectionShape& shape, const AreaOfUse* systemArea, const AreaOfUse* geogArea)
{
    if (systemArea && systemArea->bounded)
        return *systemArea;
    const AreaOfUse band = ProjectionBand(shape);
    if (band.bounded)
        return geogArea ? Clipped(band, *geogArea) : band;
    if (geogArea && geogArea->bounded)
        return *geogArea;
    return AreaOfUse();
}

std::string CentreOutsideNote(const ProjectionShape& shape, const std::string& geogName, const AreaOfUse* geogArea)
{
    if (!geogArea || !geogArea->bounded)
        return std::string();
    const Reach reach = ReachOf(shape);
    if ((reach != Reach::Zone && reach != Reach::AroundOrigin) || !std::isfinite(shape.meridian))
        return std::string();
    const double longitude = GreenwichMeridian(shape);
    if (HoldsMeridian(*geogArea, longitude))
        return std::string();
    return MessageWith(MessageId::MapCentreOutside,
                       {LongitudeText(longitude), geogName, ShortAreaName(geogArea->name)});
}
