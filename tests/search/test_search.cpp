// Finding systems: matching and ranking over the real candidates, codes of
// texts and of composed systems, and the recent systems' file.
#include <gtest/gtest.h>

#include <fstream>
#include <filesystem>
#include <unistd.h>
#include <sys/wait.h>
#include <sys/stat.h>

#include "module/GdalSupport.h"
#include "search/Candidates.h"
#include "catalog/Identification.h"
#include "search/Matching.h"
#include "search/RecentSystems.h"
#include "support/TestSupport.h"
#include "util/FileIO.h"
#include "util/Text.h"

namespace {

const CandidateList& Everything()
{
    static const CandidateList all = [] {
        TempModuleFolder folder;
        SystemCatalog user{{"My Site Grid", "GEOGCS[\"My Site Grid\",DATUM[\"D\",SPHEROID[\"S\",6378140,298.25]],"
                                            "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]"}};
        return AllCandidates(ShippedGeogSystems(), user);
    }();
    return all;
}

std::vector<const Candidate*> Find(const std::string& query, std::size_t limit = 50)
{
    std::vector<const Candidate*> found;
    for (std::size_t i : MatchCandidates(Everything(), query, limit))
        found.push_back(&Everything()[i]);
    return found;
}

}  // namespace

TEST(Search, CandidatesAreEpsgsSystemsPlusWhatOnlyTheCataloguesHold)
{
    const CandidateList& all = Everything();
    const std::size_t epsg = EpsgCandidates()->size();
    EXPECT_GT(epsg, 5000u);
    std::size_t projected = 0;
    for (std::size_t i = 0; i < epsg; ++i) {
        EXPECT_FALSE(all[i].code.empty());
        projected += all[i].kind == CandidateKind::Projected;
    }
    EXPECT_GT(projected, 4000u);
    ASSERT_GT(all.size(), epsg);
    EXPECT_EQ(all.back().name, "My Site Grid");
    EXPECT_EQ(all.back().source, CandidateSource::User);
    // The catalogue's systems are EPSG's: they are listed once.
    for (std::size_t i = epsg; i + 1 < all.size(); ++i)
        EXPECT_EQ(all[i].source, CandidateSource::Catalogue) << all[i].name;
}

TEST(Search, WordsMatchNamesAndDigitsMatchCodesBestFirst)
{
    struct Case {
        const char* query;
        const char* firstCode;  // the best candidate's code; "" for a system without one, null for none found
        const char* firstName;  // or null when any name will do
    };
    const Case cases[] = {
        {"32650", "32650", "WGS 84 / UTM zone 50N"},
        {"EPSG:32650", "32650", "WGS 84 / UTM zone 50N"},
        {"epsg 4326", "4326", "WGS 84"},
        {"wgs 84", "4326", "WGS 84"},
        {"utm 50n wgs 84", "32650", "WGS 84 / UTM zone 50N"},
        {"etrs 33", nullptr, nullptr},
        {"beijing 20", nullptr, nullptr},
        {"ANTARCTIC polar", nullptr, nullptr},
        {"site grid", "", "My Site Grid"},
        {"no such system anywhere", nullptr, nullptr},
        {"", nullptr, nullptr},
        {"   ", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        const std::vector<const Candidate*> found = Find(c.query);
        if (c.firstCode) {
            ASSERT_FALSE(found.empty());
            EXPECT_EQ(found[0]->code, c.firstCode);
            if (c.firstName) {
                EXPECT_EQ(found[0]->name, c.firstName);
            }
        }
        const bool someExpected = std::string(c.query).find_first_not_of(' ') != std::string::npos &&
                                  std::string(c.query) != "no such system anywhere";
        EXPECT_EQ(!found.empty(), someExpected);
        // Whatever is found holds every word, in its name or (digits) its code.
        for (const Candidate* candidate : found) {
            std::string words = LowerAscii(c.query);
            for (std::size_t at = 0; at < words.size();) {
                const std::size_t end = std::min(words.find(' ', at), words.size());
                std::string word = words.substr(at, end - at);
                at = end + 1;
                if (word.rfind("epsg", 0) == 0)
                    word.erase(0, word.find(':') == std::string::npos ? 4 : 5);
                if (word.empty())
                    continue;
                EXPECT_TRUE(candidate->folded.find(word) != std::string::npos ||
                            candidate->code.rfind(word, 0) == 0)
                    << candidate->name << " lacks " << word;
            }
        }
    }
    // An exact code beats names that merely contain the digits.
    EXPECT_EQ(Find("3857")[0]->name, "WGS 84 / Pseudo-Mercator");
    EXPECT_EQ(Find("wgs 84", 1000).size(), MatchCandidates(Everything(), "84 WGS", 1000).size()) << "any order";
    EXPECT_EQ(Find("a", 7).size(), 7u) << "at most the limit";
    // A megabyte of the same words is those words (a benchmark keeps its time).
    std::string repeated;
    while (repeated.size() < (1u << 20))
        repeated += "wgs 84 ";
    EXPECT_EQ(Find(repeated)[0]->code, "4326");
}

TEST(Search, CodesOfTextsAndOfComposedSystems)
{
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
        EXPECT_EQ(TopLevelEpsgCode(wkt), code) << wkt;

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

TEST(Search, RecentSystemsKeepTheLastTenMostRecentFirst)
{
    TempDir dir;
    const std::string path = dir / "state/orvane/recent.wkt";
    EXPECT_TRUE(ReadRecentSystems(path).empty());
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(RememberRecentSystem(path, "GEOGCS[\"" + std::to_string(i) + "\"]"));
    ASSERT_TRUE(RememberRecentSystem(path, "GEOGCS[\"5\"]"));
    std::vector<std::string> recent = ReadRecentSystems(path);
    ASSERT_EQ(recent.size(), kRecentSystemsKept);
    EXPECT_EQ(recent[0], "GEOGCS[\"5\"]");
    EXPECT_EQ(recent[1], "GEOGCS[\"11\"]");
    EXPECT_EQ(std::count(recent.begin(), recent.end(), "GEOGCS[\"5\"]"), 1);
    EXPECT_EQ(recent.back(), "GEOGCS[\"2\"]");
    struct stat folder;
    ASSERT_EQ(stat((dir / "state/orvane").c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);

    EXPECT_FALSE(RememberRecentSystem(path, "GEOGCS[\"two\r\nlines\"]"));
    EXPECT_FALSE(RememberRecentSystem("", "GEOGCS[\"x\"]"));
    std::ofstream(path, std::ios::binary) << "GEOGCS[\"a\"]\r\n\r\nGEOGCS[\"b\"]";
    EXPECT_EQ(ReadRecentSystems(path), (std::vector<std::string>{"GEOGCS[\"a\"]", "GEOGCS[\"b\"]"}));
}

TEST(Search, RecentSystemsLoseNothingToWritersAtOnceNorToOtherUsers)
{
    TempDir dir;
    const std::string path = dir / "orvane/recent.wkt";
    ASSERT_TRUE(RememberRecentSystem(path, "GEOGCS[\"first\"]"));
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
                _exit(RememberRecentSystem(path, wkt) ? 0 : 1);
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
    EXPECT_FALSE(RememberRecentSystem(path, "GEOGCS[\"x\"]"));
    EXPECT_EQ(ReadFile(path), before);
}
