// Which systems have a word that starts with a given text: the sieve a
// search runs first, so that only the systems it leaves are matched in full.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class WordIndex {
public:
    // Adds the words of `folded` (folded words, see FoldedWords) to system
    // `id`, in the order of the ids; `ofName` says they name it (rather than
    // its area, its code). Borrowed: `folded` must stay where it is for the
    // index's life.
    void Add(std::uint32_t id, std::string_view folded, bool ofName);
    // Sorts what was added; before any look-up. `systems` is one more than
    // the largest id.
    void Finish(std::size_t systems);

    // Sets `marks[id]` for each system with a word starting with `start`
    // (one word: no blank), and for each system with words of another script
    // (Chinese), which a search finds inside words. `marks` has one entry a
    // system.
    void MarkStarting(std::string_view start, std::vector<std::uint8_t>& marks) const;
    // Sets `marks[id]` for each system with words of another script only.
    void MarkOtherScript(std::vector<std::uint8_t>& marks) const;
    // Every word, sorted, each once; and whether the n-th names some system.
    const std::vector<std::string_view>& Words() const { return m_words; }
    bool NamesASystem(std::size_t n) const { return m_ofName[n]; }
    // What it keeps in memory, in bytes.
    std::size_t Bytes() const;

private:
    // Until Finish: each word once, and each word added with its system.
    std::unordered_map<std::string_view, std::uint32_t> m_wordIds;
    std::vector<std::string_view> m_wordsAdded;
    std::vector<bool> m_ofNameAdded;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_added;  // word, system
    std::vector<std::string_view> m_words;                            // sorted, each once
    std::vector<bool> m_ofName;
    std::vector<std::uint32_t> m_firstId;  // where each word's systems begin in m_ids; one more at the end
    std::vector<std::uint32_t> m_ids;
    std::vector<std::uint32_t> m_otherScript;  // systems with words of another script
};
