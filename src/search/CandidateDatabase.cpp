// EPSG's and ESRI's systems read from PROJ's database, and looked up there.
#include "search/CandidateDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <deque>
#include <numeric>
#include <string_view>
#include <tuple>
#include <unordered_set>
#include <utility>

#include "catalog/Identification.h"
#include "module/ProjSupport.h"
#include "search/Cities.h"
#include "search/Folding.h"
#include "util/Beside.h"

namespace
{

// The datums of today's surveys (EPSG codes), besides WGS 84's (6326): the
// continental and national frames systems are defined on now, and those
// still in wide use alongside them (NAD83 and its realisations, GDA94, JGD2000).
const std::unordered_set<std::uint64_t> kCurrentDatums = {
    6258,                                                 // ETRS89
    6269, 1116, 6152, 6759, 1133, 6140, 1193, 1194, 1197, // NAD83 and its realisations
    1168, 6283,                                           // GDA2020, GDA94
    1043,                                                 // CGCS2000
    6674, 6686,                                           // SIRGAS 2000, MAGNA-SIRGAS
    1128, 6612,                                           // JGD2011, JGD2000
    6167,                                                 // NZGD2000
    6171, 1312, 1313,                                     // RGF93 v1, v2, v2b
    6619, 6151, 6150, 6181,                               // SWEREF99, CHTRF95, CH1903+, LUREF
    1159, 1077,                                           // GSK-2011, Ukraine 2000
    6737, 1026, 6755, 6148, 6747, // Korea 2000, TWD97, DGN95, Hartebeesthoek94, GR96
    6277, 6173,                   // OSGB 1936 (the British National Grid's), IRENET95
    6289, 6611, 6156, 6141,       // Amersfoort, Hong Kong 1980, S-JTSK, Israel 1993
    1305,                         // ETRF2000-PL
    1132, 6121, 6237,             // RDN2008, and the national grids' GGRS87 and HD72
};

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

// The systems, each with the datum of its geographic system and the code of
// its area of use (a system used in several areas comes once for each; the
// areas are read apart, each once, rather than once a row); EPSG's retired
// ones too, and ESRI's (whose retired codes services still give), which are
// found only by their own code or name. Its kind is CandidateKind's number.
// In no order: SQLite's sort of the rows costs more than sorting their keys
// (SystemKey).
const char kSystems[] = R"(
WITH crs(table_name, auth_name, code, name, kind, geodetic_auth, geodetic_code, deprecated) AS (
  SELECT 'geodetic_crs', auth_name, code, name, 0, auth_name, code, deprecated FROM geodetic_crs
    WHERE type = 'geographic 2D' AND auth_name IN ('EPSG', 'ESRI')
  UNION ALL
  SELECT 'projected_crs', auth_name, code, name, 1, geodetic_crs_auth_name, geodetic_crs_code, deprecated
    FROM projected_crs WHERE auth_name IN ('EPSG', 'ESRI'))
SELECT crs.table_name, crs.auth_name, crs.code, crs.name, crs.kind, g.datum_auth_name, g.datum_code,
       u.extent_auth_name, u.extent_code, crs.deprecated
FROM crs JOIN geodetic_crs g ON g.auth_name = crs.geodetic_auth AND g.code = crs.geodetic_code
LEFT JOIN usage u ON u.object_table_name = crs.table_name AND u.object_auth_name = crs.auth_name
                 AND u.object_code = crs.code)";

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
       u.extent_auth_name, u.extent_code, crs.deprecated
FROM crs
LEFT JOIN usage u ON u.object_table_name = crs.table_name AND u.object_auth_name = crs.auth_name
                 AND u.object_code = crs.code)";

// The areas of use.
const char kAreas[] = R"(
SELECT auth_name, code, name, west_lon, south_lat, east_lon, north_lat FROM extent)";

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
    if (name.empty() || name.back() != ')')
        return false;
    const std::size_t open = name.rfind(" (");
    if (open == std::string::npos)
        return false;
    const std::string_view inside = std::string_view(name).substr(open + 2, name.size() - open - 3);
    const std::size_t dash = inside.find('-');
    if (dash == std::string::npos || dash == 0 || dash + 1 == inside.size())
        return false;
    for (const std::string_view axis : {inside.substr(0, dash), inside.substr(dash + 1)}) {
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

// A number of EPSG's or ESRI's (4326 of "EPSG") with what it numbers in the
// bits above: one key for a map, where a text would cost an allocation a
// row. 0 for any other authority, or a number that is no code of ours.
std::uint64_t PackedKey(std::uint64_t above, std::string_view authority, std::uint64_t number)
{
    if ((authority != "EPSG" && authority != "ESRI") || number > 999999999)
        return 0;
    return above << 44 | std::uint64_t(authority == "ESRI") << 43 | number;
}

// The same of a code written as a text ("32650").
std::uint64_t NumberKey(std::uint64_t above, const std::string& authority, const std::string& code)
{
    return IsEpsgCodeText(code) && code.size() <= 9 ? PackedKey(above, authority, std::stoull(code))
                                                    : 0;
}

// A system's kind, authority and code as one number, ordered as the
// candidates are kept: EPSG's before ESRI's, then by kind and code.
std::uint64_t SystemKey(CandidateKind kind, const std::string& authority, const std::string& code)
{
    const std::uint64_t key = NumberKey(0, authority, code);
    return key ? key | std::uint64_t(kind) << 40 : 0;
}

// The same of a system named by its table ("projected_crs"), as the aliases
// and replacements name them.
std::uint64_t SystemKey(const std::string& table, const std::string& authority,
                        const std::string& code)
{
    const auto kind = std::find(std::begin(kTables), std::end(kTables), table);
    return kind == std::end(kTables)
               ? 0
               : SystemKey(static_cast<CandidateKind>(kind - std::begin(kTables)), authority, code);
}

// The NumberKey of the authority and the code in two columns of a row; the
// code read as the number the database holds, where it holds one (most
// codes do), rather than as a text made of it.
std::uint64_t NumberKeyOf(sqlite3_stmt* s, int authority, int code, std::uint64_t above = 0)
{
    if (sqlite3_column_type(s, code) != SQLITE_INTEGER)
        return NumberKey(above, Column(s, authority), Column(s, code));
    const sqlite3_int64 number = sqlite3_column_int64(s, code);
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, authority));
    const std::string_view name =
        text ? std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(s, authority)))
             : std::string_view();
    return number < 0 ? 0 : PackedKey(above, name, static_cast<std::uint64_t>(number));
}

// The keys of the codes one read of the database meets, in two columns of
// a row: EPSG's and ESRI's numbers are their own (NumberKeyOf); any other
// (PROJ's "EXTENT_UNKNOWN", a datum of NKG's) is numbered as it is first
// met, above those. 0 for none (NULL).
class CodeKeys
{
public:
    std::uint64_t Of(sqlite3_stmt* s, int authority, int code, std::uint64_t above = 0)
    {
        if (sqlite3_column_type(s, authority) == SQLITE_NULL ||
            sqlite3_column_type(s, code) == SQLITE_NULL)
            return 0;
        if (const std::uint64_t key = NumberKeyOf(s, authority, code, above))
            return key;
        const std::string text =
            std::to_string(above) + ':' + Column(s, authority) + ':' + Column(s, code);
        return m_others.emplace(text, kOther | (m_others.size() + 1)).first->second;
    }
    // A datum's, a vertical datum apart from a geodetic one of the same code.
    std::uint64_t OfDatum(sqlite3_stmt* s, bool vertical, int authority, int code)
    {
        return Of(s, authority, code, vertical ? 2 : 1);
    }

private:
    static constexpr std::uint64_t kOther = std::uint64_t(1) << 50;
    std::unordered_map<std::string, std::uint64_t> m_others;
};

// How widely a geodetic datum of that key (CodeKeys::OfDatum) is used today.
DatumUse DatumUseOf(std::uint64_t datum)
{
    constexpr std::uint64_t kEpsgGeodetic = std::uint64_t(1) << 44;
    if (datum >> 43 != kEpsgGeodetic >> 43)
        return DatumUse::Historical;
    const std::uint64_t code = datum & ((std::uint64_t(1) << 43) - 1);
    if (code == 6326)
        return DatumUse::World;
    return kCurrentDatums.count(code) ? DatumUse::Current : DatumUse::Historical;
}

// A row of kSystems: the candidate, its keys, and its area's position in the
// database's areas (-1: unknown).
struct SystemRow {
    Candidate candidate;
    std::uint64_t key = 0;       // SystemKey
    std::uint64_t datum = 0;     // CodeKeys::OfDatum
    std::uint64_t extent = 0;    // its area's CodeKeys key; 0 when none
    int area = -1;               // its area's position in the database's
    SystemRow* keptAs = nullptr; // the row of the same system kept in its place
};

// Whether two rows are of one system.
bool SameSystem(const SystemRow& a, const SystemRow& b)
{
    return a.key == b.key && a.candidate.kind == b.candidate.kind &&
           a.candidate.authority == b.candidate.authority && a.candidate.code == b.candidate.code;
}

// The candidate of a row of kSystems, without its area; false for a row
// whose code is none.
bool CandidateOfRow(sqlite3_stmt* s, CodeKeys& keys, SystemRow& row)
{
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
    row.key = SystemKey(row.candidate.kind, row.candidate.authority, row.candidate.code);
    row.candidate.deprecated = sqlite3_column_int(s, 9) != 0;
    const bool vertical = row.candidate.kind == CandidateKind::Vertical;
    row.datum = keys.OfDatum(s, vertical, 5, 6);
    // A vertical datum is no horizontal one of today's or old: the age of
    // height systems ranks them instead (HeightAge).
    row.candidate.datum = vertical ? DatumUse::Current : DatumUseOf(row.datum);
    return true;
}

// An area's name as people write it: ESRI's copies of EPSG's names write a
// degree "~" ("140~E to 142~E", "67~01'E"), which reads as 140°E.
std::string WithDegreeSigns(std::string name)
{
    for (std::size_t at = name.find('~'); at != std::string::npos; at = name.find('~', at)) {
        const bool degree = at > 0 && std::isdigit(static_cast<unsigned char>(name[at - 1])) &&
                            at + 1 < name.size() &&
                            (std::strchr("NSEW", name[at + 1]) ||
                             std::isdigit(static_cast<unsigned char>(name[at + 1])));
        if (degree)
            name.replace(at, 1, "\u00B0");
        ++at;
    }
    return name;
}

// The areas of use, by their CodeKeys; their words are made for those
// a system uses (PlaceAreas).
std::unordered_map<std::uint64_t, AreaOfUse> ReadAreas(sqlite3_stmt* s, CodeKeys& keys)
{
    std::unordered_map<std::uint64_t, AreaOfUse> areas;
    int rowsRead = 0;
    while (NextRow(s, rowsRead)) {
        const std::uint64_t key = keys.Of(s, 0, 1);
        if (!key)
            continue;
        AreaOfUse area;
        area.name = Column(s, 2);
        area.west = sqlite3_column_double(s, 3);
        area.south = sqlite3_column_double(s, 4);
        area.east = sqlite3_column_double(s, 5);
        area.north = sqlite3_column_double(s, 6);
        // A box of numbers that are no degrees (infinite, NaN) bounds nothing.
        area.bounded = sqlite3_column_type(s, 3) != SQLITE_NULL && area.south <= area.north &&
                       std::isfinite(area.west) && std::isfinite(area.east) &&
                       std::abs(area.west) <= 180 && std::abs(area.east) <= 180 &&
                       std::abs(area.south) <= 90 && std::abs(area.north) <= 90;
        areas.emplace(key, std::move(area));
    }
    return areas;
}

// The rows of kSystems as read (where they stay: a row is too large to move
// about), and the systems among them, each once, in the order of their keys.
struct SystemRows {
    std::deque<SystemRow> read;
    std::vector<SystemRow*> systems;
    // The other areas of systems used in several: those of the rows that
    // follow a system's first, then those of rows found apart from it.
    std::vector<std::pair<SystemRow*, std::uint64_t>> moreExtents;
};

// The systems, each once, with the areas they are used in.
SystemRows ReadSystems(sqlite3_stmt* systems, CodeKeys& keys)
{
    SystemRows rows;
    std::deque<SystemRow>& read = rows.read;
    int rowsRead = 0;
    while (NextRow(systems, rowsRead)) {
        read.emplace_back();
        SystemRow& row = read.back();
        if (!CandidateOfRow(systems, keys, row)) {
            read.pop_back();
            continue;
        }
        row.extent = keys.Of(systems, 7, 8);
        // A system's other areas come in the rows after its first: kept as
        // areas alone, however many a database gives.
        if (read.size() > 1 && SameSystem(read[read.size() - 2], row)) {
            rows.moreExtents.emplace_back(&read[read.size() - 2], row.extent);
            read.pop_back();
        }
    }
    // By key, a system's rows together in the database's order; a code of
    // ours too long for a key (none is) by its text.
    const auto before = [](const SystemRow& a, const SystemRow& b) {
        const Candidate &ca = a.candidate, &cb = b.candidate;
        return std::forward_as_tuple(a.key, ca.authority, ca.kind, ca.code.size(), ca.code) <
               std::forward_as_tuple(b.key, cb.authority, cb.kind, cb.code.size(), cb.code);
    };
    std::vector<std::uint32_t> order(read.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return before(read[a], read[b]); });
    rows.systems.reserve(read.size());
    for (const std::uint32_t position : order) {
        SystemRow& row = read[position];
        if (!rows.systems.empty() && SameSystem(*rows.systems.back(), row)) {
            row.keptAs = rows.systems.back();
            rows.moreExtents.emplace_back(&row, row.extent);
            continue;
        }
        row.candidate.words = FoldedWords(row.candidate.name);
        // Found by its own name, shown as retired.
        if (row.candidate.deprecated)
            row.candidate.name += kDeprecatedMark;
        rows.systems.push_back(&row);
    }
    return rows;
}

// Each system's area of use, the widest of those it is used in, put in
// `areas` each once.
void PlaceAreas(SystemRows& rows, std::unordered_map<std::uint64_t, AreaOfUse>& read,
                std::vector<AreaOfUse>& areas)
{
    std::unordered_map<std::uint64_t, int> positions;
    const auto positionOf = [&](std::uint64_t extent) {
        if (const auto known = positions.find(extent); known != positions.end())
            return known->second;
        const auto found = read.find(extent);
        if (!extent || found == read.end())
            return -1;
        AreaOfUse& area = found->second;
        area.name = WithDegreeSigns(std::move(area.name));
        area.words = FoldedWords(area.name);
        areas.push_back(std::move(area));
        return positions.emplace(extent, static_cast<int>(areas.size()) - 1).first->second;
    };
    for (SystemRow* row : rows.systems)
        row->area = positionOf(row->extent);
    for (const auto& [more, extent] : rows.moreExtents) {
        SystemRow* row = more->keptAs ? more->keptAs : more;
        const int other = positionOf(extent);
        if (other >= 0 && (row->area < 0 || areas[static_cast<std::size_t>(other)].Size() >
                                                areas[static_cast<std::size_t>(row->area)].Size()))
            row->area = other;
    }
}

// The candidates' positions by their SystemKey: the candidates' keys, in
// their order (which is the keys').
class CandidatePositions
{
public:
    void Add(std::uint64_t key) { m_keys.push_back(key); }
    // The position of the candidate of `key`; npos when none has it.
    std::size_t Find(std::uint64_t key) const
    {
        const auto at = std::lower_bound(m_keys.begin(), m_keys.end(), key);
        return key && at != m_keys.end() && *at == key
                   ? static_cast<std::size_t>(at - m_keys.begin())
                   : std::string::npos;
    }

private:
    std::vector<std::uint64_t> m_keys;
};

// Puts the systems read in the database, pointing into its areas, and
// marks the other forms of its systems.
CandidatePositions PlaceCandidates(const SystemRows& rows, CandidateDatabase& database)
{
    CandidatePositions byKey;
    CandidateList& list = database.candidates;
    list.reserve(rows.systems.size());
    database.byCode.reserve(rows.systems.size());
    for (SystemRow* system : rows.systems) {
        SystemRow& row = *system;
        if (row.area >= 0)
            row.candidate.area = &database.areas[static_cast<std::size_t>(row.area)];
        byKey.Add(row.key);
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
        if (byKey.Find(SystemKey(Column(s, 0), Column(s, 1), Column(s, 2))) != std::string::npos)
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

// Read on a connection of their own, beside the systems: each system's
// together, in the database's order, each once however many times the
// database repeats it. Null when they cannot be read.
std::unique_ptr<std::vector<AliasRow>> ReadAliasRows(SystemSet set, const std::string& path)
{
    const ProjDatabaseHandle db = OpenProjDatabase(path, 30);
    const Statement aliases = db ? PrepareForSet(db.get(), kAliases, set) : nullptr;
    if (!aliases)
        return nullptr;
    std::vector<AliasRow> read;
    int rowsRead = 0;
    while (NextRow(aliases.get(), rowsRead)) {
        sqlite3_stmt* s = aliases.get();
        const std::uint64_t key = SystemKey(Column(s, 0), Column(s, 1), Column(s, 2));
        if (!key)
            continue;
        std::string alias = Column(s, 3);
        std::string words = FoldedWords(alias);
        read.push_back({key, std::move(alias), std::move(words)});
    }
    std::stable_sort(read.begin(), read.end(),
                     [](const AliasRow& a, const AliasRow& b) { return a.key < b.key; });
    auto rows = std::make_unique<std::vector<AliasRow>>();
    // Reserved: `kept` looks into the rows kept, which must stay where they are.
    rows->reserve(read.size());
    std::unordered_set<std::string_view> kept; // the words of the system's aliases kept
    for (AliasRow& row : read) {
        if (!rows->empty() && rows->back().key != row.key)
            kept.clear();
        if (kept.count(row.words))
            continue;
        rows->push_back(std::move(row));
        kept.insert(rows->back().words);
    }
    return rows;
}

// What replaces each of ESRI's retired systems: the database records none,
// but the EPSG system ESRI moved to keeps the retired one's name as its
// alias ("WGS_1984_Web_Mercator_Auxiliary_Sphere" of EPSG:3857).
void AddEsriReplacements(const std::vector<AliasRow>& rows, const CandidatePositions& byKey,
                         CandidateDatabase& database)
{
    const std::size_t mark = sizeof kDeprecatedMark - 1;
    // Its name → its code; two retired systems may share a name.
    std::unordered_multimap<std::string_view, std::string> retired;
    for (const Candidate& candidate : database.candidates) {
        if (candidate.deprecated && candidate.authority == "ESRI" && candidate.name.size() > mark)
            retired.emplace(
                std::string_view(candidate.name).substr(0, candidate.name.size() - mark),
                CandidateCode(candidate));
    }
    if (retired.empty())
        return;
    for (const AliasRow& row : rows) {
        const auto [first, last] = retired.equal_range(row.alias);
        const std::size_t position = first == last ? std::string::npos : byKey.Find(row.key);
        if (position == std::string::npos || database.candidates[position].authority != "EPSG")
            continue;
        for (auto it = first; it != last; ++it)
            database.replacements[it->second].push_back(CandidateCode(database.candidates[position]));
    }
}

// The other names of the systems read, those worth showing.
void AddAliases(std::vector<AliasRow>& rows, const CandidatePositions& byKey, CandidateList& list)
{
    for (std::size_t first = 0, end = 0; first < rows.size(); first = end) {
        end = first + 1;
        while (end < rows.size() && rows[end].key == rows[first].key)
            ++end;
        const std::size_t position = byKey.Find(rows[first].key);
        if (position == std::string::npos)
            continue;
        Candidate& candidate = list[position];
        candidate.aliases.reserve(end - first);
        candidate.aliasWords.reserve(end - first);
        for (std::size_t i = first; i < end; ++i) {
            if (IsUsefulAlias(rows[i].alias, rows[i].words, candidate)) {
                candidate.aliases.push_back(std::move(rows[i].alias));
                candidate.aliasWords.push_back(std::move(rows[i].words));
            }
        }
        candidate.aliases.shrink_to_fit();
        candidate.aliasWords.shrink_to_fit();
    }
}

// The year each datum read was published, by CodeKeys::OfDatum (a database may give
// a geodetic and a vertical datum one code).
std::unordered_map<std::uint64_t, std::uint16_t> ReadDatumYears(sqlite3_stmt* years, CodeKeys& keys)
{
    std::unordered_map<std::uint64_t, std::uint16_t> byDatum;
    int rowsRead = 0;
    while (NextRow(years, rowsRead)) {
        const int year = sqlite3_column_int(years, 3);
        const std::uint64_t datum = keys.OfDatum(years, Column(years, 0) == "vertical", 1, 2);
        if (datum && year > 0 && year < 10000)
            byDatum.emplace(datum, static_cast<std::uint16_t>(year));
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
        const std::string zone = candidate.name.substr(
            start + kMark.size(), fips + kFips.size() + 4 - start - kMark.size());
        AreaOfUse& area =
            database.areas[static_cast<std::size_t>(candidate.area - database.areas.data())];
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
    const std::string path = ProjDatabasePath();
    // Thirty seconds: a hundred times what PROJ's own takes on a busy machine.
    // The connection the check kept, its schema read already, is taken here
    // before the aliases' thread opens one of its own.
    ProjDatabaseHandle db = OpenProjDatabase(path, 30);
    // The aliases beside the systems: the two longest reads, one on each core.
    std::future<std::unique_ptr<std::vector<AliasRow>>> aliasRows =
        Beside([set, path] { return ReadAliasRows(set, path); });
    auto database = std::make_unique<CandidateDatabase>();
    Statement systems =
        db ? Prepare(db.get(), set == SystemSet::Horizontal ? kSystems : kHeightSystems) : nullptr;
    Statement areas = db ? Prepare(db.get(), kAreas) : nullptr;
    Statement years = db ? Prepare(db.get(), kDatumYears) : nullptr;
    Statement replacements = db ? PrepareForSet(db.get(), kReplacements, set) : nullptr;
    if (!systems || !areas || !years || !replacements)
        return nullptr;
    // Areas first, each once: candidates point into the finished vector.
    CodeKeys keys;
    SystemRows rows = ReadSystems(systems.get(), keys);
    std::unordered_map<std::uint64_t, AreaOfUse> areasRead = ReadAreas(areas.get(), keys);
    PlaceAreas(rows, areasRead, database->areas);
    const auto byDatum = ReadDatumYears(years.get(), keys);
    for (SystemRow* row : rows.systems) {
        const auto year = byDatum.find(row->datum);
        row->candidate.datumYear = year == byDatum.end() ? 0 : year->second;
    }
    const CandidatePositions byKey = PlaceCandidates(rows, *database);
    ReadReplacements(replacements.get(), byKey, *database);
    for (Statement* done : {&systems, &areas, &years, &replacements})
        done->reset();
    // Kept for the next read (the heights'): closing it would cost as much.
    KeepProjDatabase(path, std::move(db));
    const std::unique_ptr<std::vector<AliasRow>> aliases = aliasRows.get();
    if (!aliases)
        return nullptr;
    AddEsriReplacements(*aliases, byKey, *database);
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

const std::vector<std::string_view>& CandidateDatabase::AreaCountries() const
{
    std::call_once(m_areaCountriesMade, [this] {
        // Made whole before it is kept: a throw leaves it to be made again.
        std::vector<std::string_view> countries;
        countries.reserve(areas.size());
        for (const AreaOfUse& area : areas)
            countries.push_back(Cities().CountryOfArea(area.name));
        m_areaCountries = std::move(countries);
    });
    return m_areaCountries;
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
