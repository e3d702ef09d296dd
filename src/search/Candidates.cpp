#include "search/Candidates.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "module/GdalSupport.h"
#include "module/ProjSupport.h"
#include "util/Text.h"

CandidateList ReadEpsgCandidates()
{
    CandidateList list;
    PJ_CONTEXT* context = QuietProjContext();
    if (!context)
        return list;
    PROJ_CRS_LIST_PARAMETERS* parameters = proj_get_crs_list_parameters_create();
    if (!parameters)
        return list;
    PJ_TYPE types[] = {PJ_TYPE_GEOGRAPHIC_2D_CRS, PJ_TYPE_PROJECTED_CRS};
    parameters->types = types;
    parameters->typesCount = 2;
    parameters->allow_deprecated = 0;
    int count = 0;
    PROJ_CRS_INFO** infos = proj_get_crs_info_list_from_database(context, "EPSG", parameters, &count);
    proj_get_crs_list_parameters_destroy(parameters);
    if (!infos)
        return list;
    list.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const PROJ_CRS_INFO& info = *infos[i];
        if (!info.name || !info.code)
            continue;
        Candidate candidate;
        candidate.name = info.name;
        candidate.code = info.code;
        candidate.area = info.area_name ? info.area_name : "";
        candidate.kind = info.type == PJ_TYPE_PROJECTED_CRS ? CandidateKind::Projected : CandidateKind::Geographic;
        candidate.folded = LowerAscii(candidate.name);
        list.push_back(std::move(candidate));
    }
    proj_crs_info_list_destroy(infos);
    list.shrink_to_fit();
    return list;
}

namespace {

Candidate CatalogueCandidate(const std::string& name, const std::string& wkt, CandidateSource source)
{
    Candidate candidate;
    candidate.name = name;
    candidate.code = TopLevelEpsgCode(wkt);
    candidate.kind = CandidateKind::Geographic;
    candidate.source = source;
    candidate.wkt = wkt;
    candidate.folded = LowerAscii(name);
    return candidate;
}

}  // namespace

std::shared_ptr<const CandidateList> EpsgCandidates()
{
    static std::once_flag read;
    static std::shared_ptr<const CandidateList> list;
    std::call_once(read, [] { list = std::make_shared<const CandidateList>(ReadEpsgCandidates()); });
    return list;
}

CandidateList AllCandidates(const SystemCatalog& shipped, const SystemCatalog& user)
{
    const std::shared_ptr<const CandidateList> epsg = EpsgCandidates();
    CandidateList all(*epsg);
    std::unordered_set<std::string> listedCodes;
    for (const Candidate& candidate : *epsg)
        listedCodes.insert(candidate.code);
    for (const auto& [name, wkt] : shipped) {
        // The user's entry of that name replaces the shipped one.
        if (user.count(name))
            continue;
        Candidate candidate = CatalogueCandidate(name, wkt, CandidateSource::Catalogue);
        if (candidate.code.empty() || !listedCodes.count(candidate.code))
            all.push_back(std::move(candidate));
    }
    for (const auto& [name, wkt] : user)
        all.push_back(CatalogueCandidate(name, wkt, CandidateSource::User));
    return all;
}

std::string TopLevelEpsgCode(const std::string& wkt)
{
    // WKT1 ends a system with its own AUTHORITY: `…,AUTHORITY["EPSG","4326"]]`.
    static const char kMark[] = "AUTHORITY[\"EPSG\",\"";
    std::size_t end = wkt.find_last_not_of(" \t\r\n");
    if (end == std::string::npos || end < 3 || wkt.compare(end - 2, 3, "\"]]") != 0)
        return std::string();
    const std::size_t start = wkt.rfind(kMark);
    if (start == std::string::npos)
        return std::string();
    const std::size_t digits = start + sizeof kMark - 1;
    const std::size_t quote = end - 2;
    if (quote <= digits || quote - digits > 9)
        return std::string();
    for (std::size_t i = digits; i < quote; ++i) {
        if (wkt[i] < '0' || wkt[i] > '9')
            return std::string();
    }
    return wkt.substr(digits, quote - digits);
}

bool CandidateOfWkt(const std::string& wkt, CandidateSource source, Candidate& candidate)
{
    const OsrHandle srs = NewSpatialReference(wkt);
    if (!srs || !(OSRIsGeographic(srs.get()) || OSRIsProjected(srs.get())))
        return false;
    candidate = Candidate();
    candidate.kind = OSRIsProjected(srs.get()) ? CandidateKind::Projected : CandidateKind::Geographic;
    const char* name = SystemNameOf(srs.get());
    candidate.name = name ? name : "";
    candidate.code = TopLevelEpsgCode(wkt);
    candidate.source = source;
    candidate.wkt = wkt;
    candidate.folded = LowerAscii(candidate.name);
    return true;
}

std::string CandidateWkt(const Candidate& candidate)
{
    if (!candidate.wkt.empty() || candidate.code.empty())
        return candidate.wkt;
    OsrHandle srs(OSRNewSpatialReference(nullptr));
    if (!srs || OSRImportFromEPSG(srs.get(), std::atoi(candidate.code.c_str())) != OGRERR_NONE)
        return std::string();
    return ExportToWkt(srs.get());
}
