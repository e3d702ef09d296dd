#include "catalog/GeogCatalog.h"

#include <cerrno>
#include <vector>

#include "catalog/IniFile.h"
#include "module/Module.h"
#include "util/FileIO.h"
#include "util/Profile.h"

const char kGeogSection[] = "GCS";
const char kBeijing1954Section[] = "Beijing 1954";
const char kXian1980Section[] = "Xian 1980";

namespace {

// Adds the entries of `section` of the file `path` to `target`.
void AddSection(const std::string& path, const std::string& section, SystemCatalog& target)
{
    CIniFile file;
    if (path.empty() || !file.OpenFile(path, CIniFile::modeRead))
        return;
    std::vector<std::string> keys, values;
    const int count = file.ReadSection(section, keys, values);
    for (int i = 0; i < count; ++i)
        target[keys[i]] = std::move(values[i]);
}

// The user's own catalogue, read only from a folder that is the user's
// alone: entries another user could have written are never taken, as they
// are never written there either.
void AddUserSection(const std::string& section, SystemCatalog& target)
{
    const std::string path = GetUserCatalogPath();
    if (!path.empty() && IsPrivateFolder(FolderOf(path)))
        AddSection(path, section, target);
}

bool Fail(StoreProblem* problem, StoreProblem what)
{
    if (problem)
        *problem = what;
    return false;
}

}  // namespace

void LoadCatalogSection(const std::string& section, SystemCatalog& target)
{
    target.clear();
    AddSection(GetCatalogPath(), section, target);
    if (section == kGeogSection)
        AddUserSection(section, target);
}

SystemCatalog ShippedGeogSystems()
{
    SystemCatalog catalog;
    AddSection(GetCatalogPath(), kGeogSection, catalog);
    return catalog;
}

SystemCatalog UserGeogSystems()
{
    SystemCatalog catalog;
    AddUserSection(kGeogSection, catalog);
    return catalog;
}

bool StoreGeogSystem(const std::string& name, const std::string& wkt, StoreProblem* problem,
                     const std::function<void()>& whileWaiting)
{
    Fail(problem, StoreProblem::None);
    const std::string path = GetUserCatalogPath();
    if (path.empty())
        return Fail(problem, StoreProblem::NoHome);
    if (name.empty() || !IsRepresentableEntry(kGeogSection, name, wkt))
        return Fail(problem, StoreProblem::BadName);
    if (!MakeFolders(FolderOf(path)))
        return Fail(problem, StoreProblem::CannotWrite);
    // Orvane's own folder, or none: never one another user may write in.
    if (!IsPrivateFolder(FolderOf(path)))
        return Fail(problem, StoreProblem::NotPrivate);
    if (WritePrivateProfileString(kGeogSection, name, wkt, path, whileWaiting))
        return true;
    return Fail(problem, errno == ETIMEDOUT ? StoreProblem::LockBusy : StoreProblem::CannotWrite);
}

bool RemoveUserGeogSystem(const std::string& name, StoreProblem* problem)
{
    Fail(problem, StoreProblem::None);
    if (!UserGeogSystems().count(name))
        return false;  // no problem: nothing to remove
    if (!IsPrivateFolder(FolderOf(GetUserCatalogPath())))
        return Fail(problem, StoreProblem::NotPrivate);
    // Gone meanwhile (another chooser removed it): nothing was removed.
    bool removed = false;
    if (RemovePrivateProfileKey(kGeogSection, name, GetUserCatalogPath(), nullptr, &removed))
        return removed;
    return Fail(problem, errno == ETIMEDOUT ? StoreProblem::LockBusy : StoreProblem::CannotWrite);
}
