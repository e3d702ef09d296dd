// The exported catalogue calls.
#include "interface/OrvaneCatalog.h"

#include "catalog/GeogCatalog.h"
#include "module/Module.h"

std::vector<OrvaneCatalogEntry> OrvaneListGeogSystems()
{
    const SystemCatalog shipped = ShippedGeogSystems();
    const SystemCatalog user = UserGeogSystems();
    SystemCatalog all = shipped;
    for (const auto& [name, wkt] : user)
        all[name] = wkt;
    std::vector<OrvaneCatalogEntry> entries;
    entries.reserve(all.size());
    for (const auto& [name, wkt] : all) {
        const bool mine = user.count(name) != 0;
        entries.push_back({name, wkt, mine, mine && shipped.count(name) != 0});
    }
    return entries;
}

std::string OrvaneUserCatalogPath()
{
    return GetUserCatalogPath();
}

OrvaneRemoveResult OrvaneRemoveUserGeogSystem(const char* name)
{
    StoreProblem problem = StoreProblem::None;
    if (name && RemoveUserGeogSystem(name, &problem))
        return ORVANE_REMOVED;
    return problem == StoreProblem::None ? ORVANE_NOT_A_USER_SYSTEM : ORVANE_CANNOT_WRITE;
}
