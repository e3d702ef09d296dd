#include "search/CountryAsked.h"

#include <algorithm>
#include <functional>

#include "search/Cities.h"
#include "search/Folding.h"

namespace
{

// A zone over a tenth of the country or more: a sliver of a border is not
// where its people work. A grid whose bounds and the country's are much the
// same (their overlap a third of both together, or more: a country's bounds
// may hold its seas, a grid's not) is the country's; one named in a region's
// area, no more than three times its size.
constexpr double kLeastShare = 0.1, kMuchTheSame = 0.3, kMostSize = 3.0;

bool BeginsWith(const std::string& words, const std::string& start)
{
    return words.compare(0, start.size(), start) == 0;
}

// Whether an area is the whole country, as EPSG names such areas: the
// country alone ("Poland"), on land or at sea ("Germany - onshore", "Spain -
// mainland onshore", "USA - CONUS - onshore"), or with its neighbour
// ("Czechia; Slovakia").
bool IsWholeCountry(const AreaOfUse& area, const std::string& country)
{
    if (!BeginsWith(area.words, country))
        return false;
    if (area.name.find(';') < area.name.find(" - "))
        return true;
    bool whole = true;
    ForEachWord(std::string_view(area.words).substr(country.size()), [&whole](std::string_view w) {
        whole = whole && (w == "onshore" || w == "offshore" || w == "and" || w == "mainland" ||
                          w == "conus");
    });
    return whole;
}

// Whether a system is a grid of today's for a whole country or two
// ("Europe - Czechoslovakia"): EPSG's, projected, in its usual form, on a
// datum of today's or one published in the age of satellite positioning
// ("ETRF2000-PL"), and not the world's.
bool IsGridOfToday(const Candidate& c)
{
    constexpr int kSatelliteAge = 1990;
    return c.authority == "EPSG" && c.kind == CandidateKind::Projected && !c.variant &&
           !c.deprecated && (c.datum != DatumUse::Historical || c.datumYear >= kSatelliteAge) &&
           c.area && c.area->bounded && c.area->name.compare(0, 5, "World") != 0;
}

// The overlap of two areas' bounds, in square degrees; 0 for bounds across
// the antimeridian.
double Overlap(const AreaOfUse& a, const AreaOfUse& b)
{
    if (!a.bounded || !b.bounded || a.west > a.east || b.west > b.east)
        return 0;
    const double width = std::min(a.east, b.east) - std::max(a.west, b.west);
    const double height = std::min(a.north, b.north) - std::max(a.south, b.south);
    return width > 0 && height > 0 ? width * height : 0;
}

// The share of `country`'s bounds that `zone`'s cover.
double ShareCovered(const AreaOfUse& zone, const AreaOfUse& country)
{
    return country.Size() > 0 ? Overlap(zone, country) / country.Size() : 0;
}

// How much the same two areas' bounds are: their overlap over their union.
double Sameness(const AreaOfUse& a, const AreaOfUse& b)
{
    const double overlap = Overlap(a, b);
    return overlap > 0 ? overlap / (a.Size() + b.Size() - overlap) : 0;
}

// Whether a system is a UTM zone of today's: EPSG's, on a national or
// continental datum of today's (ETRS89, SIRGAS, GDA, NAD83; WGS 84's zones
// are the world's), in its usual form.
bool IsZoneOfToday(const Candidate& c)
{
    return c.authority == "EPSG" && c.kind == CandidateKind::Projected && !c.variant &&
           !c.deprecated && c.datum == DatumUse::Current && c.area &&
           c.name.find("UTM zone") != std::string::npos;
}

} // namespace

std::string_view CountryAsked::CountryOf(const AreaOfUse& area) const
{
    const std::less<const AreaOfUse*> before;
    if (m_areaCountries && !before(&area, m_areas->data()) &&
        before(&area, m_areas->data() + m_areas->size()))
        return (*m_areaCountries)[static_cast<std::size_t>(&area - m_areas->data())];
    return Cities().CountryOfArea(area.name);
}

bool CountryAsked::IsRegionNaming(const AreaOfUse& area) const
{
    return area.words.find(m_country) != std::string::npos &&
           area.name.find("\u00B0") == std::string::npos && CountryOf(area).empty();
}

bool CountryAsked::OfAnotherCountry(const AreaOfUse& area) const
{
    const std::string_view of = CountryOf(area);
    return !of.empty() && of != m_country;
}

CountryAsked::CountryAsked(const SearchCandidates& candidates, std::string country)
    : m_country(std::move(country))
{
    if (m_country.empty() || !candidates.database)
        return;
    m_areas = &candidates.database->areas;
    m_areaCountries = &candidates.database->AreaCountries();
    // The country's bounds: its smallest whole area, the mainland's where
    // EPSG has one as well as the islands'; else the smallest of a region's
    // that names it ("Europe - Liechtenstein and Switzerland").
    const AreaOfUse* whole = nullptr;
    for (const bool inRegion : {false, true}) {
        for (const AreaOfUse& area : candidates.database->areas) {
            const bool fits = inRegion ? IsRegionNaming(area) : IsWholeCountry(area, m_country);
            if (fits && area.bounded && (!whole || area.Size() < whole->Size()))
                whole = &area;
        }
        if (whole)
            break;
    }
    if (!whole)
        return;
    m_wholeSize = whole->Size();
    const CandidateList& list = candidates.database->candidates;
    for (std::size_t i = 0; i < list.size(); ++i) {
        // Only a system over the country may be listed (most are not: they
        // are passed over first, at the cost of a few comparisons).
        if (!list[i].area || Overlap(*list[i].area, *whole) <= 0)
            continue;
        // Not a neighbour's grid over the border ("SWEREF99 TM" of Sweden
        // for Norway, "IRENET95 / UTM zone 29N" for the UK).
        const bool zone = IsZoneOfToday(list[i]);
        if ((!zone && !IsGridOfToday(list[i])) || OfAnotherCountry(*list[i].area))
            continue;
        if (zone) {
            const double share = ShareCovered(*list[i].area, *whole);
            if (share >= kLeastShare)
                m_over.push_back(Over{i, share});
        } else if (Sameness(*list[i].area, *whole) >= kMuchTheSame) {
            m_over.push_back(Over{i, 0.0});
        }
    }
}

const CountryAsked::Over* CountryAsked::Find(std::size_t index) const
{
    const auto at = std::lower_bound(m_over.begin(), m_over.end(), index,
                                     [](const Over& o, std::size_t i) { return o.index < i; });
    return at != m_over.end() && at->index == index ? &*at : nullptr;
}

double CountryAsked::Share(std::size_t index) const
{
    const Over* over = Find(index);
    return over ? over->share : 0.0;
}

int CountryAsked::Tier(std::size_t index, const Candidate& shown) const
{
    if (m_country.empty())
        return 0;
    const Over* over = Find(index);
    const bool of = shown.area && BeginsWith(shown.area->words, m_country);
    // A grid whose area names the country in a region ("Asia - Middle East
    // - Israel and Palestine Territory onshore") is its grid too; not one in
    // another country ("USA - New Mexico").
    const bool named =
        shown.area && IsRegionNaming(*shown.area) && shown.area->Size() <= kMostSize * m_wholeSize;
    if ((over && over->share == 0.0) ||
        (IsGridOfToday(shown) && ((of && IsWholeCountry(*shown.area, m_country)) || (named && !of))))
        return 0;
    if (over)
        return 1;
    return of ? 2 : 3;
}
