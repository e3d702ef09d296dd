#include "search/Families.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <string_view>
#include <tuple>

#include "search/Folding.h"

namespace
{

// The family a system belongs to, as two parts of its name (views into it),
// or none.
struct Family {
    std::string_view first, second;
    bool any = false;
    bool operator<(const Family& other) const
    {
        return std::tie(first, second) < std::tie(other.first, other.second);
    }
    bool operator==(const Family& other) const
    {
        return first == other.first && second == other.second;
    }
};

Family FamilyOf(std::string_view first, std::string_view second = std::string_view())
{
    return Family{first, second, true};
}

std::size_t HashOf(const Family& family)
{
    return std::hash<std::string_view>()(family.first) * 31 +
           std::hash<std::string_view>()(family.second);
}

// Reorders the members of each family (those `familyOf` gives the same
// family) by `key` among the places they hold; the rest stay where they
// are. A keystroke reorders its rows so: no text is made for a family.
template <typename FamilyOfFound, typename Key>
void ReorderFamilies(std::vector<Found>& found, FamilyOfFound familyOf, Key key)
{
    struct Member {
        std::size_t hash; // compared first: most families differ by it
        Family family;
        std::size_t place;
        bool operator<(const Member& other) const
        {
            if (hash != other.hash)
                return hash < other.hash;
            if (!(family == other.family))
                return family < other.family;
            return place < other.place;
        }
    };
    std::vector<Member> members;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const Family family = familyOf(*found[i].candidate);
        if (family.any)
            members.push_back(Member{HashOf(family), family, i});
    }
    // By family, each one's members in the order of their places.
    std::sort(members.begin(), members.end());
    std::vector<Found> moved;
    for (auto begin = members.begin(); begin != members.end();) {
        const auto end = std::find_if(begin, members.end(), [&](const Member& member) {
            return member.hash != begin->hash || !(member.family == begin->family);
        });
        if (end - begin >= 2) {
            // Each member's key worked out once, not at each comparison.
            using Keyed = std::pair<decltype(key(found[0])), std::size_t>;
            std::vector<Keyed> keyed;
            for (auto it = begin; it != end; ++it)
                keyed.emplace_back(key(found[it->place]), it->place);
            std::stable_sort(keyed.begin(), keyed.end(),
                             [](const Keyed& a, const Keyed& b) { return a.first < b.first; });
            moved.clear();
            for (const Keyed& k : keyed)
                moved.push_back(std::move(found[k.second]));
            for (auto it = begin; it != end; ++it)
                found[it->place] = std::move(moved[static_cast<std::size_t>(it - begin)]);
        }
        begin = end;
    }
}

// "MGA zone 56" of "GDA94 / MGA zone 56": EPSG's name of the grid apart from
// its datum's; empty for a name without one, and for the forms of a system.
std::string_view GridOf(const Candidate& candidate)
{
    const std::size_t slash = candidate.name.find(" / ");
    if (slash == std::string::npos || candidate.authority != "EPSG" || candidate.variant ||
        candidate.deprecated)
        return std::string_view();
    return std::string_view(candidate.name).substr(slash + 3);
}

// "GDA" of "GDA94 / …" and "GDA2020 / …", "NAD" of "NAD83(2011) / …": the
// letters a datum's realisations share, as EPSG names their systems.
std::string_view DatumLettersOf(const Candidate& candidate)
{
    const std::size_t end = candidate.name.find_first_of("0123456789( /");
    return std::string_view(candidate.name).substr(0, end);
}

// "DHHN" and " height" of "DHHN92 height" and "DHHN2016 height": a vertical
// datum's letters and what the name says after its realisation's number;
// none for a name whose first word is more ("EVRF2007-PL height" is
// Poland's, not a realisation of EVRF's).
Family VerticalRealisationsOf(const Candidate& candidate)
{
    const std::string_view name = candidate.name;
    const std::size_t digits = name.find_first_of("0123456789");
    const std::size_t blank = name.find(' ');
    if (candidate.kind != CandidateKind::Vertical || candidate.authority != "EPSG" ||
        candidate.variant || candidate.deprecated || digits == 0 || blank == std::string::npos ||
        digits > blank || name.find_first_not_of("0123456789", digits) != blank)
        return Family();
    return FamilyOf(name.substr(0, digits), name.substr(blank));
}

// The realisations a system is one of: a grid on a datum's ("GDA" and "MGA
// zone 56"), or a vertical datum's; none for most.
Family RealisationsOf(const Candidate& c)
{
    if (c.kind == CandidateKind::Vertical)
        return VerticalRealisationsOf(c);
    const std::string_view grid = GridOf(c);
    return grid.empty() ? Family() : FamilyOf(DatumLettersOf(c), grid);
}

} // namespace

std::size_t RealisationFamily(const Candidate& candidate)
{
    const Family family = RealisationsOf(candidate);
    return family.any ? HashOf(family) | 1 : 0;
}

void NewerRealisationsFirst(std::vector<Found>& found, const std::vector<std::string>& typed,
                            const std::function<bool(const Candidate&)>& foreign)
{
    const auto realisations = [](const Candidate& c) { return RealisationsOf(c); };
    // How much of the words typed the system's datum is, as its name writes
    // it: " nad 83 " of "NAD83 / …" in " nad 83 utm 17 n "; 0 when they do
    // not name it whole.
    const auto named = [&typed](const Candidate& c) {
        if (typed.empty())
            return 0;
        const std::size_t slash = c.name.find(" / ");
        const std::string datum = FoldedWords(
            std::string_view(c.name).substr(0, slash == std::string::npos ? c.name.size() : slash));
        for (const std::string& words : typed) {
            if (!datum.empty() && words.find(datum) != std::string::npos)
                return static_cast<int>(datum.size());
        }
        return 0;
    };
    ReorderFamilies(found, realisations, [&](const Found& f) {
        const Candidate& c = *f.candidate;
        // A year unknown counts as the earliest.
        return std::make_tuple(f.evidence, foreign && foreign(c), -named(c), c.datum,
                               -static_cast<int>(c.datumYear));
    });
}

void MostCentralZoneFirst(std::vector<Found>& found, double latitude, double longitude)
{
    // "JGD2011 / Japan Plane Rectangular CS" of "… CS IX": the name without
    // its last word, the zone's, when the grid's name has more; "RGF93 v2b /
    // CC" of "… / CC46", France's conic zones, numbered by their latitude.
    const auto zones = [](const Candidate& c) {
        const std::string_view grid = GridOf(c);
        if (grid.empty() || !c.area || !c.area->bounded || c.area->west > c.area->east)
            return Family();
        const std::string_view name = c.name;
        if (grid.find(' ') != std::string_view::npos)
            return FamilyOf(name.substr(0, name.rfind(' ')));
        const std::size_t digits = grid.find_first_of("0123456789");
        const bool lettersThenNumber =
            digits > 0 && digits != std::string_view::npos &&
            grid.find_first_not_of("0123456789", digits) == std::string_view::npos &&
            std::all_of(grid.begin(), grid.begin() + static_cast<std::ptrdiff_t>(digits),
                        [](char letter) { return letter >= 'A' && letter <= 'Z'; });
        return lettersThenNumber ? FamilyOf(name.substr(0, name.size() - (grid.size() - digits)))
                                 : Family();
    };
    // How far from the middle of its area the place lies, in halves of the
    // area's width and height.
    ReorderFamilies(found, zones, [&](const Found& f) {
        const AreaOfUse& area = *f.candidate->area;
        const double width = std::max(area.east - area.west, 1e-9);
        const double height = std::max(area.north - area.south, 1e-9);
        return std::make_tuple(f.evidence,
                               std::fabs(longitude - (area.west + area.east) / 2) / width +
                                   std::fabs(latitude - (area.south + area.north) / 2) / height);
    });
}
