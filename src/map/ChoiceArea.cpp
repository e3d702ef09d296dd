#include "map/ChoiceArea.h"

#include <cmath>

#include "catalog/PredefinedSystems.h"

namespace {

double ParameterOf(const ShownChoice& shown, const char* name)
{
    const ChoiceParameter* p = FindParameter(shown.parameters, name);
    return p ? p->value : std::nan("");
}

}  // namespace

AreaOfUse AreaOfChoice(const SystemChoice& choice, const AreaOfUse* systemArea, const AreaOfUse* geogArea)
{
    if (systemArea && systemArea->bounded)
        return *systemArea;
    const ShownChoice& shown = choice.shown;
    const bool zoned = shown.projected && shown.zone >= 0 &&
                       (shown.category == kUtmCategoryPosition || shown.category == kBeijing1954CategoryPosition ||
                        shown.category == kXian1980CategoryPosition);
    if (zoned) {
        // The band follows the meridian shown, edits included.
        const std::vector<std::string> zones = ZoneEntries(choice);
        const bool threeDegrees = static_cast<std::size_t>(shown.zone) < zones.size() &&
                                  zones[static_cast<std::size_t>(shown.zone)].find("3-degree") != std::string::npos;
        const double meridian = ParameterOf(shown, "central_meridian");
        const double northing = ParameterOf(shown, "false_northing");
        if (std::isfinite(meridian))
            return ZoneBand(NormalisedMeridian(meridian), threeDegrees ? 3.0 : 6.0,
                            IsNorthernFalseNorthing(northing));
    }
    if (geogArea && geogArea->bounded)
        return *geogArea;
    return AreaOfUse();
}
