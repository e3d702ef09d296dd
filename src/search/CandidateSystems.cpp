// Candidates made of systems, and the systems candidates restore.
#include "search/CandidateSystems.h"

#include "catalog/Identification.h"
#include "module/GdalSupport.h"
#include "module/Sameness.h"
#include "search/CandidateNaming.h"
#include "search/Folding.h"

Candidate CatalogueCandidate(const std::string& name, const std::string& wkt,
                             CandidateSource source)
{
    Candidate candidate;
    candidate.name = name;
    // The shipped catalogue's claims are the sameness rule's (a test holds
    // them to it) and read off the texts: there are hundreds. The user's
    // are few, and judged.
    if (source == CandidateSource::Catalogue) {
        candidate.code = ClaimedEpsgCode(wkt);
    } else {
        const OsrHandle srs = NewSpatialReference(wkt);
        candidate.code = srs ? OwnEpsgCode(srs.get()) : std::string();
    }
    candidate.authority = candidate.code.empty() ? "" : "EPSG";
    candidate.kind = CandidateKind::Geographic;
    candidate.source = source;
    candidate.system = DeferredSystem(wkt);
    candidate.words = FoldedWords(name);
    return candidate;
}

bool CandidateOfWkt(const std::string& wkt, CandidateSource source, Candidate& candidate)
{
    SpatialSystem system(wkt);
    const OGRSpatialReferenceH srs = system.Handle();
    if (!srs || !(OSRIsGeographic(srs) || OSRIsProjected(srs)))
        return false;
    candidate = Candidate();
    candidate.kind = OSRIsProjected(srs) ? CandidateKind::Projected : CandidateKind::Geographic;
    candidate.name = CandidateNameOf(srs);
    candidate.code = OwnEpsgCode(srs);
    candidate.authority = candidate.code.empty() ? "" : "EPSG";
    candidate.source = source;
    candidate.system = DeferredSystem(std::move(system));
    candidate.words = FoldedWords(candidate.name);
    return true;
}

SpatialSystem CandidateSystem(const Candidate& candidate)
{
    if (!candidate.system.Text().empty() || candidate.code.empty())
        return candidate.system.Read();
    const OsrHandle srs = candidate.authority == "EPSG"
                              ? EpsgSystem(candidate.code)
                              : NewSpatialReference(CandidateCode(candidate), SystemText::Reference);
    return srs ? SpatialSystem(ExactWkt(srs.get()), srs.get()) : SpatialSystem();
}
