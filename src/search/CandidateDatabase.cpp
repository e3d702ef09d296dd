// EPSG's and ESRI's systems read from PROJ's database, and looked up there.
#include "search/CandidateDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <unordered_set>
#include <utility>

#include "catalog/Identification.h"
#include "module/ProjSupport.h"
#include "search/Folding.h"
#include "util/Beside.h"

namespace
{

// The datums of today's surveys (EPSG codes), besides WGS 84's (6326): the
// continental and national frames systems are defined on now, and those
// still in wide use alongside them (NAD83 and its realisations, GDA94, JGD2000).
const std::unordered_set<std::string> kCurrentDatums = {
    "6258", // ETRS89
    "6269", "1116", "6152", "6759", "1133",
    "6140", "1193", "1194", "1197",         // NAD83 and its realisations
    "1168", "6283",                         // GDA2020, GDA94
    "1043",                                 // CGCS2000
    "6674", "6686",                         // SIRGAS 2000, MAGNA-SIRGAS
    "1128", "6612",                         // JGD2011, JGD2000
    "6167",                                 // NZGD2000
    "6171", "1312", "1313",                 // RGF93 v1, v2, v2b
    "6619", "6151", "6150", "6181",         // SWEREF99, CHTRF95, CH1903+, LUREF
    "1159", "1077",                         // GSK-2011, Ukraine 2000
    "6737", "1026", "6755", "6148", "6747", // Korea 2000, TWD97, DGN95, Hartebeesthoek94, GR96
    "6277", "6173",                         // OSGB 1936 (the British National Grid's), IRENET95
    "6289", "6611", "6156", "6141",         // Amersfoort, Hong Kong 1980, S-JTSK, Israel 1993
    "1305",                                 // ETRF2000-PL
};

DatumUse DatumUseOf(const std::string& authority, const std::string& code)
{
    if (authority != "EPSG")
        return DatumUse::Historical;
    if (code == "6326")
        return DatumUse::World;
    return kCurrentDatums.count(code) ? DatumUse::Current : DatumUse::Historical;
}

struct FinishStatement {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, FinishStatement>;

Statement Prepare(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    return Statement(statement);
}

// A text of the database's; one longer than any name is read as none.
std::string Column(sqlite3_stmt* statement, int column)
{
    constexpr int kLongestName = 4096;
    const unsigned char* text = sqlite3_column_text(statement, column);
    return text && sqlite3_column_bytes(statement, column) <= kLongestName
               ? reinterpret_cast<const char*>(text)
               : std::string();
}

// The statement's next row, while it has given fewer than any database of
// PROJ's holds: a view that never ends is read no further.
bool NextRow(sqlite3_stmt* statement, int& rows)
{
    return ++rows <= kMaxProjDatabaseRows && sqlite3_step(statement) == SQLITE_ROW;
}

// The systems, each with the datum of its geographic system and its area of
// use (a system used in several areas comes once for each); EPSG's retired
// ones too, which are found only by their own code or name. Its kind is
// CandidateKind's number.
const char kSystems[] = R"(
WITH crs(table_name, auth_name, code, name, kind, geodetic_auth, geodetic_code, deprecated) AS (
  SELECT 'geodetic_crs', auth_name, code, name, 0, auth_name, code, deprecated FROM geodetic_crs
    WHERE type = 'geographic 2D' AND (auth_name = 'EPSG' OR (auth_name = 'ESRI' AND deprecated = 0))
  UNION ALL
  SELECT 'projected_crs', auth_name, code, name, 1, geodetic_crs_auth_name, geodetic_crs_code, deprecated
    FROM projected_crs WHERE auth_name = 'EPSG' OR (auth_name = 'ESRI' AND deprecated = 0))
SELECT crs.table_name, crs.auth_name, crs.code, crs.name, crs.kind, g.datum_auth_name, g.datum_code,
       e.auth_name, e.code, e.name, e.west_lon, e.south_lat, e.east_lon, e.north_lat, crs.deprecated
FROM crs JOIN geodetic_crs g ON g.auth_name = crs.geodetic_auth AND g.code = crs.geodetic_code
LEFT JOIN usage u ON u.object_table_name = crs.table_name AND u.object_auth_name = crs.auth_name
                 AND u.object_code = crs.code
LEFT JOIN extent e ON e.auth_name = u.extent_auth_name AND e.code = u.extent_code
ORDER BY crs.auth_name, crs.kind, crs.code)";

// The same of the vertical systems (on their vertical datum) and EPSG's
// compound ones (on their horizontal part's datum).
const char kHeightSystems[] = R"(
WITH crs(table_name, auth_name, code, name, kind, datum_auth, datum_code, deprecated) AS (
  SELECT 'vertical_crs', auth_name, code, name, 2, datum_auth_name, datum_code, deprecated FROM vertical_crs
    WHERE auth_name = 'EPSG' OR (auth_name = 'ESRI' AND deprecated = 0)
  UNION ALL
  SELECT 'compound_crs', c.auth_name, c.code, c.name, 3, g.datum_auth_name, g.datum_code, c.deprecated
    FROM compound_crs c
    LEFT JOIN projected_crs p ON p.auth_name = c.horiz_crs_auth_name AND p.code = c.horiz_crs_code
    LEFT JOIN geodetic_crs g ON g.auth_name = coalesce(p.geodetic_crs_auth_name, c.horiz_crs_auth_name)
                            AND g.code = coalesce(p.geodetic_crs_code, c.horiz_crs_code)
    WHERE c.auth_name = 'EPSG')
SELECT crs.table_name, crs.auth_name, crs.code, crs.name, crs.kind, crs.datum_auth, crs.datum_code,
       e.auth_name, e.code, e.name, e.west_lon, e.south_lat, e.east_lon, e.north_lat, crs.deprecated
FROM crs
LEFT JOIN usage u ON u.object_table_name = crs.table_name AND u.object_auth_name = crs.auth_name
                 AND u.object_code = crs.code
LEFT JOIN extent e ON e.auth_name = u.extent_auth_name AND e.code = u.extent_code
ORDER BY crs.auth_name, crs.kind, crs.code)";

// The year each datum was published, where known: a few hundred rows, read
// apart (a join of them with every system costs more).
const char kDatumYears[] = R"(
SELECT 'geodetic', auth_name, code, CAST(substr(publication_date, 1, 4) AS INTEGER) FROM geodetic_datum
WHERE publication_date IS NOT NULL
UNION ALL
SELECT 'vertical', auth_name, code, CAST(substr(publication_date, 1, 4) AS INTEGER) FROM vertical_datum
WHERE publication_date IS NOT NULL)";

// What replaces each retired system; `?1` and `?2` its tables.
const char kReplacements[] = R"(
SELECT table_name, deprecated_auth_name, deprecated_code, replacement_auth_name, replacement_code
FROM deprecation WHERE table_name IN (?1, ?2) AND deprecated_auth_name = 'EPSG')";

const char kAliases[] = R"(
SELECT table_name, auth_name, code, alt_name FROM alias_name
WHERE table_name IN (?1, ?2) AND auth_name IN ('EPSG', 'ESRI'))";

// The tables of a set's systems, in CandidateKind's order.
const char* const kTables[] = {"geodetic_crs", "projected_crs", "vertical_crs", "compound_crs"};

// A statement of a set's systems: its two tables bound as ?1 and ?2.
Statement PrepareForSet(sqlite3* db, const char* sql, SystemSet set)
{
    Statement statement = Prepare(db, sql);
    const int first = set == SystemSet::Horizontal ? 0 : 2;
    if (statement) {
        sqlite3_bind_text(statement.get(), 1, kTables[first], -1, SQLITE_STATIC);
        sqlite3_bind_text(statement.get(), 2, kTables[first + 1], -1, SQLITE_STATIC);
    }
    return statement;
}

// An alias worth showing: not a bare number, not one of EPSG's remarks
// ("(GB_OSGB36 / NATIONALGRID - see alias remarks)").
bool IsUsefulAlias(const std::string& alias, const std::string& aliasWords,
                   const Candidate& candidate)
{
    if (aliasWords.empty() || aliasWords == candidate.words || alias[0] == '(')
        return false;
    return alias.find_first_not_of("0123456789 ") != std::string::npos;
}

// EPSG's names of a system's other axis order end so: "(N-E)", "(E-N)",
// "(zE-N)", "(Lat-Lon)".
bool IsAxisOrderVariant(const std::string& name)
{
    const std::size_t open = name.rfind(" (");
    if (open == std::string::npos || name.back() != ')')
        return false;
    const std::string inside = name.substr(open + 2, name.size() - open - 3);
    const std::size_t dash = inside.find('-');
    if (dash == std::string::npos || dash == 0 || dash + 1 == inside.size())
        return false;
    for (const std::string& axis : {inside.substr(0, dash), inside.substr(dash + 1)}) {
        if (axis != "N" && axis != "E" && axis != "zE" && axis != "Lat" && axis != "Lon" &&
            axis != "X" && axis != "Y" && axis != "S" && axis != "W")
            return false;
    }
    return true;
}

// A vertical system's axis pointing down ("NAVD88 depth"): the height
// system's other form, for those who chart the sea.
bool IsDepthVariant(const Candidate& candidate)
{
    return candidate.kind == CandidateKind::Vertical &&
           candidate.words.find(" depth ") != std::string::npos;
}

// A row of kSystems: the candidate, the table it is of, and its area's
// position in the database's areas (-1: unknown).
struct SystemRow {
    Candidate candidate;
    std::string table;
    std::string datum; // "geodetic:EPSG:6326"; a vertical system's "vertical:EPSG:5181"
    int area = -1;
};

// The candidate of a row of kSystems, without its area; false for a row
// whose code is none.
bool CandidateOfRow(sqlite3_stmt* s, SystemRow& row)
{
    row.table = Column(s, 0);
    row.candidate.authority = Column(s, 1);
    row.candidate.code = Column(s, 2);
    // EPSG's and ESRI's codes are numbers: anything else in a database
    // is no code to print or look up.
    if (!IsEpsgCodeText(row.candidate.code))
        return false;
    row.candidate.name = Column(s, 3);
    const int kind = sqlite3_column_int(s, 4);
    if (kind < 0 || kind > static_cast<int>(CandidateKind::Compound))
        return false;
    row.candidate.kind = static_cast<CandidateKind>(kind);
    row.candidate.deprecated = sqlite3_column_int(s, 14) != 0;
    const bool vertical = row.candidate.kind == CandidateKind::Vertical;
    row.datum = (vertical ? "vertical:" : "geodetic:") + Column(s, 5) + ":" + Column(s, 6);
    // A vertical datum is no horizontal one of today's or old: the age of
    // height systems ranks them instead (HeightAge).
    row.candidate.datum = vertical ? DatumUse::Current : DatumUseOf(Column(s, 5), Column(s, 6));
    return true;
}

// The areas of use read so far, each once: by authority and code
// ("EPSG:1262"), their positions in the database's.
using AreaPositions = std::unordered_map<std::string, int>;

// An area's name as people write it: ESRI's copies of EPSG's names write a
// degree "~" ("140~E to 142~E"), which reads as 140°E.
std::string WithDegreeSigns(std::string name)
{
    for (std::size_t at = name.find('~'); at != std::string::npos; at = name.find('~', at)) {
        const bool degree = at > 0 && std::isdigit(static_cast<unsigned char>(name[at - 1])) &&
                            at + 1 < name.size() && std::strchr("NSEW", name[at + 1]);
        if (degree)
            name.replace(at, 1, "\u00B0");
        ++at;
    }
    return name;
}

// The position of the area of use of a row of kSystems, added to `areas`
// when it is new; -1 when the row has none.
int AreaOfRow(sqlite3_stmt* s, std::vector<AreaOfUse>& areas, AreaPositions& positions)
{
    if (sqlite3_column_type(s, 7) == SQLITE_NULL)
        return -1;
    const std::string key = Column(s, 7) + ":" + Column(s, 8);
    auto found = positions.find(key);
    if (found == positions.end()) {
        AreaOfUse area;
        area.name = WithDegreeSigns(Column(s, 9));
        area.words = FoldedWords(area.name);
        area.west = sqlite3_column_double(s, 10);
        area.south = sqlite3_column_double(s, 11);
        area.east = sqlite3_column_double(s, 12);
        area.north = sqlite3_column_double(s, 13);
        // A box of numbers that are no degrees (infinite, NaN) bounds nothing.
        area.bounded = sqlite3_column_type(s, 10) != SQLITE_NULL && area.south <= area.north &&
                       std::isfinite(area.west) && std::isfinite(area.east) &&
                       std::abs(area.west) <= 180 && std::abs(area.east) <= 180 &&
                       std::abs(area.south) <= 90 && std::abs(area.north) <= 90;
        found = positions.emplace(key, static_cast<int>(areas.size())).first;
        areas.push_back(std::move(area));
    }
    return found->second;
}

// The systems, each once: a system used in several areas (a row for each)
// keeps the widest. Their areas go to `areas`, each once.
std::vector<SystemRow> ReadSystems(sqlite3_stmt* systems, std::vector<AreaOfUse>& areas)
{
    std::vector<SystemRow> rows;
    AreaPositions positions;
    int rowsRead = 0;
    while (NextRow(systems, rowsRead)) {
        SystemRow row;
        if (!CandidateOfRow(systems, row))
            continue;
        row.area = AreaOfRow(systems, areas, positions);
        if (!rows.empty() && rows.back().table == row.table &&
            rows.back().candidate.code == row.candidate.code &&
            rows.back().candidate.authority == row.candidate.authority) {
            const int kept = rows.back().area;
            if (row.area >= 0 && (kept < 0 || areas[static_cast<std::size_t>(row.area)].Size() >
                                                  areas[static_cast<std::size_t>(kept)].Size()))
                rows.back().area = row.area;
            continue;
        }
        row.candidate.words = FoldedWords(row.candidate.name);
        // Found by its own name, shown as retired.
        if (row.candidate.deprecated)
            row.candidate.name += kDeprecatedMark;
        rows.push_back(std::move(row));
    }
    return rows;
}

// A system's table, authority and code as one number, as the aliases and
// replacements name systems ("projected_crs", "EPSG", "32650"); 0 for a code
// that is no number of ours.
std::uint64_t SystemKey(const std::string& table, const std::string& authority,
                        const std::string& code)
{
    if (!IsEpsgCodeText(code) || code.size() > 9)
        return 0;
    const auto kind =
        std::find(std::begin(kTables), std::end(kTables), table) - std::begin(kTables);
    return (std::uint64_t(kind) << 41) | (std::uint64_t(authority == "ESRI") << 40) |
           std::stoull(code);
}

// The candidates' positions by their SystemKey.
using CandidatePositions = std::unordered_map<std::uint64_t, std::size_t>;

// Puts the systems read in the database, pointing into its areas, and
// marks the other forms of its systems.
CandidatePositions PlaceCandidates(std::vector<SystemRow> rows, CandidateDatabase& database)
{
    CandidatePositions byKey;
    CandidateList& list = database.candidates;
    list.reserve(rows.size());
    byKey.reserve(rows.size());
    database.byCode.reserve(rows.size());
    for (SystemRow& row : rows) {
        if (row.area >= 0)
            row.candidate.area = &database.areas[static_cast<std::size_t>(row.area)];
        byKey.emplace(SystemKey(row.table, row.candidate.authority, row.candidate.code),
                      list.size());
        database.byCode.emplace(row.candidate.authority + ":" + row.candidate.code, list.size());
        list.push_back(std::move(row.candidate));
    }
    for (Candidate& candidate : list) {
        candidate.variant =
            IsAxisOrderVariant(candidate.name) || IsDepthVariant(candidate) ||
            (candidate.authority == "ESRI" && database.byCode.count("EPSG:" + candidate.code) > 0);
    }
    return byKey;
}

// What replaces each retired system read, by the retired one's code.
void ReadReplacements(sqlite3_stmt* replacements, const CandidatePositions& byKey,
                      CandidateDatabase& database)
{
    int rowsRead = 0;
    while (NextRow(replacements, rowsRead)) {
        sqlite3_stmt* s = replacements;
        if (byKey.count(SystemKey(Column(s, 0), Column(s, 1), Column(s, 2))))
            database.replacements[Column(s, 1) + ":" + Column(s, 2)].push_back(Column(s, 3) + ":" +
                                                                               Column(s, 4));
    }
}

// The other names of systems, as the database lists them, each with its
// folded words and its system's key (SystemKey).
struct AliasRow {
    std::uint64_t key;
    std::string alias, words;
};

// Read on a connection of their own, beside the systems: null when they
// cannot be read.
std::unique_ptr<std::vector<AliasRow>> ReadAliasRows(SystemSet set)
{
    const ProjDatabaseHandle db = OpenProjDatabase(ProjDatabasePath(), 30);
    const Statement aliases = db ? PrepareForSet(db.get(), kAliases, set) : nullptr;
    if (!aliases)
        return nullptr;
    auto rows = std::make_unique<std::vector<AliasRow>>();
    int rowsRead = 0;
    while (NextRow(aliases.get(), rowsRead)) {
        sqlite3_stmt* s = aliases.get();
        std::string alias = Column(s, 3);
        std::string words = FoldedWords(alias);
        rows->push_back({SystemKey(Column(s, 0), Column(s, 1), Column(s, 2)), std::move(alias),
                         std::move(words)});
    }
    return rows;
}

// The other names of the systems read, those worth showing.
void AddAliases(std::vector<AliasRow>& rows, const CandidatePositions& byKey, CandidateList& list)
{
    // Each candidate's aliases once, however many the database repeats.
    std::unordered_set<std::string> seen;
    for (AliasRow& row : rows) {
        const auto found = row.key ? byKey.find(row.key) : byKey.end();
        if (found == byKey.end())
            continue;
        Candidate& candidate = list[found->second];
        const bool known = !seen.insert(std::to_string(found->second) + '\n' + row.words).second;
        if (!known && IsUsefulAlias(row.alias, row.words, candidate)) {
            candidate.aliases.push_back(std::move(row.alias));
            candidate.aliasWords.push_back(std::move(row.words));
        }
    }
    for (Candidate& candidate : list) {
        candidate.aliases.shrink_to_fit();
        candidate.aliasWords.shrink_to_fit();
    }
}

// The year each datum read was published, by "geodetic:EPSG:6326" (a vertical
// datum's "vertical:…": a database may give both kinds one code).
std::unordered_map<std::string, std::uint16_t> ReadDatumYears(sqlite3_stmt* years)
{
    std::unordered_map<std::string, std::uint16_t> byDatum;
    int rowsRead = 0;
    while (NextRow(years, rowsRead)) {
        const int year = sqlite3_column_int(years, 3);
        if (year > 0 && year < 10000)
            byDatum.emplace(Column(years, 0) + ":" + Column(years, 1) + ":" + Column(years, 2),
                            static_cast<std::uint16_t>(year));
    }
    return byDatum;
}

// People name a US State Plane zone as ESRI's names do ("state plane
// California III", FIPS "0403") more often than as EPSG's ("California zone
// 3"): the area of each of ESRI's zones takes those words, so that EPSG's
// systems of that area are found by them too.
void AddStatePlaneWords(CandidateDatabase& database)
{
    static const std::string kMark = "StatePlane_", kFips = "_FIPS_";
    for (const Candidate& candidate : database.candidates) {
        const std::size_t start = candidate.name.find(kMark);
        const std::size_t fips = candidate.name.find(kFips);
        if (candidate.authority != "ESRI" || !candidate.area || start == std::string::npos ||
            fips == std::string::npos || fips < start)
            continue;
        const std::string zone = candidate.name.substr(start + kMark.size(),
                                                       fips + kFips.size() + 4 - start - kMark.size());
        AreaOfUse& area = database.areas[static_cast<std::size_t>(candidate.area - database.areas.data())];
        const std::string words = " state plane" + FoldedWords(zone);
        if (area.words.find(words) == std::string::npos)
            area.words += words.substr(1);
    }
}

} // namespace

std::unique_ptr<const CandidateDatabase> ReadCandidateDatabase(SystemSet set)
{
    if (!ProjDatabaseProblem().empty())
        return nullptr;
    // The aliases beside the systems: the two longest reads, one on each core.
    std::future<std::unique_ptr<std::vector<AliasRow>>> aliasRows =
        Beside([set] { return ReadAliasRows(set); });
    auto database = std::make_unique<CandidateDatabase>();
    // Thirty seconds: a hundred times what PROJ's own takes on a busy machine.
    const ProjDatabaseHandle db = OpenProjDatabase(ProjDatabasePath(), 30);
    const Statement systems =
        db ? Prepare(db.get(), set == SystemSet::Horizontal ? kSystems : kHeightSystems) : nullptr;
    const Statement years = db ? Prepare(db.get(), kDatumYears) : nullptr;
    const Statement replacements = db ? PrepareForSet(db.get(), kReplacements, set) : nullptr;
    if (!systems || !years || !replacements)
        return nullptr;
    // Areas first, each once: candidates point into the finished vector.
    std::vector<SystemRow> rows = ReadSystems(systems.get(), database->areas);
    const auto byDatum = ReadDatumYears(years.get());
    for (SystemRow& row : rows) {
        const auto year = byDatum.find(row.datum);
        row.candidate.datumYear = year == byDatum.end() ? 0 : year->second;
    }
    const CandidatePositions byKey = PlaceCandidates(std::move(rows), *database);
    ReadReplacements(replacements.get(), byKey, *database);
    const std::unique_ptr<std::vector<AliasRow>> aliases = aliasRows.get();
    if (!aliases)
        return nullptr;
    AddAliases(*aliases, byKey, database->candidates);
    AddStatePlaneWords(*database);
    database->MakeWords();
    return database;
}

const std::vector<std::string>& CandidateDatabase::ReplacementsOf(const Candidate& candidate) const
{
    static const std::vector<std::string> none;
    const auto found =
        candidate.deprecated ? replacements.find(CandidateCode(candidate)) : replacements.end();
    return found == replacements.end() ? none : found->second;
}

const Candidate* CandidateDatabase::Find(const std::string& code) const
{
    const auto found = byCode.find(code);
    return found == byCode.end() ? nullptr : &candidates[found->second];
}

const AreaOfUse* CandidateDatabase::AreaOfEpsg(const std::string& code) const
{
    const Candidate* system = code.empty() ? nullptr : Find("EPSG:" + code);
    return system ? system->area : nullptr;
}

const AreaOfUse* AreaOfCandidate(const Candidate& candidate, const CandidateDatabase* database)
{
    if (candidate.area)
        return candidate.area;
    if (candidate.standsFor && candidate.standsFor->area)
        return candidate.standsFor->area;
    const Candidate* same = database ? database->Find(CandidateCode(candidate)) : nullptr;
    return same ? same->area : nullptr;
}
