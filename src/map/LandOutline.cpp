#include "map/LandOutline.h"

#include <cstdlib>
#include <mutex>

#include "module/Module.h"
#include "util/FileIO.h"
#include "util/Text.h"

namespace {

// Natural Earth's 110m land is 56 KB; anything much larger is not it.
constexpr std::size_t kMaxLandBytes = 4u << 20;

// Reads "x,y" at `at` in hundredths of a degree; false past the text's end or
// on anything else.
bool ReadPoint(const char*& at, LonLat& point)
{
    char* end = nullptr;
    const long x = std::strtol(at, &end, 10);
    if (end == at || *end != ',')
        return false;
    const char* y = end + 1;
    const long lat = std::strtol(y, &end, 10);
    if (end == y || (*end != ' ' && *end != '\0') || x < -54000 || x > 54000 || lat < -9000 || lat > 9000)
        return false;
    point = LonLat{static_cast<float>(x) / 100.0f, static_cast<float>(lat) / 100.0f};
    at = *end ? end + 1 : end;
    return true;
}

}  // namespace

std::vector<LandRing> ParseLandOutline(const std::string& content)
{
    std::vector<LandRing> rings;
    for (const std::string& line : TextLines(content)) {
        if (line.empty() || line[0] == '#')
            continue;
        LandRing ring;
        const char* at = line.c_str();
        LonLat point{};
        while (*at && ReadPoint(at, point))
            ring.push_back(point);
        if (*at == '\0' && ring.size() >= 3)
            rings.push_back(std::move(ring));
    }
    return rings;
}

std::shared_ptr<const std::vector<LandRing>> ShippedLand()
{
    static std::once_flag read;
    static std::shared_ptr<const std::vector<LandRing>> land;
    std::call_once(read, [] {
        std::string content;
        land = std::make_shared<const std::vector<LandRing>>(
            ReadRegularFile(GetLandPath(), content, kMaxLandBytes) ? ParseLandOutline(content)
                                                                   : std::vector<LandRing>());
    });
    return land;
}
