// The systems the chooser's search offers: EPSG's and ESRI's from PROJ's
// database with every other name the database records for them and their
// areas of use, the catalogue's and the user's own.
#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "catalog/GeogCatalog.h"
#include "module/SpatialSystem.h"
#include "search/Spelling.h"
#include "map/AreaOfUse.h"
#include "search/SearchTerms.h"
#include "search/WordIndex.h"

enum class CandidateKind : std::uint8_t { Geographic, Projected };
enum class CandidateSource : std::uint8_t { Database, Catalogue, User, Recent };

// How widely a system's datum is used today, for ranking: WGS 84 is the
// world's; the national and continental datums of today's surveys come next;
// historical ones after them.
enum class DatumUse : std::uint8_t { World, Current, Historical };

struct Candidate {
    std::string name;
    std::string authority;  // "EPSG" or "ESRI"; empty for a system without a code
    std::string code;       // the authority's code
    CandidateKind kind = CandidateKind::Geographic;
    CandidateSource source = CandidateSource::Database;
    DatumUse datum = DatumUse::Historical;
    const AreaOfUse* area = nullptr;    // null when unknown
    std::shared_ptr<const AreaOfUse> ownArea;  // what `area` points to when no database system's
    std::vector<std::string> aliases;   // other names of the system
    std::string words;                  // the name's folded words
    std::vector<std::string> aliasWords;
    std::string wkt;                    // the system itself; empty for the database's, made when chosen
    SpatialSystem system;               // the same, read, where it has been (a recent system)
    // A catalogue entry that is a database system stands for it: found by
    // its name, it shows as that system.
    const Candidate* standsFor = nullptr;
    // Another form of an EPSG system (an axis-order variant, "(N-E)"; ESRI's
    // copy of it under the same code): ranked after the systems themselves.
    bool variant = false;
    // Retired by its authority: found only by its own code or name, its
    // name marked (kDeprecatedMark), its replacements after it
    // (CandidateDatabase::ReplacementsOf).
    bool deprecated = false;
};

// What a retired system's name is shown with, as PROJ names them.
inline constexpr const char kDeprecatedMark[] = " (deprecated)";

using CandidateList = std::vector<Candidate>;

// The words of the database's systems, for reading what is typed.
struct CandidateWords {
    WordIndex index;        // the words of the names, aliases, areas and codes, by position
    Vocabulary vocabulary;  // the words of the names and aliases
};

// EPSG's and ESRI's geographic 2D and projected systems, read from PROJ's
// database with their aliases, areas of use and replacements.
struct CandidateDatabase {
    CandidateList candidates;
    std::vector<AreaOfUse> areas;  // the candidates point into it
    std::unordered_map<std::string, std::size_t> byCode;  // "EPSG:4326" → position

    // The system of that code ("EPSG:4326"); null when it is not one.
    const Candidate* Find(const std::string& code) const;
    // What replaces a retired system ("EPSG:3413"), by its code; kept apart
    // from the candidates, few of which have any.
    std::unordered_map<std::string, std::vector<std::string>> replacements;
    const std::vector<std::string>& ReplacementsOf(const Candidate& candidate) const;
    // Where EPSG's system of that code ("4326") may be used; null when it is
    // none of the database's (or the code is empty) or its area is unknown.
    const AreaOfUse* AreaOfEpsg(const std::string& code) const;
    // The words: made on a thread of their own once the systems are read,
    // so that a first search need not wait for them (it matches every
    // system instead). WordsIfMade is null until then (and for systems put
    // together otherwise); Words waits.
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
    CandidateWords m_words;
    std::shared_future<void> m_wordsMade;  // last: waited for before the rest goes
};
// Reads the database (tens of milliseconds). Null when it cannot be read
// (see ProjDatabaseProblem).
std::unique_ptr<const CandidateDatabase> ReadCandidateDatabase();
// The same, read once per process and shared by every search; empty, and
// read again next time, while it cannot be read.
std::shared_ptr<const CandidateDatabase> DatabaseCandidates();
// The same when it has been read already; null while it is being read.
std::shared_ptr<const CandidateDatabase> DatabaseCandidatesIfRead();

// What one search runs over: the database's systems, then the catalogue
// entries (those that are database systems stand for them), then the
// user's, and the search terms.
struct SearchCandidates {
    std::shared_ptr<const CandidateDatabase> database;
    CandidateList own;
    std::vector<SearchTerm> terms;
    Vocabulary vocabulary;  // the catalogues' words; the database's are looked in too, once made

    std::size_t Size() const { return (database ? database->candidates.size() : 0) + own.size(); }
    const Candidate& operator[](std::size_t i) const
    {
        const std::size_t shared = database ? database->candidates.size() : 0;
        return i < shared ? database->candidates[i] : own[i - shared];
    }
};
SearchCandidates AllCandidates(const SystemCatalog& shipped, const SystemCatalog& user);

// "EPSG:4326", "ESRI:54009"; empty for a system without a code.
std::string CandidateCode(const Candidate& candidate);

// What a system the user composed is, for a list where all such systems bear
// the custom category's name: "Transverse Mercator, CM 117°E, ETRS89".
std::string ComposedSystemDescription(OGRSpatialReferenceH srs);

// The candidate standing for a parsed system (a recent one); false when the
// text is no system.
bool CandidateOfWkt(const std::string& wkt, CandidateSource source, Candidate& candidate);

// Where a candidate may be used: its own area, the database system's it
// stands for, or that of its code in `database`; null when none is known.
const AreaOfUse* AreaOfCandidate(const Candidate& candidate, const CandidateDatabase* database);

// The system a candidate restores: its own, or its authority's for its code
// (made from the code, never from a text of it). No system when GDAL cannot
// make it.
SpatialSystem CandidateSystem(const Candidate& candidate);
