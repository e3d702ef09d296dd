// Finding systems: matching and ranking over the real candidates, codes of
// texts and of composed systems, and the recent systems' file.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <fstream>
#include <future>
#include <map>
#include <set>
#include <tuple>
#include <filesystem>
#include <unistd.h>
#include <sys/wait.h>
#include <sys/stat.h>

#include "catalog/Identification.h"
#include "module/GdalSupport.h"
#include "module/Module.h"
#include "module/ProjSupport.h"
#include "search/CandidateDatabase.h"
#include "search/CandidateSystems.h"
#include "search/Cities.h"
#include "search/Folding.h"
#include "search/Matching.h"
#include "search/Places.h"
#include "search/RecentSystems.h"
#include "search/SearchCandidates.h"
#include "search/Spelling.h"
#include "search/WordIndex.h"
#include "search_ui/SearchPopup.h"
#include "support/SearchCorpus.h"
#include "support/TestSupport.h"
#include "util/FileIO.h"
#include "util/Text.h"

namespace {

const SearchCandidates& Everything()
{
    static const SearchCandidates all = [] {
        TempModuleFolder folder;
        SystemCatalog user{{"My Site Grid", "GEOGCS[\"My Site Grid\",DATUM[\"D\",SPHEROID[\"S\",6378140,298.25]],"
                                            "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]"}};
        return AllCandidates(ShippedGeogSystems(), user);
    }();
    return all;
}

std::vector<Found> Find(const std::string& query, std::size_t limit = 50)
{
    return FindCandidates(Everything(), query, limit);
}

}  // namespace

TEST(Search, CandidatesAreEpsgsAndEsrisSystemsWithTheirNamesAndAreas)
{
    const SearchCandidates& all = Everything();
    std::map<std::string, int> bySource;
    std::size_t aliases = 0, withArea = 0;
    for (std::size_t i = 0; i < all.Size(); ++i) {
        const Candidate& c = all[i];
        const bool database = c.source == CandidateSource::Database;
        ++bySource[database ? c.authority : c.source == CandidateSource::User ? "user" : "catalogue"];
        aliases += c.aliases.size();
        withArea += c.area ? 1 : 0;
    }
    std::printf("candidates: %d EPSG, %d ESRI, %d catalogue, %d user; %zu aliases; %zu with an area of use "
                "(%zu areas)\n",
                bySource["EPSG"], bySource["ESRI"], bySource["catalogue"], bySource["user"], aliases, withArea,
                all.database->areas.size());
    EXPECT_GT(bySource["EPSG"], 5500);
    EXPECT_GT(bySource["ESRI"], 1400);
    EXPECT_GT(aliases, 5000u);
    EXPECT_GT(withArea, 7000u);
    EXPECT_EQ(bySource["user"], 1);
    // The catalogue's entries that are EPSG's systems stand for them.
    for (const Candidate& c : all.own)
        EXPECT_EQ(c.standsFor != nullptr, !c.code.empty()) << c.name;
    // Areas read as people write them: "140°E", never ESRI's "140~E".
    std::size_t degrees = 0;
    for (const AreaOfUse& area : all.database->areas) {
        EXPECT_EQ(area.name.find_first_of('~'), std::string::npos) << area.name;
        degrees += area.name.find("140\u00B0E to 142\u00B0E") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(degrees, 1u);
    // Kept as EPSG's, then ESRI's, each by kind and code, whatever order the
    // database gives them in (the ranking's last tie-break is that order);
    // each alias once, never the name again.
    const CandidateList& systems = all.database->candidates;
    for (std::size_t i = 1; i < systems.size(); ++i) {
        const Candidate &a = systems[i - 1], &b = systems[i];
        EXPECT_LT(std::make_tuple(a.authority, a.kind, std::stoull(a.code)),
                  std::make_tuple(b.authority, b.kind, std::stoull(b.code)))
            << CandidateCode(a) << " " << CandidateCode(b);
    }
    for (const Candidate& c : systems) {
        const std::set<std::string> words(c.aliasWords.begin(), c.aliasWords.end());
        EXPECT_EQ(words.size(), c.aliasWords.size()) << c.name;
        EXPECT_EQ(words.count(c.words), 0u) << c.name;
        EXPECT_EQ(c.aliases.size(), c.aliasWords.size()) << c.name;
    }
    // A system used in several areas shows the widest.
    for (const auto& [code, area] : {std::pair{"EPSG:2393", "Finland - onshore"}, {"EPSG:3106", "Bangladesh"},
                                     {"EPSG:22213", "Canada - 108\u00B0W to 102\u00B0W"}}) {
        const Candidate* system = all.Find(code);
        ASSERT_TRUE(system && system->area) << code;
        EXPECT_EQ(system->area->name, area) << code;
        EXPECT_FALSE(system->area->words.empty()) << code;
    }
}

// Every row: a query as people type it, and the system that must be among
// the first three found (its code, or a part of its name).
TEST(Search, FindsWhatPeopleTypeAmongTheFirstThree)
{
    const struct {
        const char* query;
        const char* expected;
        const char* first;  // the first row's code, where the row is about what comes first
    } rows[] = {
        // Codes and EPSG's names.
        {"32650", "EPSG:32650", "EPSG:32650"},
        {"EPSG:32650", "EPSG:32650", "EPSG:32650"},
        {"epsg 4326", "EPSG:4326", "EPSG:4326"},
        {"ESRI:54009", "ESRI:54009", "ESRI:54009"},
        {"wgs 84 / utm zone 50n", "EPSG:32650", "EPSG:32650"},
        {"3857", "EPSG:3857", "EPSG:3857"},
        // Aliases, catalogue names and spellings.
        {"wgs84", "EPSG:4326", "EPSG:4326"},
        {"WGS 1984", "EPSG:4326", "EPSG:4326"},
        {"GCS_WGS_1984", "EPSG:4326", "EPSG:4326"},
        {"web mercator", "EPSG:3857", "EPSG:3857"},
        {"google", "EPSG:3857", "EPSG:3857"},
        // Everyday nicknames.
        {"google maps", "EPSG:3857", "EPSG:3857"},
        {"openstreetmap", "EPSG:3857", "EPSG:3857"},
        {"osm", "EPSG:3857", "EPSG:3857"},
        {"hk1980", "Hong Kong 1980", nullptr},
        {"hk80", "Hong Kong 1980", nullptr},
        {"WGS_1984_Web_Mercator_Auxiliary_Sphere", "EPSG:3857", nullptr},
        {"british national grid", "EPSG:27700", "EPSG:27700"},
        {"lv95", "EPSG:2056", "EPSG:2056"},
        {"utm33n", "EPSG:32633", "EPSG:32633"},
        {"utm 33n", "EPSG:32633", "EPSG:32633"},
        {"UTM-Zone 33 N", "EPSG:32633", nullptr},
        {"cgcs2000", "EPSG:4490", "EPSG:4490"},
        {"lambert-93", "EPSG:2154", nullptr},
        {"Lambert 93", "EPSG:2154", nullptr},
        {"gauss krueger", "Gauss-Kruger", nullptr},
        {"Gauß-Krüger", "Gauss-Kruger", nullptr},
        // Chinese.
        {"北京1954", "EPSG:4214", "EPSG:4214"},
        {"北京54", "EPSG:4214", "EPSG:4214"},
        {"西安1980", "EPSG:4610", "EPSG:4610"},
        {"西安80", "EPSG:4610", "EPSG:4610"},
        {"2000国家大地坐标系", "EPSG:4490", "EPSG:4490"},
        {"2000國家大地坐標系", "EPSG:4490", "EPSG:4490"},
        {"高斯", "Gauss-Kruger", nullptr},
        {"高斯-克吕格", "Gauss-Kruger", nullptr},
        {"通用横轴墨卡托 50", "EPSG:32650", nullptr},
        {"兰伯特 93", "EPSG:2154", nullptr},
        // The world projections (ESRI's).
        {"mollweide", "ESRI:54009", "ESRI:54009"},
        {"robinson", "ESRI:54030", "ESRI:54030"},
        {"winkel tripel", "ESRI:54042", "ESRI:54042"},
        // Places by name.
        {"france", "EPSG:2154", nullptr},
        {"texas", "Texas", nullptr},
        // Numbers are whole numbers: zone 33, not 1933.
        {"etrs 33", "EPSG:25833", nullptr},
        {"beijing 20", "EPSG:21420", nullptr},
        // Words run together or misspelt: found after what is typed right.
        {"pseudomercator", "EPSG:3857", "EPSG:3857"},
        {"winkeltripel", "ESRI:54042", "ESRI:54042"},
        {"winkel tripl", "ESRI:54042", "ESRI:54042"},
        {"mollweid", "ESRI:54009", "ESRI:54009"},
        {"lamber 93", "EPSG:2154", nullptr},
        {"britsh national grid", "EPSG:27700", "EPSG:27700"},
        // Short words: a typo in four or five letters, two swapped in three.
        {"wsg 84", "EPSG:4326", "EPSG:4326"},
        {"utm zoen 33n", "EPSG:32633", nullptr},
        {"utm 33 nrth", "EPSG:32633", nullptr},
        {"utm zone 32 sotuh", "EPSG:32732", nullptr},
        // Compass words spelt out; "zone" left out or put in.
        {"utm zone 32 south", "EPSG:32732", "EPSG:32732"},
        {"utm 33 north", "EPSG:32633", "EPSG:32633"},
        {"etrs89 utm 33 north", "EPSG:25833", "EPSG:25833"},
        {"gauss kruger zone 39", "3-degree Gauss-Kruger zone 39", nullptr},
        // A zone's number and letter are one: not the 50 of ED50.
        {"utm 50n", "EPSG:32650", "EPSG:32650"},
        // Another form of a system comes after it.
        {"utm33n", "EPSG:25833", "EPSG:32633"},
        // Countries under other names.
        {"czech republic", "S-JTSK", nullptr},
        {"great britain", "EPSG:27700", "EPSG:27700"},
        {"mexico", "Mexico ITRF", nullptr},  // the country, not New Mexico
        // A country by any of its names: its own grid, then today's UTM zones over it.
        {"polska", "EPSG:2180", "EPSG:2180"},
        {"deutschland", "EPSG:25832", "EPSG:25832"},
        {"españa", "EPSG:25830", "EPSG:25830"},
        {"israel", "EPSG:2039", nullptr},
        {"česko", "EPSG:5514", nullptr},
        {"united kingdom", "EPSG:27700", "EPSG:27700"},
        {"schweiz", "EPSG:2056", "EPSG:2056"},
        {"norge", "ETRS89 / UTM zone 3", nullptr},
        {"belgique", "Belgian Lambert", nullptr},
        // US State Plane as people say it.
        {"state plane california zone 3", "California zone 3", nullptr},
        {"california stateplane iii", "California zone 3", nullptr},
        {"state plane 0403", "California zone 3", nullptr},
        {"texas state plane north central feet", "Texas North Central (ftUS)", nullptr},
        // A "+" is part of a name.
        {"ch1903+", "EPSG:2056", nullptr},
        // Chinese as people write it.
        {"3度", "3-degree Gauss-Kruger", nullptr},
        {"6度", "CGCS2000 / Gauss-Kruger", nullptr},
        {"第39带", "3-degree Gauss-Kruger zone 39", nullptr},
        {"带号39", "3-degree Gauss-Kruger zone 39", nullptr},
        {"经纬度", "EPSG:4326", "EPSG:4326"},
        {"国家2000", "EPSG:4490", "EPSG:4490"},
        {"cgcs2000 中央经线117", "CGCS2000 / Gauss-Kruger CM 117E", nullptr},
        {"cgcs2000 cm117", "CGCS2000 / Gauss-Kruger CM 117E", nullptr},
        // The user's own.
        {"site grid", "My Site Grid", nullptr},
    };
    for (const auto& row : rows) {
        const std::vector<Found> found = Find(row.query);
        std::string firstThree;
        bool among = false;
        for (std::size_t i = 0; i < std::min<std::size_t>(3, found.size()); ++i) {
            const Candidate& c = *found[i].candidate;
            const std::string code = CandidateCode(c);
            firstThree += code + " " + c.name + "; ";
            among = among || code == row.expected || c.name.find(row.expected) != std::string::npos;
        }
        EXPECT_TRUE(among) << row.query << " → " << firstThree;
        if (row.first && !found.empty()) {
            EXPECT_EQ(CandidateCode(*found[0].candidate), row.first) << row.query << " → " << firstThree;
        }
    }
    for (const Found& f : Find("ch1903+"))
        EXPECT_NE(f.candidate->name.find("CH1903+"), std::string::npos) << f.candidate->name;
    // A row found by another name says which.
    EXPECT_EQ(Find("web mercator")[0].alias, "Web Mercator");
    EXPECT_EQ(Find("WGS 1984")[0].alias, "WGS 1984");
    EXPECT_EQ(Find("wgs 84")[0].alias, "");
    // Nothing found, and nothing to find.
    for (const char* nothing : {"no such system anywhere", "", "   ", "epsg", "utm 1933"})
        EXPECT_TRUE(Find(nothing).empty()) << nothing;
    EXPECT_EQ(Find("a", 7).size(), 7u) << "at most the limit";
    // A megabyte of the same words is those words (a benchmark keeps its time).
    std::string repeated;
    while (repeated.size() < (1u << 20))
        repeated += "wgs 84 ";
    EXPECT_EQ(CandidateCode(*Find(repeated)[0].candidate), "EPSG:4326");
}

// The labelled corpus (tests/data/search_corpus.tsv), as `orvane find` and
// Python's find() read it (the chooser's field the same, heights aside):
// every query answered in the first three rows. It only grows.
TEST(Search, TheCorpusIsAnsweredInTheFirstThree)
{
    TempModuleFolder folder;
    const std::vector<CorpusQuery> corpus = ReadSearchCorpus();
    EXPECT_GE(corpus.size(), 400u);
    const SearchCandidates all = AllCandidates(ShippedGeogSystems(), SystemCatalog(), true);
    for (const std::string& miss : CorpusMisses(all, corpus))
        ADD_FAILURE() << miss;
    // The first rows do not depend on how many are asked for (a grid's
    // later realisation may rank far past the limit): the corpus, and words
    // that find thousands.
    std::vector<std::pair<std::string, std::vector<std::size_t>>> texts;
    for (const char* many : {"feet", "ftus", "utm", "nad83", "3", "zone", "gda", "cs"})
        texts.push_back({many, {3, 10, 50}});
    for (const CorpusQuery& query : corpus)
        texts.push_back({query.query, {3}});
    for (const auto& [text, limits] : texts) {
        const std::vector<Found> every = FindForText(all, text, all.Size()).found;
        for (const std::size_t limit : limits) {
            const std::vector<Found> few = FindForText(all, text, limit).found;
            ASSERT_LE(few.size(), every.size()) << text;
            for (std::size_t i = 0; i < few.size(); ++i)
                EXPECT_EQ(few[i].candidate, every[i].candidate) << text << " at " << limit << ", row " << i;
        }
    }
    // A code ESRI retired: marked, and followed by the EPSG system it moved
    // to, a retired replacement followed on to its own.
    for (const auto& [retired, replacement] : {std::pair{"ESRI:102100", "EPSG:3857"}, {"esri 102113", "EPSG:3857"},
                                               {"102729", "EPSG:2272"}}) {
        const std::vector<Found> found = FindForText(all, retired, 5).found;
        ASSERT_GE(found.size(), 2u) << retired;
        EXPECT_TRUE(found[0].candidate->deprecated) << retired;
        EXPECT_NE(found[0].candidate->name.find(kDeprecatedMark), std::string::npos) << retired;
        EXPECT_EQ(CandidateCode(*found[1].candidate), replacement) << retired;
    }
}

// The word index only spares the search work: what a search finds with it
// is what matching every system finds (as the first search does while the
// words are being made).
TEST(Search, TheWordIndexLeavesEveryMatch)
{
    const SearchCandidates all = AllCandidates(ShippedGeogSystems(), UserGeogSystems());
    all.database->Words();
    auto unindexed = std::make_shared<CandidateDatabase>();
    unindexed->areas = all.database->areas;
    unindexed->byCode = all.database->byCode;
    unindexed->candidates = all.database->candidates;
    for (Candidate& candidate : unindexed->candidates) {
        if (candidate.area)
            candidate.area = &unindexed->areas[static_cast<std::size_t>(candidate.area - all.database->areas.data())];
    }
    SearchCandidates matchAll = all;
    matchAll.database = unindexed;
    for (Candidate& entry : matchAll.own) {
        if (entry.standsFor)
            entry.standsFor = &unindexed->candidates[static_cast<std::size_t>(entry.standsFor -
                                                                              all.database->candidates.data())];
    }
    ASSERT_EQ(unindexed->WordsIfMade(), nullptr);
    ASSERT_NE(all.database->WordsIfMade(), nullptr);
    for (const char* query : {"e", "3", "326", "32650", "utm33n", "utm 50n", "etrs 33", "web merc", "mercatr",
                              "pseudomercator", "北京1954", "国家2000", "epsg 4326", "esri 54009", "zone",
                              "utm zone 32 south", "gauss kruger zone 39", "mexico", "lv95", "geographic wgs",
                              "switzerland", "britsh national grid", "france", "polska", "czech republic",
                              "deutschland", "north", "北", "new zealand"}) {
        const auto names = [query](const SearchCandidates& candidates) {
            std::vector<std::string> found;
            for (const Found& f : FindCandidates(candidates, query, 50))
                found.push_back(f.candidate->name + " | " + f.alias);
            return found;
        };
        const std::vector<std::string> indexed = names(all);
        EXPECT_FALSE(indexed.empty()) << query;
        EXPECT_EQ(indexed, names(matchAll)) << query;
    }
}

// Both sets read at once from several threads, as `find` and a chooser may
// (each read asks PROJ where its database is from two threads): each read
// whole, the same as alone.
TEST(Search, TheSetsReadAtOnceAreReadWhole)
{
    const std::size_t horizontal = ReadCandidateDatabase(SystemSet::Horizontal)->candidates.size();
    const std::size_t heights = ReadCandidateDatabase(SystemSet::Heights)->candidates.size();
    EXPECT_GT(horizontal, 7000u);
    EXPECT_GT(heights, 800u);
    std::vector<std::future<std::size_t>> reads;
    for (int i = 0; i < 4; ++i) {
        reads.push_back(std::async(std::launch::async, [i] {
            const auto read = ReadCandidateDatabase(i % 2 ? SystemSet::Heights : SystemSet::Horizontal);
            return read ? read->candidates.size() : 0;
        }));
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(reads[static_cast<std::size_t>(i)].get(), i % 2 ? heights : horizontal) << i;
    // Where the database is, asked from many threads at once.
    const std::string path = ProjDatabasePath();
    std::vector<std::future<bool>> asks;
    for (int i = 0; i < 8; ++i) {
        asks.push_back(std::async(std::launch::async, [&path] {
            bool same = true;
            for (int n = 0; n < 1500; ++n)
                same = same && ProjDatabasePath() == path;
            return same;
        }));
    }
    for (auto& ask : asks)
        EXPECT_TRUE(ask.get());
}

// Vertical and compound systems, found where asked for (the command line's
// find, the height row): after the horizontal systems that fit as well, a
// vertical system before the compound ones holding it, a vertical datum's
// latest realisation first, and at a place the region's own before the
// world's geoid models. The chooser's own search never lists them.
TEST(Search, HeightsAreFoundAfterTheHorizontalSystems)
{
    const auto isHeight = [](const Found& f) {
        return f.candidate->kind == CandidateKind::Vertical || f.candidate->kind == CandidateKind::Compound;
    };
    static const SearchCandidates withHeights = [] {
        TempModuleFolder folder;
        return AllCandidates(ShippedGeogSystems(), SystemCatalog(), true);
    }();
    const struct {
        const char* text;
        std::vector<std::string> first;  // the first codes found, in order
        const char* kind;                // of the first height system found
    } rows[] = {
        {"germany", {"EPSG:25832", "EPSG:25833"}, "vertical"},
        {"dhhn", {"EPSG:7837", "EPSG:5783", "EPSG:5784", "EPSG:7699"}, "vertical"},
        {"navd88", {"EPSG:5703"}, "vertical"},
        {"ngvd 29", {"EPSG:7968", "EPSG:5702", "EPSG:6359"}, "vertical"},  // the depth after the heights
        {"utm 32n dhhn92", {"EPSG:5555"}, "compound"},
        {"黄海高程 1985", {"EPSG:5737"}, "vertical"},
    };
    for (const auto& row : rows) {
        const std::vector<Found> found = FindForText(withHeights, row.text, 10000).found;
        ASSERT_GE(found.size(), row.first.size()) << row.text;
        for (std::size_t i = 0; i < row.first.size(); ++i)
            EXPECT_EQ(CandidateCode(*found[i].candidate), row.first[i]) << row.text << " #" << i;
        const auto firstHeight = std::find_if(found.begin(), found.end(), isHeight);
        ASSERT_NE(firstHeight, found.end()) << row.text;
        EXPECT_STREQ(CandidateKindName(firstHeight->candidate->kind), row.kind) << row.text;
        EXPECT_TRUE(std::all_of(firstHeight, found.end(), isHeight)) << row.text << ": heights come last";
    }
    // At a city, its country's heights today's first, the world's after them.
    const struct {
        const char* city;
        const char* firstVertical;  // its name's start
    } places[] = {{"berlin", "DHHN2016 "}, {"beijing", "Yellow Sea 1985 "}, {"new york city", "NAVD88 "},
                  {"amsterdam", "NAP "}};
    for (const auto& place : places) {
        const Finding at = FindForText(withHeights, place.city, 10000);
        EXPECT_TRUE(at.atPlace) << place.city;
        const auto vertical = std::find_if(at.found.begin(), at.found.end(), [](const Found& f) {
            return f.candidate->kind == CandidateKind::Vertical;
        });
        ASSERT_NE(vertical, at.found.end()) << place.city;
        const std::vector<Found> there = CandidatesAt(withHeights, at.latitude, at.longitude, 10000);
        EXPECT_TRUE(std::is_partitioned(there.begin(), there.end(), [&](const Found& f) { return !isHeight(f); }))
            << place.city << ": every horizontal system there before the heights";
        EXPECT_EQ(vertical->candidate->name.rfind(place.firstVertical, 0), 0u) << place.city << ": " << vertical->candidate->name;
    }
    for (const char* text : {"dhhn92", "5555", "navd88", "berlin"}) {
        for (const Found& f : FindForText(Everything(), text, 10000).found)
            EXPECT_LT(static_cast<int>(f.candidate->kind), static_cast<int>(CandidateKind::Vertical)) << text;
    }
}

TEST(Search, PlacesAreReadAndFindTheSystemsUsedThere)
{
    const struct {
        const char* text;
        bool place;
        double latitude, longitude;
    } texts[] = {
        {"52.52 13.40", true, 52.52, 13.40},
        {"52.52, 13.40", true, 52.52, 13.40},
        {" 52.52 ; 13.40 ", true, 52.52, 13.40},
        {"52°31'N 13°24'E", true, 52 + 31 / 60.0, 13.4},
        {"52°31′12″N 13°24′E", true, 52 + 31 / 60.0 + 12 / 3600.0, 13.4},
        {"13.4E 52.5N", true, 52.5, 13.4},
        {"N52.5 E13.4", true, 52.5, 13.4},
        {"-33.87 151.21", true, -33.87, 151.21},
        {"33.87S 151.21E", true, -33.87, 151.21},
        {"40°42'46\"N 74°0'22\"W", true, 40 + 42 / 60.0 + 46 / 3600.0, -(74 + 22 / 3600.0)},
        {"52.5n 13.4e", true, 52.5, 13.4},
        // Not places.
        {"33 117", false, 0, 0},
        {"32650", false, 0, 0},
        {"utm 33n", false, 0, 0},
        {"91.0 13.4", false, 0, 0},
        {"52.5 181.0", false, 0, 0},
        {"52.5N 13.4N", false, 0, 0},
        {"-52.5S 13.4E", false, 0, 0},
        {"52°61'N 13°E", false, 0, 0},
        {"52.5 13.4 7", false, 0, 0},
        {"52,52 13,40", false, 0, 0},
        {"WGS 1984", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const auto& t : texts) {
        Place place;
        ASSERT_EQ(ParsePlace(t.text, place), t.place) << t.text;
        if (t.place) {
            EXPECT_NEAR(place.latitude, t.latitude, 1e-9) << t.text;
            EXPECT_NEAR(place.longitude, t.longitude, 1e-9) << t.text;
        }
    }
    EXPECT_EQ(PlaceText(Place{52.52, -13.4}), "52.5200°N 13.4000°W");

    // Berlin: today's national and UTM grids first, continental and world systems after them.
    const std::vector<Found> berlin = CandidatesAt(Everything(), 52.52, 13.40, 10000);
    const auto at = [&](const char* code) {
        for (std::size_t i = 0; i < berlin.size(); ++i)
            if (CandidateCode(*berlin[i].candidate) == code)
                return i;
        ADD_FAILURE() << code << " not found at Berlin";
        return berlin.size();
    };
    EXPECT_LT(at("EPSG:25833"), 10u);
    EXPECT_LT(at("EPSG:25833"), at("EPSG:3035"));
    EXPECT_LT(at("EPSG:3035"), at("EPSG:4326"));
    EXPECT_LT(at("EPSG:4326"), at("EPSG:3068")) << "historical grids after today's";
    for (const Found& found : berlin)
        EXPECT_TRUE(found.candidate->area->Contains(52.52, 13.40)) << found.candidate->name;
    // A place by its city's name, or by coordinates: the system people use
    // there first (the country's, on today's datum), its other forms after it.
    TempModuleFolder folder;
    const struct {
        const char* text;
        const char* first;
    } places[] = {
        {"Berlin", "EPSG:25833"},   {"52.52 13.40", "EPSG:25833"}, {"madrid", "EPSG:25830"},
        {"Paris", "EPSG:9794"},     {"London", "EPSG:27700"},      {"Zürich", "EPSG:2056"},
        {"dublin", "EPSG:2158"},    {"Beijing", "EPSG:4548"},      {"wuhan", "EPSG:4547"},
        // Named after the city; today's realisation; the zone most central
        // where zones overlap; a neighbour's grid after the country's own.
        {"hong kong", "EPSG:2326"}, {"sydney", "EPSG:8058"},       {"35.68 139.69", "EPSG:6677"},
        {"osaka", "EPSG:6674"},     {"buenos aires", "EPSG:31981"},
        // A city with other words: the systems there that the words find.
        // The datum typed: its own system before its later realisations.
        {"paris lambert", "EPSG:9794"}, {"berlin utm", "EPSG:25833"}, {"nad83 chicago", "EPSG:26971"},
        // Cities by their names in Chinese characters.
        {"北京", "EPSG:4548"},      {"武漢", "EPSG:4547"},         {"柏林", "EPSG:25833"},
    };
    const Finding buenosAires = FindForText(Everything(), "buenos aires", 20);
    for (const Found& f : buenosAires.found)
        EXPECT_EQ(f.candidate->name.find("Brazil"), std::string::npos) << "a neighbour's grid among the city's own";
    for (const auto& p : places) {
        const Finding finding = FindForText(Everything(), p.text, 50);
        ASSERT_TRUE(finding.atPlace) << p.text;
        ASSERT_FALSE(finding.found.empty()) << p.text;
        EXPECT_EQ(CandidateCode(*finding.found[0].candidate), p.first) << p.text << " (" << finding.placeLabel << ")";
        for (const Found& f : finding.found) {
            if (f.candidate->variant)
                continue;
            EXPECT_FALSE(f.candidate->name.find("(N-E)") != std::string::npos) << "a variant not marked";
        }
    }
    // A city's systems, then those named after it; the most populous of a name.
    const Finding berlinByName = FindForText(Everything(), "berlin", 10000);
    EXPECT_EQ(berlinByName.placeLabel, "Berlin (DE)");
    EXPECT_TRUE(std::any_of(berlinByName.found.begin(), berlinByName.found.end(),
                            [](const Found& f) { return CandidateCode(*f.candidate) == "EPSG:3068"; }));
    EXPECT_EQ(FindForText(Everything(), "toronto", 5).placeLabel, "Toronto (CA)");
    // New York City by its English name; its start, never York with "new".
    for (const char* text : {"new york", "new yo"}) {
        const Finding newYork = FindForText(Everything(), text, 5);
        EXPECT_EQ(newYork.atPlace, std::string(text) == "new york") << text;
        ASSERT_FALSE(newYork.found.empty()) << text;
        EXPECT_NE(newYork.found[0].candidate->name.find("/ New York "), std::string::npos) << text;
    }
    EXPECT_EQ(FindForText(Everything(), "北京市", 5).placeLabel, "北京市 (CN)");
    EXPECT_FALSE(FindForText(Everything(), "utm 33n", 5).atPlace) << "words are no city";
    for (const char* country : {"Mexico", "luxembourg", "singapore", "新加坡"})
        EXPECT_FALSE(FindForText(Everything(), country, 5).atPlace) << country << ": the country, not a town of its name";
    // The gazetteer reads its file whole or not at all, and never a broken line.
    const std::string path = folder / "cities.txt";
    WriteFile(path, "# a comment\nSpringfield\tUS\t39.8\t-89.6\t116000\nBroken\tUS\t91\t0\t5\nNo tabs\n"
                    "Kansas City\tUS\t39.1\t-94.6\t475000\n"
                    "Springfield\tUS\t42.1\t-72.5\t155000\nWords\tUS\tnorth\teast\t5\nComma\tDE\t52,5\t13,4\t9\n");
    // Under a decimal-comma locale, as a host may run: the file's points are points.
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    const std::string countries = folder / "countries.txt";
    WriteFile(countries, "# codes\nUS\tUSA\nUSA\tToo long a code\nDE\n");
    const Gazetteer small(path, countries);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(small.Size(), 3u);
    City city;
    ASSERT_TRUE(small.Find("SPRINGFIELD", city));
    EXPECT_EQ(city.population, 155000u) << "the most populous of a name";
    EXPECT_EQ(city.countryWords, " usa ") << "its country as the areas name it";
    EXPECT_EQ(small.CountryOfArea("USA - Texas - SPCS - C"), " usa ");
    EXPECT_EQ(small.CountryOfArea("Europe - 6°E to 12°E"), "") << "no country's";
    EXPECT_DOUBLE_EQ(city.latitude, 42.1f);
    for (const char* broken : {"Broken", "Words", "Comma"})
        EXPECT_FALSE(small.Find(broken, city)) << broken;
    EXPECT_FALSE(small.Find("kansas", city)) << "a state's name is no city's";
    EXPECT_TRUE(small.BeginsAName("KANSAS")) << "but begins one";
    EXPECT_TRUE(small.BeginsAName("kansas city"));
    EXPECT_FALSE(small.BeginsAName("kansa")) << "in whole words";
    EXPECT_FALSE(small.BeginsAName("kansas town"));
    EXPECT_EQ(Gazetteer(folder / "none.txt", folder / "none.txt").Size(), 0u);
    EXPECT_GT(Cities().Size(), 20000u);
    EXPECT_LT(Cities().Bytes(), 2u << 20) << "compact";

    // Across the antimeridian: Fiji's systems hold 178°E and 179.9°W alike.
    for (const double longitude : {178.0, -179.9}) {
        const std::vector<Found> fiji = CandidatesAt(Everything(), -16.5, longitude, 10000);
        EXPECT_TRUE(std::any_of(fiji.begin(), fiji.end(), [](const Found& f) {
            return f.candidate->name.find("Fiji") != std::string::npos;
        })) << longitude;
    }
}

TEST(Search, FoldingAndTermsForgiveSpelling)
{
    // Typos: a letter wrong, missing, added, two swapped; counted no further than asked.
    const struct {
        const char* a;
        const char* b;
        int most, typos;
    } typos[] = {
        {"mercator", "mercator", 2, 0}, {"mercatr", "mercator", 2, 1}, {"mecrator", "mercator", 2, 1},
        {"mercxtor", "mercator", 2, 1}, {"merkatorr", "mercator", 2, 2}, {"lambert", "mercator", 2, 3},
        {"", "abc", 5, 3},
    };
    for (const auto& t : typos)
        EXPECT_EQ(Typos(t.a, t.b, t.most), t.typos) << t.a << " " << t.b;
    // Against the names' words: run-together words split, one typo from five
    // letters, two from nine, none below.
    Vocabulary words;
    words.Add(" wgs 84 pseudo mercator ");
    words.Add(" world winkel tripel ngs ");
    words.Add(" transverse mercator ");
    words.Add(" utm zone zen ");
    words.Finish();
    const std::pair<const char*, const char*> corrected[] = {
        {" pseudomercator ", " pseudo mercator "}, {" winkeltrip ", " winkel trip "},
        {" mercatr ", " mercator "},                {" transvarse mercator ", " transverse mercator "},
        {" transvrese mercatr ", " transverse mercator "}, {" trpl ", " trpl "},
        {" wgs 84 ", " wgs 84 "},                   {" zzzzzzz ", " zzzzzzz "},
        {" zoen ", " zone "}, // two letters swapped before one dropped ("zen")
    };
    for (const auto& [typed, read] : corrected)
        EXPECT_EQ(CorrectedWords(typed, words), read) << typed;
    // A "+" after a word is a word: "CH1903+" is not "CH1903"; between words, a blank.
    EXPECT_EQ(FoldedWords("CH1903+ / LV95"), " ch 1903 + lv 95 ");
    EXPECT_EQ(FoldedWords("WGS 84 + EGM96 height"), " wgs 84 egm 96 height ");
    // A second vocabulary looked in too (the database's beside the catalogues').
    Vocabulary catalogues;
    catalogues.Add(" my lambert grid ");
    catalogues.Finish();
    catalogues.Also(&words);
    EXPECT_EQ(CorrectedWords(" lambrt mercatr ", catalogues), " lambert mercator ");
    EXPECT_EQ(CorrectedWords(" lambertmercator ", catalogues), " lambert mercator ");

    // The index a search sieves with: a system with a word that starts with
    // the word typed, in its name, its area or its code; Chinese anywhere.
    WordIndex index;
    index.Add(0, " wgs 84 utm zone 33 n ", true);
    index.Add(0, " europe between 12 e and 18 e ", false);
    index.Add(0, "32633", false);
    index.Add(1, " utm 3 ", true);
    index.Add(2, " 北京 1954 ", true);
    index.Add(2, " china ", false);
    index.Add(3, " zone ", true);
    index.Finish(4);
    const std::pair<const char*, const char*> sieved[] = {
        {"ut", "1110"}, {"utm", "1110"}, {"utmz", "0010"}, {"3", "1110"}, {"33", "1010"}, {"3263", "1010"},
        {"eur", "1010"}, {"chin", "0010"}, {"zon", "1011"}, {"zones", "0010"}, {"", "1111"}, {"~", "0010"},
    };
    for (const auto& [start, marked] : sieved) {
        std::vector<std::uint8_t> marks(4, 0);
        index.MarkStarting(start, marks);
        std::string got;
        for (const std::uint8_t mark : marks)
            got += mark ? '1' : '0';
        EXPECT_EQ(got, marked) << start;
    }
    const std::vector<std::string_view>& indexed = index.Words();
    EXPECT_TRUE(std::is_sorted(indexed.begin(), indexed.end()));
    EXPECT_EQ(std::adjacent_find(indexed.begin(), indexed.end()), indexed.end()) << "each word once";
    const auto europe = std::find(indexed.begin(), indexed.end(), "europe");
    const auto utm = std::find(indexed.begin(), indexed.end(), "utm");
    ASSERT_NE(europe, indexed.end());
    ASSERT_NE(utm, indexed.end());
    EXPECT_FALSE(index.NamesASystem(static_cast<std::size_t>(europe - indexed.begin()))) << "an area's word";
    EXPECT_TRUE(index.NamesASystem(static_cast<std::size_t>(utm - indexed.begin())));

    const std::pair<const char*, const char*> folded[] = {
        {"WGS 84 / UTM zone 33N", " wgs 84 utm zone 33 n "},
        {"utm33n", " utm 33 n "},
        {"GCS_WGS_1984", " gcs wgs 1984 "},
        {"Gauß-Krüger", " gauss kruger "},
        {"NAD83(2011)", " nad 83 2011 "},
        {"北京1954坐标系", " 北京 1954 坐标系 "},
        {"第５０带", " 第 50 带 "},
        {"  --  ", ""},
        {"\xff\xfe x", " yth x "},  // bytes that are no UTF-8 read as Latin-1
        // Greek and Cyrillic in either case, Greek's accents and final sigma
        // aside; accents typed apart; Romanian's comma below.
        {"ΘΕΣΣΑΛΟΝΊΚΗ", " θεσσαλονικη "}, {"Θεσσαλονίκης", " θεσσαλονικησ "},
        {"КИЇВ Ёлка", " київ елка "}, {"Bucures\u0327ti Timiș", " bucuresti timis "},
    };
    for (const auto& [text, words] : folded)
        EXPECT_EQ(FoldedWords(text), words) << text;
    const std::vector<SearchTerm> terms = ReadSearchTerms(GetSearchTermsPath());
    EXPECT_GT(terms.size(), 40u);
    EXPECT_EQ(WithTermsRead(FoldedWords("google google mercator maps"), terms), " web mercator web mercator maps ");

    // Terms are read once, in what was typed: terms that stand for each
    // other (a damaged file) cannot feed themselves; the longest wins where
    // two overlap; a reading that would grow past any query is not taken.
    // Words of letters alone (folding puts letters and digits apart): q0a, q0b, …
    const auto word = [](int i) { return std::string("q") + char('a' + i / 26) + char('a' + i % 26); };
    std::vector<SearchTerm> chain;
    for (int i = 40; i >= 1; --i)
        chain.push_back({" " + word(i) + " ", " " + word(i + 1) + " " + word(i + 1) + " "});
    chain.push_back({" b c d ", " y "});
    chain.push_back({" a b ", " x "});
    chain.push_back({" huge ", " " + std::string(20000, 'h') + " "});
    const std::pair<const char*, const char*> readings[] = {
        {"qab", " qac qac "},
        {"qab qbo plain", " qac qac qbp qbp plain "},
        {"a b c d", " a y "},
        {"a b", " x "},
        {"a b a b", " x x "},
        {"huge", " huge "},
    };
    for (const auto& [typed, read] : readings)
        EXPECT_EQ(WithTermsRead(FoldedWords(typed), chain), read) << typed;
}

// The list under the field: on a screen it moves left and above to stay on
// it; on a Wayland dialog (no place on the screen known) it stays under the
// field and within the dialog, narrower or shorter instead.
TEST(Search, TheListStandsUnderTheFieldWithinItsRoom)
{
    const QRect screen(0, 0, 1000, 800);
    const QRect dialog(0, 0, 660, 720);
    struct Case {
        QRect area;
        bool mayMove;
        QPoint below;
        int wanted, height;
        QRect expected;
    };
    const Case cases[] = {
        {screen, true, {100, 60}, 500, 200, {100, 60, 500, 200}},   // room enough
        {screen, true, {100, 60}, 300, 200, {100, 60, 400, 200}},   // never narrower than the field
        {screen, true, {700, 60}, 500, 200, {500, 60, 500, 200}},   // moved left onto the screen
        {screen, true, {100, 60}, 1400, 200, {0, 60, 1000, 200}},   // no wider than the screen
        {screen, true, {100, 700}, 500, 200, {100, 472, 500, 200}}, // above: no room below
        {screen, true, {100, 150}, 500, 900, {100, 150, 500, 650}}, // room neither side: below, cut
        {dialog, false, {53, 35}, 500, 200, {53, 35, 500, 200}},
        {dialog, false, {53, 35}, 900, 200, {53, 35, 607, 200}},    // cut at the dialog's edge, not moved
        {dialog, false, {53, 600}, 500, 200, {53, 600, 500, 120}},  // never above: cut at its foot
    };
    for (const Case& c : cases) {
        ListPlace place;
        place.area = c.area;
        place.mayMove = c.mayMove;
        place.below = c.below;
        place.fieldTop = c.below.y() - 26;
        place.fieldWidth = 400;
        EXPECT_EQ(ListRect(place, c.wanted, c.height), c.expected)
            << c.below.x() << "," << c.below.y() << " wanting " << c.wanted << "x" << c.height;
    }
}

TEST(Search, CodesOfTextsAndOfComposedSystems)
{
    // Recent systems the user composed are told apart by what they are.
    const auto composed = [](const char* geogcs, double meridian) {
        return std::string("PROJCS[\"<Custom Projection Coordinate System>\",") + geogcs +
               ",PROJECTION[\"Transverse_Mercator\"],PARAMETER[\"central_meridian\"," + std::to_string(meridian) +
               "],PARAMETER[\"scale_factor\",1],PARAMETER[\"false_easting\",500000],UNIT[\"metre\",1]]";
    };
    const char* etrs89 = "GEOGCS[\"ETRS89\",DATUM[\"European_Terrestrial_Reference_System_1989\","
                         "SPHEROID[\"GRS 1980\",6378137,298.257222101]],PRIMEM[\"Greenwich\",0],"
                         "UNIT[\"degree\",0.0174532925199433]]";
    const std::pair<double, const char*> recents[] = {
        {117, "Transverse Mercator, CM 117\u00B0E, ETRS89"},
        {-9.5, "Transverse Mercator, CM 9.5\u00B0W, ETRS89"},
        {0, "Transverse Mercator, CM 0\u00B0, ETRS89"},
    };
    for (const auto& [meridian, name] : recents) {
        Candidate recent;
        ASSERT_TRUE(CandidateOfWkt(composed(etrs89, meridian), CandidateSource::Recent, recent));
        EXPECT_EQ(recent.name, name);
    }

    const std::pair<std::string, std::string> texts[] = {
        {"GEOGCS[\"WGS 84\",AUTHORITY[\"EPSG\",\"4326\"]]", "4326"},
        {"GEOGCS[\"WGS 84\",AUTHORITY[\"EPSG\",\"4326\"]]\r\n", "4326"},
        {"PROJCS[\"x\",GEOGCS[\"y\",AUTHORITY[\"EPSG\",\"4326\"]],UNIT[\"metre\",1]]", ""},
        {"GEOGCS[\"x\",AUTHORITY[\"ESRI\",\"4326\"]]", ""},
        {"GEOGCS[\"x\",AUTHORITY[\"EPSG\",\"43a6\"]]", ""},
        {"", ""},
        {"]]", ""},
    };
    for (const auto& [wkt, code] : texts)
        EXPECT_EQ(ClaimedEpsgCode(wkt), code) << wkt;

    // Composed without codes, as the chooser composes.
    const char* wgs84 = "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563]],"
                        "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]";
    struct Composed {
        const char* name;
        double falseEasting;
        const char* exact;  // the same system, names aside
    };
    for (const Composed& c : {Composed{"WGS 84 / UTM zone 50N", 500000, "32650"},
                              Composed{"WGS 84 / UTM zone 50N", 400000, ""}, Composed{"My grid", 500000, "32650"}}) {
        OsrHandle srs = NewSpatialReference(wgs84);
        OSRSetUTM(srs.get(), 50, TRUE);
        OSRSetProjCS(srs.get(), c.name);
        OSRSetProjParm(srs.get(), SRS_PP_FALSE_EASTING, c.falseEasting);
        EXPECT_EQ(ExactEpsgCode(srs.get()), c.exact) << c.name << " " << c.falseEasting;
    }
    OsrHandle geographic = NewSpatialReference(wgs84);
    EXPECT_EQ(ExactEpsgCode(geographic.get()), "4326");
    OsrHandle projString(OSRNewSpatialReference(nullptr));
    OSRSetFromUserInput(projString.get(), "+proj=utm +zone=33 +datum=WGS84 +units=m +no_defs");
    EXPECT_EQ(ExactEpsgCode(projString.get()), "32633") << "a PROJ string is the EPSG system it describes";
}

// A recent system is read once, to be listed, and chosen as read; the
// catalogues' entries are read only when chosen.
TEST(Search, ARecentSystemIsChosenAsReadAndACatalogueEntryWhenChosen)
{
    const std::string wkt = ExactWkt(EpsgSystem("32633").get());
    Candidate recent;
    ASSERT_TRUE(CandidateOfWkt(wkt, CandidateSource::Recent, recent));
    ASSERT_NE(recent.system.Handle(), nullptr);
    const SpatialSystem picked = CandidateSystem(recent);
    EXPECT_EQ(picked.Handle(), recent.system.Handle()) << "read again";
    EXPECT_EQ(picked.Text(), wkt);

    const CandidateList& own = Everything().own;
    const auto site = std::find_if(own.begin(), own.end(),
                                   [](const Candidate& c) { return c.name == "My Site Grid"; });
    ASSERT_NE(site, own.end());
    EXPECT_EQ(site->system.Handle(), nullptr);
    const SpatialSystem chosen = CandidateSystem(*site);
    EXPECT_TRUE(chosen.IsSystem());
    EXPECT_EQ(chosen.Text(), site->system.Text());
    EXPECT_EQ(chosen.Name(), "My Site Grid");

    EXPECT_EQ(DeferredSystem(SpatialSystem("]]")).Text(), "]]")
        << "a text that is no system stays a text";
}

TEST(Search, RecentSystemsKeepTheLastTenMostRecentFirst)
{
    TempDir dir;
    const std::string path = dir / "state/orvane/recent.wkt";
    EXPECT_TRUE(ReadRecentSystems(path).empty());
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(RememberRecentSystem(path, SpatialSystem("GEOGCS[\"" + std::to_string(i) + "\"]")));
    ASSERT_TRUE(RememberRecentSystem(path, SpatialSystem("GEOGCS[\"5\"]")));
    std::vector<std::string> recent = ReadRecentSystems(path);
    ASSERT_EQ(recent.size(), kRecentSystemsKept);
    EXPECT_EQ(recent[0], "GEOGCS[\"5\"]");
    EXPECT_EQ(recent[1], "GEOGCS[\"11\"]");
    EXPECT_EQ(std::count(recent.begin(), recent.end(), "GEOGCS[\"5\"]"), 1);
    EXPECT_EQ(recent.back(), "GEOGCS[\"2\"]");
    struct stat folder;
    ASSERT_EQ(stat((dir / "state/orvane").c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);

    EXPECT_FALSE(RememberRecentSystem(path, SpatialSystem("GEOGCS[\"two\r\nlines\"]")));
    EXPECT_FALSE(RememberRecentSystem("", SpatialSystem("GEOGCS[\"x\"]")));
    std::ofstream(path, std::ios::binary) << "GEOGCS[\"a\"]\r\n\r\nGEOGCS[\"b\"]";
    EXPECT_EQ(ReadRecentSystems(path), (std::vector<std::string>{"GEOGCS[\"a\"]", "GEOGCS[\"b\"]"}));
}

TEST(Search, RecentSystemsLoseNothingToWritersAtOnceNorToOtherUsers)
{
    TempDir dir;
    const std::string path = dir / "orvane/recent.wkt";
    ASSERT_TRUE(RememberRecentSystem(path, SpatialSystem("GEOGCS[\"first\"]")));
    // Temporary files that killed writers left.
    for (const char* stale : {"AAAAAA", "zz9_Q1"})
        WriteFile(path + kTemporarySuffix + stale, "half");
    // Eight writers released at once, forty times.
    constexpr int kWriters = 8, kTrials = 40;
    int lost = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        int gate[2];
        ASSERT_EQ(pipe(gate), 0);
        std::vector<pid_t> writers;
        for (int w = 0; w < kWriters; ++w) {
            const pid_t child = fork();
            if (child == 0) {
                close(gate[1]);
                char byte;
                (void)!read(gate[0], &byte, 1);  // returns when the parent closes its end
                const std::string wkt = "GEOGCS[\"" + std::to_string(trial) + "." + std::to_string(w) + "\"]";
                _exit(RememberRecentSystem(path, SpatialSystem(wkt)) ? 0 : 1);
            }
            writers.push_back(child);
        }
        close(gate[0]);
        close(gate[1]);
        for (pid_t writer : writers) {
            int status = 0;
            waitpid(writer, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer failed";
        }
        const std::vector<std::string> recent = ReadRecentSystems(path);
        for (int w = 0; w < kWriters; ++w)
            lost += std::count(recent.begin(), recent.end(),
                               "GEOGCS[\"" + std::to_string(trial) + "." + std::to_string(w) + "\"]") == 1 ? 0 : 1;
    }
    std::printf("%d writers at once, %d times: %d entries lost\n", kWriters, kTrials, lost);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "orvane"), {}), 1)
        << "the stale temporaries are gone";

    // A folder others may write is not Orvane's to write in.
    const std::string before = ReadFile(path);
    chmod((dir / "orvane").c_str(), 0777);
    EXPECT_FALSE(RememberRecentSystem(path, SpatialSystem("GEOGCS[\"x\"]")));
    EXPECT_EQ(ReadFile(path), before);
}
