// PROJ's database as the search reads it, read once per process.
#include "search/SharedDatabase.h"

#include <atomic>
#include <mutex>

namespace
{
std::mutex g_databaseRead;
std::shared_ptr<const CandidateDatabase> g_database;
std::atomic<bool> g_databaseReady{false};
} // namespace

std::shared_ptr<const CandidateDatabase> DatabaseCandidates()
{
    const std::lock_guard<std::mutex> lock(g_databaseRead);
    if (g_database)
        return g_database;
    std::shared_ptr<const CandidateDatabase> read = ReadCandidateDatabase();
    // A database that could not be read is tried again next time: only what
    // was read is kept for the process.
    if (!read)
        return std::make_shared<const CandidateDatabase>();
    g_database = std::move(read);
    g_databaseReady = true;
    return g_database;
}

std::shared_ptr<const CandidateDatabase> DatabaseCandidatesIfRead()
{
    return g_databaseReady ? g_database : nullptr;
}
