// Which EPSG system a system is: composed UTM zones on every datum, several
// EPSG systems of one definition, retired codes, a datum ensemble's accuracy,
// and the sameness rule's datum shift.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <map>
#include <optional>
#include <thread>

#include "catalog/CodeLookup.h"
#include "catalog/Composition.h"
#include "catalog/Identification.h"
#include "catalog/SystemReading.h"
#include "interface/OrvaneReference.h"
#include "module/GdalSupport.h"
#include "module/Module.h"
#include "module/ProjSupport.h"
#include "module/SpatialSystem.h"

namespace {

const ChoiceCatalogues& Bundled()
{
    static const ChoiceCatalogues catalogues = LoadChoiceCatalogues(GetGdalDataFolder());
    return catalogues;
}

std::string Identify(const std::string& wkt)
{
    const OsrHandle srs = NewSpatialReference(wkt);
    return srs ? ExactEpsgCode(srs.get()) : std::string();
}

std::string CodeOf(const std::string& wkt)
{
    const OsrHandle srs = NewSpatialReference(wkt);
    const char* code = srs ? OSRGetAuthorityCode(srs.get(), nullptr) : nullptr;
    return code ? code : "";
}

// A UTM zone composed as the user does: Projected, the UTM category, the
// zone, the geographic system.
ComposedSystem ComposeUtm(const std::string& geogName, int zone, bool northern)
{
    SystemChoice c = NewChoice(Bundled());
    ChooseKind(c, true);
    ChooseCategory(c, kUtmCategoryPosition);
    ChooseZone(c, UtmPositionOfZone(zone, northern));
    ChooseGeogSystem(c, geogName);
    return ComposeSystem(c, Identify);
}

struct UtmTriple {
    std::string geogName;
    int zone;
    bool northern;
    std::string code; // EPSG's system of the zone on that datum, easting first
};

// Every (catalogue geographic system, zone, hemisphere) EPSG has a UTM system
// for, from PROJ's database: its conversions 16001-16060 (north) and
// 16101-16160 (south), easting first (as the chooser composes them).
std::vector<UtmTriple> EveryUtmTriple()
{
    std::map<std::string, std::string> catalogueNameOfCode;
    for (const auto& [name, wkt] : Bundled().geographic) {
        const std::string code = ClaimedEpsgCode(wkt);
        if (!code.empty())
            catalogueNameOfCode.emplace(code, name);
    }
    std::vector<UtmTriple> triples;
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(ProjDatabasePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr),
              SQLITE_OK);
    sqlite3_stmt* rows = nullptr;
    sqlite3_prepare_v2(
        db,
        "SELECT geodetic_crs_code, CAST(conversion_code AS INT), MIN(CAST(code AS INT)) "
        "FROM projected_crs WHERE auth_name = 'EPSG' AND deprecated = 0 "
        "AND conversion_auth_name = 'EPSG' AND geodetic_crs_auth_name = 'EPSG' "
        "AND coordinate_system_code IN (SELECT e.coordinate_system_code FROM axis e JOIN axis n "
        "ON n.coordinate_system_code = e.coordinate_system_code WHERE e.orientation = 'east' "
        "AND e.coordinate_system_order = 1 AND n.orientation = 'north' AND n.coordinate_system_order = 2) "
        "AND (CAST(conversion_code AS INT) BETWEEN 16001 AND 16060 "
        "OR CAST(conversion_code AS INT) BETWEEN 16101 AND 16160) GROUP BY 1, 2",
        -1, &rows, nullptr);
    while (rows && sqlite3_step(rows) == SQLITE_ROW) {
        const auto name =
            catalogueNameOfCode.find(reinterpret_cast<const char*>(sqlite3_column_text(rows, 0)));
        const int conversion = sqlite3_column_int(rows, 1);
        if (name != catalogueNameOfCode.end())
            triples.push_back({name->second, conversion % 100, conversion < 16100,
                               std::to_string(sqlite3_column_int(rows, 2))});
    }
    sqlite3_finalize(rows);
    sqlite3_close(db);
    return triples;
}

}  // namespace

// A UTM zone on any datum is EPSG's system, with EPSG's name and code, as
// WGS 84's always were; where EPSG has two systems of the zone's definition,
// the one named as the zone. ORVANE_EVERY_UTM_ZONE=1 composes every one of
// EPSG's (about a minute; the fuzzing step does).
TEST(Identification, AUtmZoneComposedOnAnyDatumIsEpsgs)
{
    struct Row {
        const char* geogName;
        int zone;
        bool northern;
        const char* code;
    };
    const Row sample[] = {
        {"ETRS89", 32, true, "25832"},
        {"ETRS89", 35, true, "25835"}, // not ETRS89 / TM35FIN(E,N), 3067, of the same definition
        {"Ain el Abd", 39, true, "20439"}, // not Ain el Abd / Bahrain Grid, 20499
        {"SIRGAS 2000", 23, false, "31983"},
        {"GDA2020", 55, false, "7855"}, // EPSG names it MGA zone 55
        {"NAD83(2011)", 15, true, "6344"},
        {"NAD83(CSRS)", 17, true, "2958"},
        {"ED50", 31, true, "23031"},
        {"WGS 72", 33, false, "32333"},
        {"Tokyo", 54, true, "3095"},
        {"NAD27", 14, true, "26714"},
        {"WGS 1984", 50, true, "32650"},
        // PROJ reads the catalogue's WKT1 datum "M_poraloko" as another datum
        // than EPSG's "M'poraloko": no EPSG system, so none of its zones is.
        {"M'poraloko", 32, true, ""},
    };
    std::vector<UtmTriple> triples;
    if (const char* every = std::getenv("ORVANE_EVERY_UTM_ZONE");
        every && std::string(every) == "1") {
        triples = EveryUtmTriple();
        EXPECT_EQ(triples.size(), 1077u);
        for (UtmTriple& t : triples)
            if (t.geogName == "M'poraloko")
                t.code.clear();
    } else {
        for (const Row& r : sample)
            triples.push_back({r.geogName, r.zone, r.northern, r.code});
    }
    std::size_t coded = 0;
    for (const UtmTriple& t : triples) {
        SCOPED_TRACE(t.geogName + " zone " + std::to_string(t.zone) + (t.northern ? "N" : "S"));
        const ComposedSystem composed = ComposeUtm(t.geogName, t.zone, t.northern);
        ASSERT_EQ(composed.problem, CompositionProblem::None);
        EXPECT_EQ(CodeOf(composed.wkt), t.code) << composed.wkt;
        if (!t.code.empty()) {
            EXPECT_TRUE(SameAs(composed.system.Handle(), EpsgSystem(t.code).get()));
            ++coded;
        }
    }
    std::printf("%zu of %zu UTM zones carry their EPSG code\n", coded, triples.size());
}

// The composed text writes a method's parameters as GDAL writes EPSG's
// systems of that method, whatever order the list shows them in.
TEST(Identification, ComposedParametersComeInTheMethodsOwnOrder)
{
    // The parameters' names in the order the text writes them.
    const auto names = [](const std::string& wkt) {
        static const std::string mark = "PARAMETER[\"";
        std::vector<std::string> found;
        for (std::size_t at = wkt.find(mark); at != std::string::npos; at = wkt.find(mark, at + 1)) {
            const std::size_t start = at + mark.size();
            found.push_back(wkt.substr(start, wkt.find('"', start) - start));
        }
        return found;
    };
    // One EPSG system of each shape of method.
    for (const char* code :
         {"2056", "2065", "2154", "3035", "3388", "5041", "6933", "27700", "31300", "3375"}) {
        SCOPED_TRACE(code);
        const std::string epsg = ExportToWkt(EpsgSystem(code).get());
        SystemChoice c = NewChoice(Bundled());
        ASSERT_EQ(HoldSystem(c, epsg), HoldProblem::None);
        EditParameter(c, 0, "0.5"); // anything, so that the system is composed
        const ComposedSystem composed = ComposeSystem(c, nullptr);
        ASSERT_EQ(composed.problem, CompositionProblem::None);
        // The list may add a parameter EPSG's system leaves out (Mercator's
        // latitude of origin, 0): EPSG's come in EPSG's order.
        std::vector<std::string> written = names(composed.wkt);
        const std::vector<std::string> own = names(epsg);
        written.erase(std::remove_if(written.begin(), written.end(),
                                     [&own](const std::string& n) {
                                         return std::find(own.begin(), own.end(), n) == own.end();
                                     }),
                      written.end());
        EXPECT_EQ(written, own);
    }
    // A Transverse Mercator of one's own that is a UTM zone is that zone.
    SystemChoice c = NewChoice(Bundled());
    ChooseKind(c, true);
    ChooseGeogSystem(c, "ETRS89");
    for (const auto& [name, value] : {std::pair<const char*, const char*>{"central_meridian", "9"},
                                      {"false_easting", "500000"},
                                      {"scale_factor", "0.9996"}})
        for (std::size_t row = 0; row < c.shown.parameters.size(); ++row)
            if (c.shown.parameters[row].name == name)
                EditParameter(c, row, value);
    EXPECT_EQ(CodeOf(ComposeSystem(c, Identify).wkt), "25832");
}

// GDAL swaps a retired code for its replacement; here a code is its own
// system, said to be retired, with its replacements named.
TEST(Identification, ARetiredCodeIsItsOwnSystemAndSaysSo)
{
    struct Row {
        const char* reference;
        const char* spheroid;
        const char* code;
        bool deprecated;
        std::vector<std::string> replacedBy;
    };
    const Row rows[] = {
        {"EPSG:3411", "Hughes 1980", "EPSG:3411", true, {"EPSG:3413"}},
        {"EPSG:3785",
         "Popular Visualisation Sphere",
         "EPSG:3785",
         true,
         {"EPSG:3857"}},                                             // 3857 is on WGS 84
        {"EPSG:4140", "GRS 1980", "EPSG:4140", true, {"EPSG:4617"}}, // geographic
        {"EPSG:3413", "WGS 84", "EPSG:3413", false, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.reference);
        OrvaneReferenceInfo info;
        OrvaneIdentity identity;
        ASSERT_TRUE(OrvaneIdentifyReference(r.reference, info, identity));
        EXPECT_EQ(info.spheroid, r.spheroid);
        EXPECT_EQ(info.code, r.code);
        EXPECT_EQ(identity.deprecated, r.deprecated);
        EXPECT_EQ(identity.replacedBy, r.replacedBy);
        // EPSG's own definition, as the chooser and search make it.
        const OsrHandle epsg = EpsgSystem(r.code + 5);
        ASSERT_TRUE(epsg);
        EXPECT_STREQ(OSRGetAttrValue(epsg.get(), "SPHEROID", 0), r.spheroid);
    }
}

// Only a datum ensemble coarser than a metre is worth a word.
TEST(Identification, ADatumEnsemblesAccuracy)
{
    const std::pair<const char*, double> rows[] = {
        {"EPSG:4326", 2.0},
        {"EPSG:32633", 2.0},
        {"EPSG:25832", 0.1},
        {"EPSG:4230", 0.0}, // ED50: one datum
        // WGS 84 as a user writes it, no code anywhere.
        {"GEOGCS[\"g\",DATUM[\"WGS_1984\",SPHEROID[\"WGS "
         "84\",6378137,298.257223563]],PRIMEM[\"Greenwich\",0],"
         "UNIT[\"degree\",0.0174532925199433]]",
         2.0},
        // WGS 84's name and code on another ellipsoid: not that ensemble.
        {"GEOGCS[\"g\",DATUM[\"WGS_1984\",SPHEROID[\"Clarke 1866\",6378206.4,294.978698213898],"
         "AUTHORITY[\"EPSG\",\"6326\"]],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]",
         0.0},
    };
    for (const auto& [reference, metres] : rows) {
        OrvaneReferenceInfo info;
        OrvaneIdentity identity;
        ASSERT_TRUE(OrvaneIdentifyReference(reference, info, identity)) << reference;
        EXPECT_DOUBLE_EQ(identity.datumEnsembleAccuracy, metres) << reference;
    }
    EXPECT_TRUE(AccuracyWorthTelling(2.0));
    EXPECT_FALSE(AccuracyWorthTelling(0.1));
}

// A datum shift on either side, or different ones, makes two systems of the
// same values different; the same shift on both, or none, does not.
TEST(Identification, TheDatumShiftIsPartOfSameness)
{
    const std::string plain = ExportToWkt(EpsgSystem("4277").get());
    const auto shifted = [&plain](const char* terms) {
        std::string wkt = plain;
        wkt.insert(wkt.find("],AUTHORITY[\"EPSG\",\"6277\"]"), std::string("],TOWGS84[") + terms);
        return wkt;
    };
    const std::string gridded =
        "GEOGCS[\"OSGB36\",DATUM[\"OSGB_1936\",SPHEROID[\"Airy 1830\",6377563.396,299.3249646],"
        "EXTENSION[\"PROJ4_GRIDS\",\"@null\"]],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0."
        "0174532925199433]]";
    struct Row {
        const char* what;
        std::string a, b;
        bool exactly, butForShift, sameShift;
    };
    const Row rows[] = {
        {"no shift on either", plain, plain, true, true, true},
        {"a shift on the first only", shifted("446.448,-125.157,542.06,0.15,0.247,0.842,-20.489"),
         plain, false, true, false},
        {"a shift on the second only", plain,
         shifted("446.448,-125.157,542.06,0.15,0.247,0.842,-20.489"), false, true, false},
        {"the same shift on both", shifted("375,-111,431,0,0,0,0"), shifted("375,-111,431,0,0,0,0"),
         true, true, true},
        // PROJ tells two shifts apart itself; not a shift from none.
        {"different shifts", shifted("375,-111,431,0,0,0,0"), shifted("375,-111,432,0,0,0,0"),
         false, false, false},
        {"a grid on one only", gridded, plain, false, true, false},
        {"another ellipsoid", plain, ExportToWkt(EpsgSystem("4326").get()), false, false, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const OsrHandle a = NewSpatialReference(r.a);
        const OsrHandle b = NewSpatialReference(r.b);
        ASSERT_TRUE(a && b);
        EXPECT_EQ(SameAs(a.get(), b.get()), r.exactly);
        EXPECT_EQ(SameAs(b.get(), a.get()), r.exactly);
        EXPECT_EQ(SameAs(a.get(), b.get(), Sameness::ButForDatumShift), r.butForShift);
        EXPECT_EQ(DatumShiftOf(a.get()) == DatumShiftOf(b.get()), r.sameShift);
    }
    EXPECT_FALSE(SameAs(nullptr, NewSpatialReference(plain).get()));
}

// The shipped catalogue's codes are read off its texts: each must be the
// code the sameness rule gives.
TEST(Identification, TheShippedCataloguesClaimsAreTheRules)
{
    std::size_t claims = 0;
    for (const auto& [name, wkt] : Bundled().geographic) {
        const std::string claimed = ClaimedEpsgCode(wkt);
        if (claimed.empty() || name == "M'poraloko") // PROJ renames its datum (above)
            continue;
        const OsrHandle srs = NewSpatialReference(wkt);
        EXPECT_EQ(OwnEpsgCode(srs.get()), claimed) << name;
        ++claims;
    }
    EXPECT_GT(claims, 500u);
}

// The code line's lookup: never a wait on the caller's thread, each system
// searched once, what is known without a search taken as known.
TEST(CodeLookup, FindsBesideTheCallerAndRemembers)
{
    const std::string utm50 = ExportToWkt(EpsgSystem("32650").get()), utm33 = ExportToWkt(EpsgSystem("32633").get());
    CodeLookup lookup;
    std::optional<std::string> found = lookup.CodeIfFound(utm50);
    // Asked while its search runs: another system waits its turn.
    const std::optional<std::string> queued = lookup.CodeIfFound(utm33);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!found && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        found = lookup.CodeIfFound(utm50);
    }
    EXPECT_EQ(found, std::optional<std::string>("32650"));
    EXPECT_EQ(lookup.CodeOf(utm33), "32633") << (queued ? "found at once" : "searched when asked to wait");
    lookup.Remember("PROJCS[\"listed zone\"]", "2435");
    EXPECT_EQ(lookup.CodeIfFound("PROJCS[\"listed zone\"]"), std::optional<std::string>("2435"));
    EXPECT_EQ(lookup.CodeOf("not a system"), "");
    // A system read already is identified as read: its text is not read again.
    const OsrHandle held = EpsgSystem("2180");
    found = std::nullopt;
    while (!found && std::chrono::steady_clock::now() < deadline) {
        found = lookup.CodeIfFound("PROJCS[\"held, as the host wrote it\"]", held.get());
        if (!found)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(found, std::optional<std::string>("2180"));
}

// The one reading of a text: WKT as written, or anything a user may give,
// and never a file.
TEST(SystemTexts, ReadAsTheirFormSays)
{
    const struct {
        const char* text;
        SystemText form;
        int code;  // EPSG's system it is; 0: no system
    } cases[] = {
        {"EPSG:4326", SystemText::Definition, 0},
        {"EPSG:4326", SystemText::Reference, 4326},
        {"EPSG:3411", SystemText::Reference, 3411},  // retired: itself, not its replacement
        {"+proj=longlat +datum=WGS84 +no_defs", SystemText::Reference, 4326},
        {"/etc/hostname", SystemText::Reference, 0},
        {"", SystemText::Reference, 0},
    };
    for (const auto& c : cases) {
        const SpatialSystem system(c.text, c.form);
        ASSERT_EQ(system.IsSystem(), c.code != 0) << c.text;
        EXPECT_EQ(system.Text(), c.text);
        if (!c.code) {
            EXPECT_EQ(system.Name(), "Unknown") << c.text;
            continue;
        }
        EXPECT_TRUE(OSRIsSame(system.Handle(), EpsgSystem(std::to_string(c.code)).get())) << c.text;
    }
}
