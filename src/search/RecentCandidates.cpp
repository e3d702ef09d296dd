#include "search/RecentCandidates.h"

#include "map/ChoiceArea.h"
#include "search/CandidateDatabase.h"
#include "search/CandidateSystems.h"
#include "search/RecentSystems.h"
#include "search/SharedDatabase.h"

namespace {

void GiveArea(Candidate& recent)
{
    const std::shared_ptr<const CandidateDatabase> database = DatabaseCandidatesIfRead();
    if (!database)
        return;
    recent.area = AreaOfCandidate(recent, database.get());
    const OGRSpatialReferenceH srs = recent.system.Handle();
    if (recent.area || !srs)
        return;
    const char* geogCode = OSRGetAuthorityCode(srs, "GEOGCS");
    const char* geogAuthority = OSRGetAuthorityName(srs, "GEOGCS");
    const bool epsg = geogCode && geogAuthority && std::string(geogAuthority) == "EPSG";
    const AreaOfUse area =
        AreaToShow(ShapeOfSystem(srs), nullptr, epsg ? database->AreaOfEpsg(geogCode) : nullptr);
    if (area.bounded) {
        recent.ownArea = std::make_shared<const AreaOfUse>(area);
        recent.area = recent.ownArea.get();
    }
}

}  // namespace

std::vector<Candidate> RecentCandidates()
{
    std::vector<Candidate> rows;
    for (const std::string& wkt : ReadRecentSystems(RecentSystemsPath())) {
        Candidate candidate;
        if (CandidateOfWkt(wkt, CandidateSource::Recent, candidate)) {
            GiveArea(candidate);
            rows.push_back(std::move(candidate));
        }
    }
    return rows;
}
