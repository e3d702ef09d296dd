// PROJ used directly, beside GDAL: a quiet context per thread and RAII for
// PROJ's objects.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include <proj.h>

struct PjDeleter {
    void operator()(PJ* pj) const { proj_destroy(pj); }
};
using PjHandle = std::unique_ptr<PJ, PjDeleter>;

// A PROJ context of this thread's own, made once: PROJ reports nothing to
// the host's stderr, and no other thread's context is touched. Null when
// PROJ cannot make one.
PJ_CONTEXT* QuietProjContext();

// The last error PROJ reported on this thread's quiet context since
// ClearProjMessage (its own words, in English); empty for none.
std::string LastProjMessage();
void ClearProjMessage();

// Where PROJ's database is: the first proj.db in PROJ's search path (the
// user's PROJ folder, then PROJ_DATA or PROJ_LIB, else the folder PROJ was
// built with); empty when there is none.
std::string ProjDatabasePath();

// Why PROJ's database cannot be read ("cannot read the PROJ database
// /p/proj.db: file is not a database"); empty when it can. Checked before PROJ
// or GDAL opens it (the one PROJ finds, and the one of a search path a host
// set for GDAL): a pipe or device in its place would block them for ever, and
// a damaged or foreign file would make every system look unusable. Readable
// once, it is taken as readable for the rest of the process.
std::string ProjDatabaseProblem();

// `path` as an SQLite URI that reads the file without taking locks, as PROJ
// reads its database: a program holding a lock on it delays no reader.
std::string UnlockedSqliteUri(const std::string& path);

// PROJ's database at `path`, opened to read as PROJ reads it (no locks), its
// statements stopped once they have run `seconds` all told: a view that
// never ends (a hostile database's) ends them. Null when it cannot be opened.
struct sqlite3;
struct ProjDatabaseCloser {
    std::shared_ptr<std::chrono::steady_clock::time_point> deadline;  // the statements'
    void operator()(sqlite3* db) const;
};
using ProjDatabaseHandle = std::unique_ptr<sqlite3, ProjDatabaseCloser>;
ProjDatabaseHandle OpenProjDatabase(const std::string& path, int seconds);
// Gives a connection OpenProjDatabase opened back, its statements finished,
// for the next reader of that database to take rather than read SQLite's
// long schema again; closed when one is kept already.
void KeepProjDatabase(const std::string& path, ProjDatabaseHandle db);
// How many rows a read of PROJ's database takes at most, of one statement:
// many times what EPSG and ESRI hold.
inline constexpr int kMaxProjDatabaseRows = 500000;

// Whether a resource file of PROJ's (a grid named by its database, by its
// bare file name) is in one of the folders PROJ looks in, the user's own
// included. A name with a folder in it is none.
bool ProjResourceInstalled(const std::string& fileName);

// Whether `prefix` (the text before a colon) is an authority GDAL or PROJ
// resolves codes of, letter case aside: EPSG, ESRI, IGNF, OGC, … and GDAL's
// own prefixes (AUTO, CRS, IAU, urn, http, …).
bool IsKnownAuthorityPrefix(const std::string& prefix);

// Whether `authority` is one of PROJ's database, spelled as there.
bool IsDatabaseAuthority(const std::string& authority);

// Whether PROJ's database holds an object (a system, datum, ellipsoid, …)
// `code` of `authority` (as spelled there: "ESRI", "IGNF", …). False for an
// authority it does not know.
bool DatabaseHasObject(const std::string& authority, const std::string& code);

// Whether PROJ reads `text` needing no file but its own database and
// resources. A definition (WKT, PROJJSON, a PROJ string: any text with a
// bracket, a brace or an "=") is read on this thread's quiet context, where
// PROJ may open nothing outside its own folders: a file it asks for anywhere
// else (an init file, a grid, by path or in the current folder) is refused
// and makes the text unreadable, and so does a system it makes that refers to
// a grid (a shift or a geoid model by grid file; PROJ's null grid aside).
// Codes and names are PROJ's database's. PROJ and GDAL open such files for
// themselves whatever they are told, and a pipe there would block for ever;
// a text is therefore asked about before GDAL reads it.
bool ReadableWithoutFiles(const std::string& text);
