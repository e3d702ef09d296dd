#include "search/Families.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

namespace
{

// Reorders the members of each family (those `familyOf` gives the same
// non-empty name) by `key` among the places they hold; the rest stay where
// they are.
template <typename FamilyOf, typename Key>
void ReorderFamilies(std::vector<Found>& found, FamilyOf familyOf, Key key)
{
    std::map<std::string, std::vector<std::size_t>> families;
    for (std::size_t i = 0; i < found.size(); ++i) {
        std::string family = familyOf(*found[i].candidate);
        if (!family.empty())
            families[std::move(family)].push_back(i);
    }
    for (const auto& [family, places] : families) {
        if (places.size() < 2)
            continue;
        std::vector<Found> members;
        for (const std::size_t at : places)
            members.push_back(found[at]);
        std::stable_sort(members.begin(), members.end(), [&](const Found& a, const Found& b) {
            return key(*a.candidate) < key(*b.candidate);
        });
        for (std::size_t i = 0; i < places.size(); ++i)
            found[places[i]] = std::move(members[i]);
    }
}

// "MGA zone 56" of "GDA94 / MGA zone 56": EPSG's name of the grid apart from
// its datum's; empty for a name without one, and for the forms of a system.
std::string GridOf(const Candidate& candidate)
{
    const std::size_t slash = candidate.name.find(" / ");
    if (slash == std::string::npos || candidate.authority != "EPSG" || candidate.variant ||
        candidate.deprecated)
        return std::string();
    return candidate.name.substr(slash + 3);
}

// "GDA" of "GDA94 / …" and "GDA2020 / …", "NAD" of "NAD83(2011) / …": the
// letters a datum's realisations share, as EPSG names their systems.
std::string DatumLettersOf(const Candidate& candidate)
{
    const std::size_t end = candidate.name.find_first_of("0123456789( /");
    return candidate.name.substr(0, end);
}

// "DHHN\nheight" of "DHHN92 height" and "DHHN2016 height": a vertical
// datum's letters and what the name says after its realisation's number;
// empty for a name whose first word is more ("EVRF2007-PL height" is
// Poland's, not a realisation of EVRF's).
std::string VerticalRealisationsOf(const Candidate& candidate)
{
    const std::string& name = candidate.name;
    const std::size_t digits = name.find_first_of("0123456789");
    const std::size_t blank = name.find(' ');
    if (candidate.kind != CandidateKind::Vertical || candidate.authority != "EPSG" ||
        candidate.variant || candidate.deprecated || digits == 0 || blank == std::string::npos ||
        digits > blank || name.find_first_not_of("0123456789", digits) != blank)
        return std::string();
    return name.substr(0, digits) + "\n" + name.substr(blank);
}

} // namespace

void NewerRealisationsFirst(std::vector<Found>& found)
{
    const auto realisations = [](const Candidate& c) {
        if (c.kind == CandidateKind::Vertical)
            return VerticalRealisationsOf(c);
        const std::string grid = GridOf(c);
        return grid.empty() ? grid : DatumLettersOf(c) + "\n" + grid;
    };
    ReorderFamilies(found, realisations, [](const Candidate& c) {
        // A year unknown counts as the earliest.
        return std::make_tuple(c.datum, -static_cast<int>(c.datumYear));
    });
}

void MostCentralZoneFirst(std::vector<Found>& found, double latitude, double longitude)
{
    // "JGD2011 / Japan Plane Rectangular CS" of "… CS IX": the name without
    // its last word, the zone's, when the grid's name has more ("CC49" is
    // one grid, not a zone of a grid "CC").
    const auto zones = [](const Candidate& c) {
        const std::string grid = GridOf(c);
        return grid.find(' ') == std::string::npos || !c.area || !c.area->bounded ||
                       c.area->west > c.area->east
                   ? std::string()
                   : c.name.substr(0, c.name.rfind(' '));
    };
    // How far from the middle of its area the place lies, in halves of the
    // area's width and height.
    ReorderFamilies(found, zones, [&](const Candidate& c) {
        const AreaOfUse& area = *c.area;
        const double width = std::max(area.east - area.west, 1e-9);
        const double height = std::max(area.north - area.south, 1e-9);
        return std::fabs(longitude - (area.west + area.east) / 2) / width +
               std::fabs(latitude - (area.south + area.north) / 2) / height;
    });
}
