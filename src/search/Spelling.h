// Reading what was typed carelessly: words run together ("pseudomercator")
// and words misspelt ("mercatr"), read against the words the names use.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The Latin words of the names (folded, letters only, two letters or more).
class Vocabulary {
public:
    // Adds the words of a name, folded (see FoldedWords), copied.
    void Add(std::string_view folded);
    // Adds one word, when it is a Latin word. Borrowed: `word` must stay
    // where it is for the vocabulary's life (the database's own words).
    void AddBorrowedWord(std::string_view word);
    // Sorts the words; before any look-up.
    void Finish();
    // Another vocabulary looked in too (the database's, beside the
    // catalogues'); it must outlive this one.
    void Also(const Vocabulary* more) { m_also.push_back(more); }
    std::size_t Size() const
    {
        std::size_t size = m_borrowed.size() + m_owned.size();
        for (const Vocabulary* more : m_also)
            size += more->Size();
        return size;
    }
    // What it keeps in memory, in bytes (not counting the other's).
    std::size_t Bytes() const;

    // Whether a word of the names starts with `word` (or is it).
    bool HasStart(std::string_view word) const;
    // `word` as words of the names, run together ("pseudomercator" is
    // "pseudo mercator"; the last may be the start of one); the fewest
    // words, empty when it is none.
    std::string Split(std::string_view word) const;
    // The word of the names that `word` is with the fewest typos (a letter
    // wrong, missing, added, or two swapped), one allowed from five letters
    // on, two from nine; empty for none. A shorter word has one: of four
    // letters, a typo; of three, two letters swapped; and only where one
    // word of the names alone is that near.
    std::string Closest(std::string_view word) const;

private:
    bool Has(std::string_view word) const;
    std::string OnlyNear(std::string_view word) const;
    template <typename Take>
    void ForEachKnown(Take take) const
    {
        for (std::string_view known : m_borrowed)
            take(known);
        for (const std::string& known : m_owned)
            take(std::string_view(known));
        for (const Vocabulary* more : m_also)
            more->ForEachKnown(take);
    }
    void Closest(std::string_view word, std::string& best, int& bestTypos) const;
    std::vector<std::string_view> m_borrowed;  // sorted
    std::vector<std::string> m_owned;          // sorted
    std::vector<const Vocabulary*> m_also;
};

// Whether CorrectedWords would look any word of `folded` up (a Latin word
// of three letters or more): the vocabulary is not touched otherwise.
bool HasWordToCorrect(const std::string& folded);

// `folded` (folded words) with each Latin word the names know no word
// starting with, of three letters or more, split into words of the names or
// corrected to the closest; `folded` itself when no word is. Numbers are
// never corrected.
std::string CorrectedWords(const std::string& folded, const Vocabulary& vocabulary);

// Whether two words differ by two neighbouring letters swapped alone.
bool IsOneSwapApart(std::string_view a, std::string_view b);

// The typos between two words: letters wrong, missing, added or two
// swapped (optimal string alignment); `most` + 1 once it is more than `most`.
int Typos(std::string_view a, std::string_view b, int most);
