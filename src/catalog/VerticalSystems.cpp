// EPSG's vertical systems read from PROJ's database.
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

std::vector<VerticalSystem> ReadVerticalSystems()
{
    std::vector<VerticalSystem> systems;
    ProjQuery query("SELECT v.code, v.name, e.west_lon, e.south_lat, e.east_lon, e.north_lat "
                    "FROM vertical_crs v LEFT JOIN usage u ON u.object_table_name = 'vertical_crs' "
                    "AND u.object_auth_name = v.auth_name AND u.object_code = v.code "
                    "LEFT JOIN extent e ON e.auth_name = u.extent_auth_name AND e.code = u.extent_code "
                    "WHERE v.auth_name = 'EPSG' AND v.deprecated = 0 ORDER BY v.name, v.code",
                    10);
    while (query.Next()) {
        VerticalSystem system{query.Text(0), query.Text(1)};
        if (!IsEpsgCodeText(system.code) || system.name.empty())
            continue;
        system.bounded = !query.IsNull(2);
        system.west = query.Number(2);
        system.south = query.Number(3);
        system.east = query.Number(4);
        system.north = query.Number(5);
        // A system used in several areas keeps the widest, once.
        if (!systems.empty() && systems.back().code == system.code) {
            const VerticalSystem& kept = systems.back();
            if (system.bounded && (!kept.bounded || (system.north - system.south) * (system.east - system.west) >
                                                        (kept.north - kept.south) * (kept.east - kept.west)))
                systems.back() = system;
            continue;
        }
        systems.push_back(std::move(system));
    }
    return systems;
}

std::vector<VerticalSystem> OverlappingFirst(std::vector<VerticalSystem> systems, double west, double south,
                                             double east, double north)
{
    std::stable_partition(systems.begin(), systems.end(), [&](const VerticalSystem& system) {
        return Overlap(system, west, south, east, north);
    });
    return systems;
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
