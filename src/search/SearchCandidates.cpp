// What one search runs over, read all together off the UI thread.
#include "search/SearchCandidates.h"

#include <future>
#include <string>

#include "module/Module.h"
#include "search/CandidateSystems.h"
#include "search/Cities.h"
#include "search/SharedDatabase.h"
#include "util/Beside.h"

namespace
{

std::vector<SearchTerm> ShippedSearchTerms()
{
    return ReadSearchTerms(std::vector<std::string>{GetSearchTermsPath(), GetCountryNamesPath()});
}

} // namespace

const Candidate* SearchCandidates::Find(const std::string& code) const
{
    for (const auto* set : {database.get(), heights.get()}) {
        if (const Candidate* found = set ? set->Find(code) : nullptr)
            return found;
    }
    return nullptr;
}

const std::vector<std::string>& SearchCandidates::ReplacementsOf(const Candidate& candidate) const
{
    static const std::vector<std::string> none;
    for (const auto* set : {database.get(), heights.get()}) {
        const std::vector<std::string>& found = set ? set->ReplacementsOf(candidate) : none;
        if (!found.empty())
            return found;
    }
    return none;
}

SearchCandidates AllCandidates(const SystemCatalog& shipped, const SystemCatalog& user,
                               bool heights)
{
    // The cities are read beside the database, off the UI thread, rather
    // than at the first word typed.
    std::future<const Gazetteer&> cities = Beside(Cities);
    SearchCandidates all;
    all.database = DatabaseCandidates();
    if (heights)
        all.heights = HeightCandidates();
    for (const auto& [name, wkt] : shipped) {
        // The user's entry of that name replaces the shipped one.
        if (user.count(name))
            continue;
        Candidate candidate = CatalogueCandidate(name, wkt, CandidateSource::Catalogue);
        if (!candidate.code.empty())
            candidate.standsFor = all.database->Find("EPSG:" + candidate.code);
        all.own.push_back(std::move(candidate));
    }
    for (const auto& [name, wkt] : user)
        all.own.push_back(CatalogueCandidate(name, wkt, CandidateSource::User));
    all.terms = ShippedSearchTerms();
    for (const Candidate& candidate : all.own)
        all.vocabulary.Add(candidate.words);
    all.vocabulary.Finish();
    all.vocabulary.Also(all.database->VocabularyBeingMade());
    if (all.heights)
        all.vocabulary.Also(all.heights->VocabularyBeingMade());
    cities.wait();
    return all;
}

SearchCandidates HeightSearchCandidates()
{
    std::future<const Gazetteer&> cities = Beside(Cities);
    SearchCandidates heights;
    heights.database = HeightCandidates();
    heights.terms = ShippedSearchTerms();
    heights.vocabulary.Finish();
    heights.vocabulary.Also(heights.database->VocabularyBeingMade());
    cities.wait();
    return heights;
}
