// One query of PROJ's database: the database opened when it is usable, the
// statement prepared, its rows read up to the most any database of PROJ's
// holds, everything closed with the object.
#pragma once

#include <memory>
#include <string>

#include "module/ProjSupport.h"

struct sqlite3_stmt;

class ProjQuery {
public:
    // `seconds`: the deadline of the whole query.
    explicit ProjQuery(const char* sql, int seconds = 5);
    ~ProjQuery();
    ProjQuery(const ProjQuery&) = delete;
    ProjQuery& operator=(const ProjQuery&) = delete;

    // False when the database is unusable or the query could not be made.
    explicit operator bool() const { return m_statement != nullptr; }
    // Parameter `index` (from 1) is `text`.
    void Bind(int index, const std::string& text);
    // The next row; false after the last.
    bool Next();
    // A column of the current row; empty, or 0, for none.
    std::string Text(int column) const;
    double Number(int column) const;
    bool IsNull(int column) const;

private:
    ProjDatabaseHandle m_db;
    sqlite3_stmt* m_statement = nullptr;
    int m_rows = 0;
};
