#include "search/SearchTerms.h"

#include <algorithm>

#include "search/Folding.h"
#include "util/FileIO.h"
#include "util/Text.h"

namespace {

// A list of words, not a catalogue: a hundred times the shipped one.
constexpr std::size_t kMaxTermsBytes = 256 << 10;
// What a query may become once its terms are read.
constexpr std::size_t kMaxReadingBytes = 16 << 10;

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

std::vector<SearchTerm> ReadSearchTerms(const std::vector<std::string>& paths)
{
    std::vector<SearchTerm> terms;
    for (const std::string& path : paths) {
        std::vector<SearchTerm> more = ReadSearchTerms(path);
        terms.insert(terms.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    }
    std::stable_sort(terms.begin(), terms.end(),
                     [](const SearchTerm& a, const SearchTerm& b) { return a.term.size() > b.term.size(); });
    return terms;
}

std::string WithTermsRead(const std::string& folded, const std::vector<SearchTerm>& terms)
{
    // Each term is looked for in what was typed, never in a reading put in
    // its place: terms that stand for each other cannot feed themselves.
    // Longest terms first; a term may not overlap a longer one's words.
    // Folded words begin and end with a blank: " term " is whole words, and
    // two terms side by side share the blank between them.
    if (folded.size() < 2 || folded.back() != ' ')
        return folded;
    std::vector<bool> taken(folded.size(), false);  // inside a replaced term
    std::vector<std::pair<std::size_t, const SearchTerm*>> found;
    for (const SearchTerm& term : terms) {
        for (std::size_t at = folded.find(term.term); at != std::string::npos;
             at = folded.find(term.term, at + 1)) {
            const std::size_t end = at + term.term.size() - 1;  // the closing blank
            if (std::any_of(taken.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                            taken.begin() + static_cast<std::ptrdiff_t>(end), [](bool t) { return t; }))
                continue;
            std::fill(taken.begin() + static_cast<std::ptrdiff_t>(at) + 1, taken.begin() + static_cast<std::ptrdiff_t>(end),
                      true);
            found.emplace_back(at, &term);
        }
    }
    if (found.empty())
        return folded;
    std::sort(found.begin(), found.end());
    std::string read;
    std::size_t copied = 0;  // folded[copied] is the blank the next piece starts with
    for (const auto& [at, term] : found) {
        read.append(folded, copied, at - copied);
        read.append(term->reading, 0, term->reading.size() - 1);
        copied = at + term->term.size() - 1;
        // A reading that long is no query: the words as typed instead.
        if (read.size() > kMaxReadingBytes)
            return folded;
    }
    read.append(folded, copied, std::string::npos);
    return read;
}
