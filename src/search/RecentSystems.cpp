#include "search/RecentSystems.h"

#include <sys/stat.h>

#include "module/GdalSupport.h"
#include "module/Module.h"
#include "module/Sameness.h"
#include "util/FileIO.h"
#include "util/LockedFile.h"
#include "util/Text.h"

std::string RecentSystemsPath()
{
    const std::string catalogue = GetUserCatalogPath();
    return catalogue.empty() ? std::string() : FolderOf(catalogue) + "/recent.wkt";
}

std::vector<std::string> ReadRecentSystems(const std::string& path)
{
    std::vector<std::string> systems;
    std::string content;
    // Only from Orvane's own folder: never lines another user could have put there.
    if (path.empty() || !IsPrivateFolder(FolderOf(path)) || !ReadRewrittenFile(path, content, kMaxRecentSystemsBytes))
        return systems;
    for (std::string& line : TextLines(content)) {
        if (systems.size() == kRecentSystemsKept)
            break;
        if (!line.empty())
            systems.push_back(std::move(line));
    }
    return systems;
}

bool RememberRecentSystem(const std::string& path, const SpatialSystem& chosen)
{
    const std::string& wkt = chosen.Text();
    // A line holds one system: a text with a line break cannot be kept.
    if (path.empty() || wkt.empty() || wkt.find_first_of("\r\n") != std::string::npos)
        return false;
    // Orvane's own folder, or none: never one another user may write in.
    if (!MakeFolders(FolderOf(path)) || !IsPrivateFolder(FolderOf(path)))
        return false;
    // Under the folder's lock: two choosers closing at once both remember.
    return EditFileUnderLock(
        path,
        [&wkt, &chosen](const std::string& old) {
            // The same system under another text is the one just chosen.
            std::string content = wkt + "\n";
            std::size_t kept = 1;
            for (const std::string& older : TextLines(old)) {
                if (older.empty() || older == wkt || kept == kRecentSystemsKept)
                    continue;
                const OsrHandle srs = NewSpatialReference(older);
                if (srs && SameAs(chosen.Handle(), srs.get()))
                    continue;
                content += older + "\n";
                ++kept;
            }
            return content;
        },
        nullptr, kMaxRecentSystemsBytes);
}
