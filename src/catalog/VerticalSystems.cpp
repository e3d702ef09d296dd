// The geoid models EPSG's vertical systems need, as PROJ's database lists them.
#include "catalog/VerticalSystems.h"

#include "catalog/Identification.h"
#include "module/ProjQuery.h"

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
