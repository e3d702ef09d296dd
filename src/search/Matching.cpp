#include "search/Matching.h"

#include <algorithm>
#include <string>
#include <tuple>

#include "util/Text.h"

namespace {

struct QueryWord {
    std::string text;
    bool digits = false;
};

bool IsDigits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What a search reads of what was typed: no name is longer, and no one
// types more words; each word counts once.
constexpr std::size_t kMaxQueryBytes = 1000;
constexpr std::size_t kMaxQueryWords = 16;

// The query's distinct words, in lower case. "EPSG:32650" and "epsg 32650"
// both give the code alone: the authority names no part of any name.
std::vector<QueryWord> WordsOf(std::string_view query)
{
    std::vector<QueryWord> words;
    std::string word;
    auto finish = [&] {
        if (word.rfind("epsg:", 0) == 0 && IsDigits(word.substr(5)))
            word.erase(0, 5);
        const bool known = std::any_of(words.begin(), words.end(), [&](const QueryWord& w) { return w.text == word; });
        if (!word.empty() && word != "epsg" && word != "epsg:" && !known && words.size() < kMaxQueryWords)
            words.push_back(QueryWord{word, IsDigits(word)});
        word.clear();
    };
    for (char c : query.substr(0, kMaxQueryBytes)) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            finish();
        else
            word += LowerAscii(c);
    }
    finish();
    return words;
}

bool StartsAWord(const std::string& name, std::size_t at)
{
    if (at == 0)
        return true;
    const char before = name[at - 1];
    return !((before >= 'a' && before <= 'z') || (before >= '0' && before <= '9'));
}

// Whether `word` starts some word of `name`.
bool StartsSomeWord(const std::string& name, const std::string& word)
{
    for (std::size_t at = name.find(word); at != std::string::npos; at = name.find(word, at + 1)) {
        if (StartsAWord(name, at))
            return true;
    }
    return false;
}

enum Rank { kExactCode, kWholeName, kNameStart, kWordStarts, kElsewhere, kNoMatch };

Rank RankOf(const Candidate& candidate, const std::vector<QueryWord>& words, const std::string& whole)
{
    bool exactCode = false;
    bool wordStarts = true;
    for (const QueryWord& word : words) {
        const bool inName = candidate.folded.find(word.text) != std::string::npos;
        const bool inCode = word.digits && candidate.code.compare(0, word.text.size(), word.text) == 0;
        if (!inName && !inCode)
            return kNoMatch;
        exactCode = exactCode || (word.digits && candidate.code == word.text);
        wordStarts = wordStarts && (inCode || StartsSomeWord(candidate.folded, word.text));
    }
    if (exactCode)
        return kExactCode;
    if (candidate.folded == whole)
        return kWholeName;
    if (candidate.folded.compare(0, whole.size(), whole) == 0)
        return kNameStart;
    return wordStarts ? kWordStarts : kElsewhere;
}

}  // namespace

std::vector<std::size_t> MatchCandidates(const CandidateList& candidates, std::string_view query, std::size_t limit)
{
    const std::vector<QueryWord> words = WordsOf(query);
    std::vector<std::size_t> found;
    if (words.empty() || limit == 0)
        return found;
    std::string whole;
    for (const QueryWord& word : words)
        whole += (whole.empty() ? "" : " ") + word.text;
    std::vector<std::pair<Rank, std::size_t>> ranked;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const Rank rank = RankOf(candidates[i], words, whole);
        if (rank != kNoMatch)
            ranked.emplace_back(rank, i);
    }
    auto better = [&candidates](const std::pair<Rank, std::size_t>& a, const std::pair<Rank, std::size_t>& b) {
        const Candidate& x = candidates[a.second];
        const Candidate& y = candidates[b.second];
        return std::make_tuple(a.first, x.name.size(), x.name, a.second) <
               std::make_tuple(b.first, y.name.size(), y.name, b.second);
    };
    const std::size_t kept = std::min(limit, ranked.size());
    std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(kept), ranked.end(), better);
    found.reserve(kept);
    for (std::size_t i = 0; i < kept; ++i)
        found.push_back(ranked[i].second);
    return found;
}
