// EPSG's and ESRI's systems as PROJ's database records them, with every
// other name it has for them, their areas of use and their replacements.
#pragma once

#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "map/AreaOfUse.h"
#include "search/Candidate.h"
#include "search/Spelling.h"
#include "search/WordIndex.h"

// The words of the database's systems, for reading what is typed.
struct CandidateWords {
    WordIndex index;       // the words of the names, aliases, areas and codes, by position
    Vocabulary vocabulary; // the words of the names and aliases
    // Every area's words, sorted: whether a text begins an area's name
    // ("mexico" of "Mexico - onshore") is asked at each keystroke.
    std::vector<std::string_view> areaWords;
    bool BeginsAnArea(std::string_view folded) const;
};

// EPSG's and ESRI's geographic 2D and projected systems (or vertical and
// compound ones), read from PROJ's database with their aliases, areas of use
// and replacements.
struct CandidateDatabase {
    CandidateList candidates;
    std::vector<AreaOfUse> areas;                        // the candidates point into it
    std::unordered_map<std::string, std::size_t> byCode; // "EPSG:4326" → position

    // The system of that code ("EPSG:4326"); null when it is not one.
    const Candidate* Find(const std::string& code) const;
    // What replaces a retired system ("EPSG:3413"), by its code; kept apart
    // from the candidates, few of which have any.
    std::unordered_map<std::string, std::vector<std::string>> replacements;
    const std::vector<std::string>& ReplacementsOf(const Candidate& candidate) const;
    // Where EPSG's system of that code ("4326") may be used; null when it is
    // none of the database's (or the code is empty) or its area is unknown.
    const AreaOfUse* AreaOfEpsg(const std::string& code) const;
    // Each area's country, by the area's position (Gazetteer::CountryOfArea),
    // worked out when first asked for: a country typed looks at every
    // system's. Never on the words' thread, which may still run at exit,
    // once the cities are gone.
    const std::vector<std::string_view>& AreaCountries() const;
    // The words (DatabaseWords.cpp): made on a thread of their own once the
    // systems are read, so that a first search need not wait for them (it
    // matches every system instead). WordsIfMade is null until then (and
    // for systems put together otherwise); Words waits.
    const CandidateWords* WordsIfMade() const;
    const CandidateWords& Words() const;
    // Where the vocabulary is being made, to be looked in once Words returned.
    const Vocabulary* VocabularyBeingMade() const { return &m_words.vocabulary; }
    // Starts making the words; once, when the systems are all read.
    void MakeWords();
    CandidateDatabase() = default;
    // The words are made of these very candidates: never copied away from them.
    CandidateDatabase(const CandidateDatabase&) = delete;
    CandidateDatabase& operator=(const CandidateDatabase&) = delete;
    ~CandidateDatabase();

private:
    mutable std::once_flag m_areaCountriesMade;
    mutable std::vector<std::string_view> m_areaCountries;
    CandidateWords m_words;
    std::shared_future<void> m_wordsMade; // last: waited for before the rest goes
};

// Which of the database's systems: the horizontal ones the chooser offers,
// or those with heights (vertical and compound), read apart for those who
// ask for them.
enum class SystemSet { Horizontal, Heights };

// Reads the database's systems of a set (tens of milliseconds for the
// horizontal ones). Null when it cannot be read (see ProjDatabaseProblem).
std::unique_ptr<const CandidateDatabase>
ReadCandidateDatabase(SystemSet set = SystemSet::Horizontal);

// Where a candidate may be used: its own area, the database system's it
// stands for, or that of its code in `database`; null when none is known.
const AreaOfUse* AreaOfCandidate(const Candidate& candidate, const CandidateDatabase* database);
