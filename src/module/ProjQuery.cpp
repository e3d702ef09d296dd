// A query of PROJ's database, its handles owned.
#include "module/ProjQuery.h"

#include <sqlite3.h>

ProjQuery::ProjQuery(const char* sql, int seconds)
{
    if (!ProjDatabaseProblem().empty())
        return;
    m_db = OpenProjDatabase(ProjDatabasePath(), seconds);
    if (m_db && sqlite3_prepare_v2(m_db.get(), sql, -1, &m_statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

ProjQuery::~ProjQuery()
{
    sqlite3_finalize(m_statement);
}

void ProjQuery::Bind(int index, const std::string& text)
{
    if (m_statement)
        sqlite3_bind_text(m_statement, index, text.c_str(), -1, SQLITE_TRANSIENT);
}

bool ProjQuery::Next()
{
    // A view that never ends is read no further.
    return m_statement && ++m_rows <= kMaxProjDatabaseRows && sqlite3_step(m_statement) == SQLITE_ROW;
}

std::string ProjQuery::Text(int column) const
{
    const unsigned char* text = m_statement ? sqlite3_column_text(m_statement, column) : nullptr;
    return text ? reinterpret_cast<const char*>(text) : std::string();
}

double ProjQuery::Number(int column) const
{
    return m_statement ? sqlite3_column_double(m_statement, column) : 0.0;
}

bool ProjQuery::IsNull(int column) const
{
    return !m_statement || sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}
