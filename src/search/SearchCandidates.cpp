// What one search runs over, read all together off the UI thread.
#include "search/SearchCandidates.h"

#include <future>
#include <string>
#include <unordered_map>

#include "module/Module.h"
#include "search/CandidateSystems.h"
#include "search/Cities.h"
#include "search/SharedDatabase.h"
#include "util/Beside.h"

SearchCandidates AllCandidates(const SystemCatalog& shipped, const SystemCatalog& user)
{
    // The cities are read beside the database, off the UI thread, rather
    // than at the first word typed.
    std::future<const Gazetteer&> cities = Beside(Cities);
    SearchCandidates all;
    all.database = DatabaseCandidates();
    std::unordered_map<std::string, const Candidate*> epsg;
    for (const Candidate& candidate : all.database->candidates) {
        if (candidate.authority == "EPSG")
            epsg.emplace(candidate.code, &candidate);
    }
    for (const auto& [name, wkt] : shipped) {
        // The user's entry of that name replaces the shipped one.
        if (user.count(name))
            continue;
        Candidate candidate = CatalogueCandidate(name, wkt, CandidateSource::Catalogue);
        const auto same = epsg.find(candidate.code);
        if (same != epsg.end())
            candidate.standsFor = same->second;
        all.own.push_back(std::move(candidate));
    }
    for (const auto& [name, wkt] : user)
        all.own.push_back(CatalogueCandidate(name, wkt, CandidateSource::User));
    all.terms =
        ReadSearchTerms(std::vector<std::string>{GetSearchTermsPath(), GetCountryNamesPath()});
    for (const Candidate& candidate : all.own)
        all.vocabulary.Add(candidate.words);
    all.vocabulary.Finish();
    all.vocabulary.Also(all.database->VocabularyBeingMade());
    cities.wait();
    return all;
}
