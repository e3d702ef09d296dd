// What one search runs over: the database's systems, the catalogues' and
// the user's own, and the search terms.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "catalog/GeogCatalog.h"
#include "search/Candidate.h"
#include "search/CandidateDatabase.h"
#include "search/SearchTerms.h"
#include "search/Spelling.h"

// The database's systems, then its vertical and compound ones where they
// are asked for, then the catalogue entries (those that are database
// systems stand for them), then the user's, and the search terms.
struct SearchCandidates {
    std::shared_ptr<const CandidateDatabase> database;
    std::shared_ptr<const CandidateDatabase> heights; // null unless asked for
    CandidateList own;
    std::vector<SearchTerm> terms;
    Vocabulary vocabulary; // the catalogues' words; the databases' are looked in too, once made

    std::size_t Size() const { return SizeOf(database) + SizeOf(heights) + own.size(); }
    const Candidate& operator[](std::size_t i) const
    {
        if (i < SizeOf(database))
            return database->candidates[i];
        i -= SizeOf(database);
        return i < SizeOf(heights) ? heights->candidates[i] : own[i - SizeOf(heights)];
    }
    // The database system of that code ("EPSG:5555"), of either set; null
    // when none.
    const Candidate* Find(const std::string& code) const;
    // What replaces a retired database system, by code.
    const std::vector<std::string>& ReplacementsOf(const Candidate& candidate) const;

private:
    static std::size_t SizeOf(const std::shared_ptr<const CandidateDatabase>& set)
    {
        return set ? set->candidates.size() : 0;
    }
};

// Reads them all: the shared database (SharedDatabase.h), with its vertical
// and compound systems when `heights` asks for them, the catalogues (the
// user's entry of a name replacing the shipped one) and the terms; the
// cities are read beside them. Off the UI thread: it may take a while.
SearchCandidates AllCandidates(const SystemCatalog& shipped, const SystemCatalog& user,
                               bool heights = false);

// What the height row's search runs over: the vertical and compound systems
// alone, and the search terms.
SearchCandidates HeightSearchCandidates();
