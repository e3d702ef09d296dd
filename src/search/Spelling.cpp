#include "search/Spelling.h"

#include <algorithm>
#include <limits>

#include "search/Folding.h"

namespace {

bool IsLetterWord(std::string_view word)
{
    return word.size() >= 2 &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// Typos allowed in a word of that length.
int TyposAllowed(std::size_t length)
{
    return length >= 9 ? 2 : length >= 5 ? 1 : 0;
}

}  // namespace

namespace {

// Calls `take` with each Latin word of a folded text.
template <typename Take>
void ForEachLetterWord(std::string_view folded, Take take)
{
    ForEachWord(folded, [&take](std::string_view word) {
        if (IsLetterWord(word))
            take(word);
    });
}

template <typename Words>
bool SortedHasStart(const Words& words, std::string_view word)
{
    const auto at = std::lower_bound(words.begin(), words.end(), word,
                                     [](std::string_view a, std::string_view b) { return a < b; });
    return at != words.end() && std::string_view(*at).substr(0, word.size()) == word;
}

template <typename Words>
bool SortedHas(const Words& words, std::string_view word)
{
    return std::binary_search(words.begin(), words.end(), word,
                              [](std::string_view a, std::string_view b) { return a < b; });
}

template <typename Words>
void SortUnique(Words& words)
{
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    words.shrink_to_fit();
}

}  // namespace

void Vocabulary::Add(std::string_view folded)
{
    ForEachLetterWord(folded, [this](std::string_view word) { m_owned.emplace_back(word); });
}

void Vocabulary::AddBorrowedWord(std::string_view word)
{
    if (IsLetterWord(word))
        m_borrowed.push_back(word);
}

void Vocabulary::Finish()
{
    SortUnique(m_borrowed);
    SortUnique(m_owned);
}

std::size_t Vocabulary::Bytes() const
{
    std::size_t bytes = m_borrowed.capacity() * sizeof(std::string_view) + m_owned.capacity() * sizeof(std::string);
    for (const std::string& word : m_owned)
        bytes += word.capacity() > 15 ? word.capacity() + 1 : 0;
    return bytes;
}

bool Vocabulary::Has(std::string_view word) const
{
    return SortedHas(m_borrowed, word) || SortedHas(m_owned, word) ||
           std::any_of(m_also.begin(), m_also.end(),
                       [&](const Vocabulary* more) { return more->Has(word); });
}

bool Vocabulary::HasStart(std::string_view word) const
{
    return SortedHasStart(m_borrowed, word) || SortedHasStart(m_owned, word) ||
           std::any_of(m_also.begin(), m_also.end(),
                       [&](const Vocabulary* more) { return more->HasStart(word); });
}

std::string Vocabulary::Split(std::string_view word) const
{
    // Fewest pieces to reach each position; the last piece may be a start.
    const std::size_t n = word.size();
    constexpr int kNone = std::numeric_limits<int>::max();
    std::vector<int> pieces(n + 1, kNone);
    std::vector<std::size_t> from(n + 1, 0);
    pieces[0] = 0;
    for (std::size_t end = 2; end <= n; ++end) {
        for (std::size_t start = 0; start + 2 <= end; ++start) {
            if (pieces[start] == kNone || pieces[start] + 1 >= pieces[end])
                continue;
            const std::string_view piece = word.substr(start, end - start);
            if (Has(piece) || (end == n && piece.size() >= 3 && HasStart(piece))) {
                pieces[end] = pieces[start] + 1;
                from[end] = start;
            }
        }
    }
    if (pieces[n] == kNone || pieces[n] < 2)
        return std::string();
    std::vector<std::string_view> parts;
    for (std::size_t end = n; end > 0; end = from[end])
        parts.push_back(word.substr(from[end], end - from[end]));
    std::string split;
    for (auto part = parts.rbegin(); part != parts.rend(); ++part)
        split += (split.empty() ? "" : " ") + std::string(*part);
    return split;
}

std::string Vocabulary::Closest(std::string_view word) const
{
    if (word.size() < 5)
        return OnlyNear(word);
    std::string best;
    int bestTypos = TyposAllowed(word.size()) + 1;
    if (bestTypos > 1)
        Closest(word, best, bestTypos);
    return best;
}

std::string Vocabulary::OnlyNear(std::string_view word) const
{
    // Three letters are too few for any edit but two swapped ("wsg"); of
    // four, two swapped is the likeliest slip ("zoen"), any one edit else.
    const bool swapOnly = word.size() < 4;
    std::string swapped, near;
    bool swapsAmbiguous = false, nearAmbiguous = false;
    ForEachKnown([&](std::string_view known) {
        if (IsOneSwapApart(word, known)) {
            swapsAmbiguous = swapsAmbiguous || (!swapped.empty() && known != swapped);
            swapped = std::string(known);
        } else if (!swapOnly && known.size() + 1 >= word.size() && known.size() <= word.size() + 1 &&
                   Typos(word, known, 1) == 1) {
            nearAmbiguous = nearAmbiguous || (!near.empty() && known != near);
            near = std::string(known);
        }
    });
    if (!swapped.empty())
        return swapsAmbiguous ? std::string() : swapped;
    return nearAmbiguous ? std::string() : near;
}

void Vocabulary::Closest(std::string_view word, std::string& best, int& bestTypos) const
{
    const auto consider = [&](std::string_view known) {
        const int lengthApart = static_cast<int>(known.size()) - static_cast<int>(word.size());
        if (lengthApart > bestTypos - 1 || -lengthApart > bestTypos - 1)
            return;
        const int typos = Typos(word, known, bestTypos - 1);
        if (typos < bestTypos) {
            bestTypos = typos;
            best = std::string(known);
        }
    };
    for (std::string_view known : m_borrowed)
        consider(known);
    for (const std::string& known : m_owned)
        consider(known);
    for (const Vocabulary* more : m_also)
        more->Closest(word, best, bestTypos);
}

bool IsOneSwapApart(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    std::size_t first = 0;
    while (first < a.size() && a[first] == b[first])
        ++first;
    return first + 1 < a.size() && a[first] == b[first + 1] && a[first + 1] == b[first] &&
           a.substr(first + 2) == b.substr(first + 2);
}

int Typos(std::string_view a, std::string_view b, int most)
{
    const std::size_t n = a.size(), m = b.size();
    // Three rows of the table: two back for a swap.
    std::vector<int> before(m + 1), previous(m + 1), current(m + 1);
    for (std::size_t j = 0; j <= m; ++j)
        previous[j] = static_cast<int>(j);
    int previousLeast = 0;
    for (std::size_t i = 1; i <= n; ++i) {
        current[0] = static_cast<int>(i);
        int rowLeast = current[0];
        for (std::size_t j = 1; j <= m; ++j) {
            const int change = a[i - 1] == b[j - 1] ? 0 : 1;
            int cost = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                cost = std::min(cost, before[j - 2] + 1);
            current[j] = cost;
            rowLeast = std::min(rowLeast, cost);
        }
        // A swap reaches back two rows: both past the most, no cell can come back.
        if (rowLeast > most && previousLeast > most)
            return most + 1;
        previousLeast = rowLeast;
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return std::min(previous[m], most + 1);
}

namespace {

bool IsWordToCorrect(std::string_view word)
{
    return IsLetterWord(word) && word.size() >= 3;
}

}  // namespace

bool HasWordToCorrect(const std::string& folded)
{
    bool has = false;
    ForEachLetterWord(folded, [&has](std::string_view word) { has = has || IsWordToCorrect(word); });
    return has;
}

std::string CorrectedWords(const std::string& folded, const Vocabulary& vocabulary)
{
    if (!HasWordToCorrect(folded) || vocabulary.Size() == 0)
        return folded;
    std::string corrected = " ";
    bool changed = false;
    ForEachWord(folded, [&](std::string_view word) {
        std::string better;
        if (IsWordToCorrect(word) && !vocabulary.HasStart(word)) {
            better = vocabulary.Split(word);
            // A split into a piece of a few letters is weaker than one typo
            // mended: "robinsen" is Robinson, not "robin sen".
            bool shortPiece = false;
            ForEachWord(better, [&shortPiece](std::string_view piece) {
                shortPiece = shortPiece || piece.size() < 4;
            });
            if (better.empty() || shortPiece) {
                std::string closest = vocabulary.Closest(word);
                if (!closest.empty() || better.empty())
                    better = std::move(closest);
            }
        }
        changed = changed || !better.empty();
        corrected += better.empty() ? std::string(word) : better;
        corrected += ' ';
    });
    return changed ? corrected : folded;
}
