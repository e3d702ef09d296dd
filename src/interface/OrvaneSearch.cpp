// The exported search.
#include "interface/OrvaneSearch.h"

#include <cmath>

#include "search/Matching.h"
#include "search/Places.h"
#include "search/SearchCandidates.h"

namespace {

std::vector<OrvaneFoundSystem> Described(const std::vector<Found>& found)
{
    std::vector<OrvaneFoundSystem> systems;
    for (const Found& f : found) {
        const Candidate& c = *f.candidate;
        const char* origin = c.source == CandidateSource::User        ? "user"
                             : c.source == CandidateSource::Catalogue ? "catalogue"
                             : c.authority == "ESRI"                  ? "esri"
                                                                      : "epsg";
        const std::string code = CandidateCode(c);
        systems.push_back(OrvaneFoundSystem{c.name, code, origin, c.kind == CandidateKind::Projected,
                                            c.area ? c.area->name : std::string(),
                                            code.empty() ? c.system.Text() : code, f.alias,
                                            CandidateKindName(c.kind)});
    }
    return systems;
}

}  // namespace

std::vector<OrvaneFoundSystem> OrvaneFindSystems(const char* text, std::size_t limit)
{
    if (!text)
        return {};
    // A place (coordinates, a city) lists the systems used there.
    const SearchCandidates candidates = AllCandidates(ShippedGeogSystems(), UserGeogSystems(), true);
    return Described(FindForText(candidates, text, limit).found);
}

std::vector<OrvaneFoundSystem> OrvaneFindSystemsAt(double latitude, double longitude, std::size_t limit)
{
    if (!(std::fabs(latitude) <= 90 && std::fabs(longitude) <= 180))
        return {};
    const SearchCandidates candidates = AllCandidates(ShippedGeogSystems(), UserGeogSystems(), true);
    return Described(CandidatesAt(candidates, latitude, longitude, limit));
}

bool OrvaneParsePlace(const char* text, double& latitude, double& longitude)
{
    return OrvaneParsePlace(text, latitude, longitude, false);
}

bool OrvaneParsePlace(const char* text, double& latitude, double& longitude, bool wholeNumbers)
{
    Place place;
    if (!text || !ParsePlace(text, place, wholeNumbers))
        return false;
    latitude = place.latitude;
    longitude = place.longitude;
    return true;
}
