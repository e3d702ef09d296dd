// The exported search.
#include "interface/OrvaneSearch.h"

#include "search/Candidates.h"
#include "search/Matching.h"

std::vector<OrvaneFoundSystem> OrvaneFindSystems(const char* text, std::size_t limit)
{
    std::vector<OrvaneFoundSystem> found;
    if (!text)
        return found;
    const CandidateList candidates = AllCandidates(ShippedGeogSystems(), UserGeogSystems());
    for (std::size_t i : MatchCandidates(candidates, text, limit)) {
        const Candidate& c = candidates[i];
        const char* origin = c.source == CandidateSource::User        ? "user"
                             : c.source == CandidateSource::Catalogue ? "catalogue"
                                                                      : "epsg";
        found.push_back(OrvaneFoundSystem{c.name, c.code.empty() ? std::string() : "EPSG:" + c.code, origin,
                                          c.kind == CandidateKind::Projected, c.area,
                                          c.code.empty() ? c.wkt : "EPSG:" + c.code});
    }
    return found;
}
