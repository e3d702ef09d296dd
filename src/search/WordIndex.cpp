#include "search/WordIndex.h"

#include <algorithm>
#include <numeric>

#include "search/Folding.h"

void WordIndex::Add(std::uint32_t id, std::string_view folded, bool ofName)
{
    ForEachWord(folded, [&](std::string_view word) {
        if (IsOtherScriptWord(word)) {
            m_otherScript.push_back(id);
            return;
        }
        const auto [known, added] = m_wordIds.emplace(word, static_cast<std::uint32_t>(m_wordsAdded.size()));
        if (added) {
            m_wordsAdded.push_back(word);
            m_ofNameAdded.push_back(false);
        }
        if (ofName)
            m_ofNameAdded[known->second] = true;
        m_added.emplace_back(known->second, id);
    });
}

void WordIndex::Finish(std::size_t systems)
{
    // The words sorted once each, then each word's systems counted into
    // place: sorting every word as often as it was added takes longer than
    // reading the database.
    std::vector<std::uint32_t> byName(m_wordsAdded.size());
    std::iota(byName.begin(), byName.end(), 0u);
    std::sort(byName.begin(), byName.end(),
              [&](std::uint32_t a, std::uint32_t b) { return m_wordsAdded[a] < m_wordsAdded[b]; });
    std::vector<std::uint32_t> place(byName.size());  // a word's place in sorted order
    for (std::size_t rank = 0; rank < byName.size(); ++rank)
        place[byName[rank]] = static_cast<std::uint32_t>(rank);
    m_words.resize(byName.size());
    m_ofName.resize(byName.size());
    for (std::size_t rank = 0; rank < byName.size(); ++rank) {
        m_words[rank] = m_wordsAdded[byName[rank]];
        m_ofName[rank] = m_ofNameAdded[byName[rank]];
    }
    m_firstId.assign(m_words.size() + 1, 0);
    for (const auto& [word, id] : m_added) {
        if (id < systems)
            ++m_firstId[place[word] + 1];
    }
    for (std::size_t rank = 0; rank < m_words.size(); ++rank)
        m_firstId[rank + 1] += m_firstId[rank];
    // Systems were added in order: each word's come out sorted, repeats together.
    std::vector<std::uint32_t> next(m_firstId.begin(), m_firstId.end() - 1);
    m_ids.assign(m_firstId.back(), 0);
    for (const auto& [word, id] : m_added) {
        if (id < systems)
            m_ids[next[place[word]]++] = id;
    }
    // Each system once a word.
    std::vector<std::uint32_t> firstId(m_firstId.size(), 0);
    std::size_t kept = 0;
    for (std::size_t rank = 0; rank < m_words.size(); ++rank) {
        firstId[rank] = static_cast<std::uint32_t>(kept);
        for (std::uint32_t i = m_firstId[rank]; i < m_firstId[rank + 1]; ++i) {
            if (i == m_firstId[rank] || m_ids[i] != m_ids[i - 1])
                m_ids[kept++] = m_ids[i];
        }
    }
    firstId.back() = static_cast<std::uint32_t>(kept);
    m_firstId = std::move(firstId);
    m_ids.resize(kept);
    std::vector<std::pair<std::uint32_t, std::uint32_t>>().swap(m_added);
    std::vector<std::string_view>().swap(m_wordsAdded);
    std::vector<bool>().swap(m_ofNameAdded);
    std::unordered_map<std::string_view, std::uint32_t>().swap(m_wordIds);
    std::sort(m_otherScript.begin(), m_otherScript.end());
    m_otherScript.erase(std::unique(m_otherScript.begin(), m_otherScript.end()), m_otherScript.end());
    m_words.shrink_to_fit();
    m_firstId.shrink_to_fit();
    m_ids.shrink_to_fit();
    m_otherScript.shrink_to_fit();
}

void WordIndex::MarkStarting(std::string_view start, std::vector<std::uint8_t>& marks) const
{
    if (m_firstId.empty())
        return;  // never finished: no words
    const auto first = std::lower_bound(m_words.begin(), m_words.end(), start);
    const auto last = std::lower_bound(first, m_words.end(), start, [](std::string_view word, std::string_view s) {
        return word.substr(0, s.size()) == s;
    });
    const std::uint32_t* ids = m_ids.data();
    const std::size_t from = m_firstId[static_cast<std::size_t>(first - m_words.begin())];
    const std::size_t to = m_firstId[static_cast<std::size_t>(last - m_words.begin())];
    for (std::size_t i = from; i < to; ++i)
        marks[ids[i]] = 1;
    MarkOtherScript(marks);
}

void WordIndex::MarkOtherScript(std::vector<std::uint8_t>& marks) const
{
    for (const std::uint32_t id : m_otherScript)
        marks[id] = 1;
}

std::size_t WordIndex::Bytes() const
{
    return m_words.capacity() * sizeof(std::string_view) + m_firstId.capacity() * sizeof(std::uint32_t) +
           m_ids.capacity() * sizeof(std::uint32_t) + m_otherScript.capacity() * sizeof(std::uint32_t) +
           m_ofName.capacity() / 8;
}
