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

// The database's systems, then the catalogue entries (those that are
// database systems stand for them), then the user's, and the search terms.
struct SearchCandidates {
    std::shared_ptr<const CandidateDatabase> database;
    CandidateList own;
    std::vector<SearchTerm> terms;
    Vocabulary vocabulary; // the catalogues' words; the database's are looked in too, once made

    std::size_t Size() const { return (database ? database->candidates.size() : 0) + own.size(); }
    const Candidate& operator[](std::size_t i) const
    {
        const std::size_t shared = database ? database->candidates.size() : 0;
        return i < shared ? database->candidates[i] : own[i - shared];
    }
};

// Reads them all: the shared database (SharedDatabase.h), the catalogues
// (the user's entry of a name replacing the shipped one) and the terms; the
// cities are read beside them. Off the UI thread: it may take a while.
SearchCandidates AllCandidates(const SystemCatalog& shipped, const SystemCatalog& user);
