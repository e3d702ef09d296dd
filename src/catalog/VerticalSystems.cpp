// EPSG's vertical systems: those over an area first, and the geoid models they need.
#include "catalog/VerticalSystems.h"

#include <algorithm>

#include "catalog/Identification.h"
#include "module/ProjQuery.h"

namespace {

// The longitude spans of a box, split at the antimeridian.
std::vector<std::pair<double, double>> Spans(double west, double east)
{
    if (west <= east)
        return {{west, east}};
    return {{west, 180.0}, {-180.0, east}};
}

bool Overlap(const VerticalSystem& system, double west, double south, double east, double north)
{
    if (!system.bounded || system.south > north || system.north < south)
        return false;
    for (const auto& [a0, a1] : Spans(system.west, system.east))
        for (const auto& [b0, b1] : Spans(west, east))
            if (a0 <= b1 && b0 <= a1)
                return true;
    return false;
}

}  // namespace

std::size_t PutOverlappingFirst(std::vector<VerticalSystem>& systems, double west, double south, double east,
                                double north)
{
    const auto others = std::stable_partition(systems.begin(), systems.end(), [&](const VerticalSystem& system) {
        return Overlap(system, west, south, east, north);
    });
    return static_cast<std::size_t>(others - systems.begin());
}

std::string MissingGeoidModel(const std::string& code)
{
    if (!IsEpsgCodeText(code))
        return std::string();
    // The models PROJ distributes first: one of those a user can install.
    ProjQuery query("SELECT COALESCE(a.proj_grid_name, g.grid_name), a.old_proj_grid_name "
                    "FROM grid_transformation g "
                    "LEFT JOIN grid_alternatives a ON a.original_grid_name = g.grid_name "
                    "WHERE g.target_crs_auth_name = 'EPSG' AND g.target_crs_code = ?1 "
                    "AND g.deprecated = 0 ORDER BY a.proj_grid_name IS NULL, g.accuracy IS NULL, g.accuracy, g.code");
    query.Bind(1, code);
    std::string first;
    while (query.Next()) {
        const std::string name = query.Text(0);
        const std::string old = query.Text(1);
        if (name.empty())
            continue;
        if (first.empty())
            first = name;
        // PROJ finds a model by its older name too (egm96_15.gtx).
        if (ProjResourceInstalled(name) || (!old.empty() && ProjResourceInstalled(old)))
            return std::string();
    }
    return first;
}
