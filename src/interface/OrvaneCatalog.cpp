// The exported catalogue calls.
#include "interface/OrvaneCatalog.h"

#include <cerrno>
#include <cstring>

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
    std::string reason;
    return OrvaneRemoveUserGeogSystem(name, reason);
}

OrvaneRemoveResult OrvaneRemoveUserGeogSystem(const char* name, std::string& reason)
{
    reason.clear();
    StoreProblem problem = StoreProblem::None;
    if (name && RemoveUserGeogSystem(name, &problem))
        return ORVANE_REMOVED;
    const int error = errno;
    switch (problem) {
    case StoreProblem::None:
        return ORVANE_NOT_A_USER_SYSTEM;
    case StoreProblem::LockBusy:
        reason = "another program held it for more than 20 seconds";
        break;
    case StoreProblem::NotPrivate:
        reason = "its folder is not yours alone (another user's, or others may write in it)";
        break;
    default:
        reason = std::strerror(error);
        break;
    }
    return ORVANE_CANNOT_WRITE;
}
