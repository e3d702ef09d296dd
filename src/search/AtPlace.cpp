#include "search/AtPlace.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

#include "search/Cities.h"
#include "search/Families.h"
#include "search/Folding.h"

namespace
{

// Whether an area of use is a whole country, as EPSG names areas: the
// country and what of it ("France", "Europe - Liechtenstein and
// Switzerland"), where a zone within it gives its bounds in degrees ("...
// between 47.25°N and 48.75°N"); no larger than a large country's bounds
// (a thousand square degrees: a continent's, "Europe - ETRS89", is three).
// A thousand square degrees: the bounds of a large country.
constexpr double kLargestCountry = 1000.0;

bool IsNationalArea(const AreaOfUse& area)
{
    return !area.name.empty() && area.name.find("\u00B0") == std::string::npos &&
           area.name.compare(0, 5, "World") != 0 && area.Size() <= kLargestCountry;
}

// Whether a place lies well inside an area's bounds (a twentieth of its
// width and height from every edge), not in a corner that the bounding box
// holds of a neighbouring country.
bool WellInside(const AreaOfUse& area, double latitude, double longitude)
{
    if (!area.bounded || area.west > area.east)
        return true;
    const double margin = 0.05;
    const double width = area.east - area.west, height = area.north - area.south;
    return longitude - area.west >= margin * width && area.east - longitude >= margin * width &&
           latitude - area.south >= margin * height && area.north - latitude >= margin * height;
}

// Whether a projected system is named after the city: its grid's name (the
// name apart from its datum's) holds the city's ("Hong Kong 1980 Grid
// System", "DHDN / Soldner Berlin"; not "Tokyo / Japan Plane Rectangular
// CS IX").
bool NamedAfter(const Candidate& candidate, const CityAsked& city)
{
    if (city.words.empty() || candidate.kind != CandidateKind::Projected)
        return false;
    const std::size_t slash = candidate.name.find(" / ");
    const std::string grid =
        slash == std::string::npos ? candidate.name : candidate.name.substr(slash + 3);
    return FoldedWords(grid).find(city.words) != std::string::npos;
}

// Whether a system is of another country than the city's: a bounding box
// may hold a neighbour's city ("SIRGAS 2000 / Brazil Polyconic" at Buenos
// Aires). Each area is looked at once: many systems share one.
class OtherCountries
{
public:
    explicit OtherCountries(const CityAsked& city) : m_city(city) {}
    bool Of(const Candidate& candidate)
    {
        if (m_city.countryWords.empty())
            return false;
        const auto known = m_seen.find(candidate.area);
        if (known != m_seen.end())
            return known->second;
        const std::string_view country = Cities().CountryOfArea(candidate.area->name);
        return m_seen[candidate.area] = !country.empty() && country != m_city.countryWords;
    }

private:
    const CityAsked& m_city;
    std::unordered_map<const AreaOfUse*, bool> m_seen;
};

// Of height systems at a place, today's first: no list of today's vertical
// datums is kept, their publication says which is newer (DHHN2016 before
// DHHN92; a compound system's by its horizontal datum, GDA2020 + AHD before
// GDA94 + AHD); 0 for a horizontal system, whose datum ranks it.
int HeightAge(const Candidate& candidate)
{
    const bool height =
        candidate.kind == CandidateKind::Vertical || candidate.kind == CandidateKind::Compound;
    return height ? -static_cast<int>(candidate.datumYear) : 0;
}

} // namespace

std::vector<Found> CandidatesAt(const SearchCandidates& candidates, double latitude,
                                double longitude, std::size_t limit, const CityAsked& city)
{
    std::vector<std::size_t> inside;
    for (std::size_t i = 0; i < candidates.Size(); ++i) {
        const Candidate& candidate = candidates[i];
        if (!candidate.standsFor && !candidate.deprecated && candidate.area &&
            candidate.area->Contains(latitude, longitude))
            inside.push_back(i);
    }
    // The ranking of a place's systems, in the order of what decides:
    // 0. horizontal systems before height systems (HeightRank);
    // 1. a system before its other forms (axis-order variants, ESRI's copies);
    // 2. at a city, its country's systems and others' used there too (a
    //    continent's, the world's) before another country's;
    // 3. at a city, those named after it on today's datums ("Hong Kong 1980
    //    Grid System"), then EPSG's other grids on today's datums, then
    //    those named after it on historical ones (its old local grid, "DHDN /
    //    Soldner Berlin"), then continental and world systems, geographic
    //    ones and ESRI's own on today's datums, then historical ones;
    // 5. projected before geographic: a place asks for its grid;
    // 6. the country's own systems (EPSG's, of an area that is a whole
    //    country, the place well inside its bounds: a box's corner may hold a
    //    neighbour's capital) before zones and grids within it, and before
    //    continental and world ones;
    // 7. EPSG's before ESRI's own;
    // 8. of height systems, today's first (HeightAge), the world's (a global
    //    geoid model's) after those of the place's own region;
    // 9. the smallest area first (a city's grid, the UTM zone, then
    //    continental and world systems).
    // Then the zones of one grid, and the realisations of one datum, in the
    // order of Families.h.
    struct Keyed {
        std::size_t index;
        std::tuple<int, bool, bool, int, bool, bool, bool, int, double, DatumUse, std::size_t,
                   std::string_view, std::size_t>
            key;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(inside.size());
    OtherCountries others(city);
    for (const std::size_t i : inside) {
        const Candidate& c = candidates[i];
        const bool national = c.authority == "EPSG" && IsNationalArea(*c.area) &&
                              WellInside(*c.area, latitude, longitude);
        const bool worldwide = c.area->name.compare(0, 5, "World") == 0;
        const bool wide = worldwide || c.area->Size() > kLargestCountry;
        const bool historical = c.datum == DatumUse::Historical;
        const bool namedAfter = NamedAfter(c, city);
        const int age = namedAfter && !historical       ? 0
                        : historical && !namedAfter     ? 4
                        : namedAfter                    ? 2
                        : wide || c.authority == "ESRI" || c.kind == CandidateKind::Geographic
                            ? 3
                            : 1;
        keyed.push_back(Keyed{
            i, std::make_tuple(HeightRank(c.kind), c.variant, others.Of(c), age,
                               c.kind == CandidateKind::Geographic, !national,
                               c.authority == "ESRI", worldwide ? 0 : HeightAge(c), c.area->Size(),
                               c.datum, c.name.size(), std::string_view(c.name), i)});
    }
    // More than the limit: the zone the place lies most centrally in, or a
    // grid's realisation of today, may be ranked below it, and the first rows
    // must not depend on how many are asked for.
    constexpr std::size_t kRoomPastLimit = 64;
    const std::size_t kept =
        limit >= keyed.size() ? keyed.size() : std::min(keyed.size(), limit + kRoomPastLimit);
    std::partial_sort(keyed.begin(), keyed.begin() + static_cast<std::ptrdiff_t>(kept), keyed.end(),
                      [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
    std::vector<Found> found;
    for (std::size_t k = 0; k < kept; ++k)
        found.push_back(Found{&candidates[keyed[k].index], std::string()});
    MostCentralZoneFirst(found, latitude, longitude);
    NewerRealisationsFirst(found, city.typed, [&others](const Candidate& c) { return others.Of(c); });
    if (found.size() > limit)
        found.resize(limit);
    return found;
}
