// The words of the database's systems, made on a thread of their own once
// the systems are read.
#include "search/CandidateDatabase.h"

#include <algorithm>
#include <chrono>

#include "util/Beside.h"

void CandidateDatabase::MakeWords()
{
    const auto make = [this] {
        // Borrowed: the candidates' words stay where they are from here on.
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            const Candidate& candidate = candidates[i];
            const auto id = static_cast<std::uint32_t>(i);
            // A retired system's words correct no typo: nothing but its own
            // name or code finds it.
            const bool names = !candidate.deprecated;
            m_words.index.Add(id, candidate.words, names);
            for (const std::string& words : candidate.aliasWords)
                m_words.index.Add(id, words, names);
            if (candidate.area && !candidate.deprecated)
                m_words.index.Add(id, candidate.area->words, false);
            m_words.index.Add(id, candidate.code, false);
        }
        m_words.index.Finish(candidates.size());
        // Typos are read against the names' words, sorted already.
        const std::vector<std::string_view>& words = m_words.index.Words();
        for (std::size_t n = 0; n < words.size(); ++n) {
            if (m_words.index.NamesASystem(n))
                m_words.vocabulary.AddBorrowedWord(words[n]);
        }
        m_words.vocabulary.Finish();
        for (const AreaOfUse& area : areas)
            m_words.areaWords.push_back(area.words);
        std::sort(m_words.areaWords.begin(), m_words.areaWords.end());
    };
    m_wordsMade = Beside(make).share();
}

CandidateDatabase::~CandidateDatabase()
{
    // The words are made of the candidates: never left being made as they go.
    if (m_wordsMade.valid())
        m_wordsMade.wait();
}

const CandidateWords* CandidateDatabase::WordsIfMade() const
{
    if (!m_wordsMade.valid())
        return nullptr;
    return m_wordsMade.wait_for(std::chrono::seconds(0)) == std::future_status::ready ? &m_words
                                                                                      : nullptr;
}

const CandidateWords& CandidateDatabase::Words() const
{
    if (m_wordsMade.valid())
        m_wordsMade.wait();
    return m_words;
}

bool CandidateWords::BeginsAnArea(std::string_view folded) const
{
    const auto at = std::lower_bound(areaWords.begin(), areaWords.end(), folded);
    return at != areaWords.end() && at->substr(0, folded.size()) == folded;
}
