#include "search/RecentSystems.h"

#include <sys/stat.h>

#include "module/Module.h"
#include "util/FileIO.h"

namespace {

// Ten systems are a few kilobytes; anything far larger is not ours.
constexpr std::size_t kMaxFileBytes = 1 << 20;

}  // namespace

std::string RecentSystemsPath()
{
    const std::string catalogue = GetUserCatalogPath();
    return catalogue.empty() ? std::string() : FolderOf(catalogue) + "/recent.wkt";
}

std::vector<std::string> ReadRecentSystems(const std::string& path)
{
    std::vector<std::string> systems;
    std::string content;
    if (path.empty() || !ReadRewrittenFile(path, content, kMaxFileBytes))
        return systems;
    std::size_t start = 0;
    while (start < content.size() && systems.size() < kRecentSystemsKept) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            systems.push_back(std::move(line));
        start = end + 1;
    }
    return systems;
}

bool RememberRecentSystem(const std::string& path, const std::string& wkt)
{
    // A line holds one system: a text with a line break cannot be kept.
    if (path.empty() || wkt.empty() || wkt.find_first_of("\r\n") != std::string::npos)
        return false;
    std::string content = wkt + "\n";
    std::size_t kept = 1;
    for (const std::string& older : ReadRecentSystems(path)) {
        if (older != wkt && kept++ < kRecentSystemsKept)
            content += older + "\n";
    }
    return MakeFolders(FolderOf(path)) && SaveFile(path, content);
}
