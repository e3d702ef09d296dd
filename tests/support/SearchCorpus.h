// The search's labelled corpus (tests/data/search_corpus.tsv): what people
// type, and the systems that answer it. The suite and the bench run it alike.
#pragma once

#include <string>
#include <vector>

struct SearchCandidates;

struct CorpusQuery {
    int line = 0;
    std::string query;
    std::vector<std::string> codes; // "EPSG:4326", "ESRI:54009": any one answers it
};

// The corpus's queries; a line that is not "query<TAB>codes" is reported
// as a query without codes, so that it fails rather than vanishes.
std::vector<CorpusQuery> ReadSearchCorpus();

// The queries the search does not answer in its first three rows, each as
// "line N: query → what came first".
std::vector<std::string> CorpusMisses(const SearchCandidates& candidates,
                                      const std::vector<CorpusQuery>& corpus);
