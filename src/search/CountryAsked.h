// What a country's name asks a search for: the country's own grid first,
// then today's UTM zones over it, then the rest of its systems.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "search/SearchCandidates.h"

class CountryAsked
{
public:
    CountryAsked() = default;
    // `country`: the folded words an area of use of the country begins with
    // (" poland "); empty for a text that names none.
    CountryAsked(const SearchCandidates& candidates, std::string country);

    const std::string& Name() const { return m_country; }
    // Where a system stands, best first: 0 the country's own grid (EPSG's,
    // projected, on a datum of today's, over the whole country and not much
    // more), 1 a UTM zone of today's over it, 2 another system of the
    // country's, 3 the rest; always 0 when no country was asked.
    int Tier(std::size_t index, const Candidate& shown) const;
    // How much of the country a zone of tier 1 covers (0 to 1); 0 for any other.
    double Share(std::size_t index) const;
    // The database's grids and zones over the country, by position, with
    // their shares: their areas may not name it ("Europe - Czechoslovakia",
    // "Europe - 6°E to 12°E"), they are listed all the same.
    struct Over {
        std::size_t index;
        double share; // 0 for a grid
    };
    const std::vector<Over>& OverIt() const { return m_over; }

private:
    const Over* Find(std::size_t index) const;
    // The country an area is of (Gazetteer::CountryOfArea), as the
    // database has it for its own areas.
    std::string_view CountryOf(const AreaOfUse& area) const;
    // Whether an area is a region's that names the country ("Asia - Middle
    // East - Israel and Palestine Territory onshore"), no other country's
    // ("USA - New Mexico"), and no band in degrees.
    bool IsRegionNaming(const AreaOfUse& area) const;
    // Whether an area is another country's, as its name begins ("Sweden").
    bool OfAnotherCountry(const AreaOfUse& area) const;
    const std::vector<AreaOfUse>* m_areas = nullptr;
    const std::vector<std::string_view>* m_areaCountries = nullptr;
    std::string m_country;
    double m_wholeSize = 0; // the country's bounds, in square degrees
    std::vector<Over> m_over; // by position
};
