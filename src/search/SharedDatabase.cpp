// PROJ's database as the search reads it, read once per process.
#include "search/SharedDatabase.h"

#include <atomic>
#include <mutex>

namespace
{

// One set's systems, read at the first call and kept for the process.
class SharedSet
{
public:
    constexpr explicit SharedSet(SystemSet set) : m_set(set) {}
    std::shared_ptr<const CandidateDatabase> Read()
    {
        const std::lock_guard<std::mutex> lock(m_reading);
        if (m_database)
            return m_database;
        std::shared_ptr<const CandidateDatabase> read = ReadCandidateDatabase(m_set);
        // A database that could not be read is tried again next time: only
        // what was read is kept for the process.
        if (!read)
            return std::make_shared<const CandidateDatabase>();
        m_database = std::move(read);
        m_ready = true;
        return m_database;
    }
    std::shared_ptr<const CandidateDatabase> IfRead() const
    {
        return m_ready ? m_database : nullptr;
    }

private:
    const SystemSet m_set;
    std::mutex m_reading;
    std::shared_ptr<const CandidateDatabase> m_database;
    std::atomic<bool> m_ready{false};
};

SharedSet g_horizontal(SystemSet::Horizontal);
SharedSet g_heights(SystemSet::Heights);

} // namespace

std::shared_ptr<const CandidateDatabase> DatabaseCandidates()
{
    return g_horizontal.Read();
}

std::shared_ptr<const CandidateDatabase> DatabaseCandidatesIfRead()
{
    return g_horizontal.IfRead();
}

std::shared_ptr<const CandidateDatabase> HeightCandidates()
{
    return g_heights.Read();
}
