#include "search/SearchTerms.h"

#include <algorithm>

#include "search/Folding.h"
#include "util/FileIO.h"
#include "util/Text.h"

namespace {

// A list of words, not a catalogue.
constexpr std::size_t kMaxTermsBytes = 1 << 20;

}  // namespace

std::vector<SearchTerm> ReadSearchTerms(const std::string& path)
{
    std::vector<SearchTerm> terms;
    std::string content;
    if (!ReadRegularFile(path, content, kMaxTermsBytes))
        return terms;
    for (const std::string& line : TextLines(content)) {
        const std::size_t tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos)
            continue;
        SearchTerm term{FoldedWords(line.substr(0, tab)), FoldedWords(line.substr(tab + 1))};
        if (!term.term.empty() && !term.reading.empty())
            terms.push_back(std::move(term));
    }
    std::stable_sort(terms.begin(), terms.end(),
                     [](const SearchTerm& a, const SearchTerm& b) { return a.term.size() > b.term.size(); });
    return terms;
}

std::string WithTermsRead(const std::string& folded, const std::vector<SearchTerm>& terms)
{
    std::string read = folded;
    for (const SearchTerm& term : terms) {
        // Folded words begin and end with a blank: " term " is whole words.
        for (std::size_t at = read.find(term.term); at != std::string::npos;
             at = read.find(term.term, at + term.reading.size() - 1))
            read.replace(at, term.term.size(), term.reading);
    }
    return read;
}
