// PROJ's database as the search reads it, read once per process and shared
// by every search and every dialog.
#pragma once

#include <memory>

#include "search/CandidateDatabase.h"

// The database's systems (ReadCandidateDatabase), read at the first call;
// empty, and read again next time, while the database cannot be read.
std::shared_ptr<const CandidateDatabase> DatabaseCandidates();
// The same when it has been read already; null while it is being read.
std::shared_ptr<const CandidateDatabase> DatabaseCandidatesIfRead();
// The database's vertical and compound systems, as DatabaseCandidates.
std::shared_ptr<const CandidateDatabase> HeightCandidates();
