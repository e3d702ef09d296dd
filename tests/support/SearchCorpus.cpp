#include "support/SearchCorpus.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "search/Matching.h"

std::vector<CorpusQuery> ReadSearchCorpus()
{
    std::vector<CorpusQuery> corpus;
    std::ifstream file(ORVANE_SEARCH_CORPUS);
    std::string text;
    for (int line = 1; std::getline(file, text); ++line) {
        if (text.empty() || text[0] == '#')
            continue;
        CorpusQuery query;
        query.line = line;
        const std::size_t tab = text.find('\t');
        query.query = text.substr(0, tab);
        std::istringstream codes(tab == std::string::npos ? std::string() : text.substr(tab + 1));
        for (std::string code; codes >> code;)
            query.codes.push_back(code);
        corpus.push_back(std::move(query));
    }
    return corpus;
}

std::vector<std::string> CorpusMisses(const SearchCandidates& candidates,
                                      const std::vector<CorpusQuery>& corpus)
{
    std::vector<std::string> misses;
    for (const CorpusQuery& query : corpus) {
        const Finding finding = FindForText(candidates, query.query, 3);
        std::string firstThree;
        bool answered = false;
        for (const Found& found : finding.found) {
            const std::string code = CandidateCode(*found.candidate);
            firstThree += " " + (code.empty() ? found.candidate->name : code);
            answered = answered ||
                       std::find(query.codes.begin(), query.codes.end(), code) != query.codes.end();
        }
        if (!answered)
            misses.push_back("line " + std::to_string(query.line) + ": " + query.query + " →" +
                             (firstThree.empty() ? " nothing" : firstThree));
    }
    return misses;
}
