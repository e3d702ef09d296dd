// CoordSys.dat through CIniFile and the section loaders.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "catalog/GeogCatalog.h"
#include "catalog/IniFile.h"
#include "module/Module.h"
#include "support/TestSupport.h"

namespace {

// A module folder holding only the catalogue text given.
class CatalogFolder {
public:
    explicit CatalogFolder(const std::string& content) : m_dir("orvane catalog"), m_guard(m_dir.Path())
    {
        WriteFile(m_dir / "CoordSys.dat", content);
    }
    std::string Path() const { return m_dir / "CoordSys.dat"; }
    const TempDir& Dir() const { return m_dir; }

private:
    TempDir m_dir;
    ModuleFolderGuard m_guard;
};

SystemCatalog Load(const std::string& section)
{
    SystemCatalog catalog{{"stale", "entry"}};
    LoadCatalogSection(section, catalog);
    return catalog;
}

}  // namespace

TEST(CatalogFile, LoadsNamesInByteWiseOrderWithLastValueWinning)
{
    CatalogFolder folder(
        "[GCS]\n"
        "WGS 1984=first\n"
        "Beijing 1954=GEOGCS[\"Beijing 1954\"]\n"
        "WGS 1984=second=with equals\n"
        "wgs 1984=lower case\n"
        "a line without equals\n"
        "[Xian 1980]\n"
        "Zone 2=b\n"
        "Zone 10=a\n");
    SystemCatalog gcs = Load("GCS");
    ASSERT_EQ(gcs.size(), 4u);
    std::vector<std::string> names;
    for (const auto& entry : gcs)
        names.push_back(entry.first);
    EXPECT_EQ(names, (std::vector<std::string>{"", "Beijing 1954", "WGS 1984", "wgs 1984"}));
    EXPECT_EQ(gcs["WGS 1984"], "second=with equals");
    EXPECT_EQ(gcs[""], "a line without equals");
    SystemCatalog xian = Load("xian 1980");
    EXPECT_EQ(xian.begin()->first, "Zone 10") << "byte-wise, not numeric";
    EXPECT_TRUE(Load("Beijing 1954").empty());
}

TEST(CatalogFile, MissingOrUnusableFilesGiveEmptyCatalogues)
{
    TempDir dir("orvane catalog");
    ModuleFolderGuard guard(dir.Path());
    EXPECT_TRUE(Load("GCS").empty()) << "no file";
    std::filesystem::create_directory(dir / "Coordinate Systems");
    WriteFile(dir / "Coordinate Systems/CoordSys.dat", "[GCS]\nA=1\n");
    EXPECT_TRUE(Load("GCS").empty()) << "only the module folder itself is read";
    std::filesystem::create_directory(dir / "CoordSys.dat");
    EXPECT_TRUE(Load("GCS").empty()) << "a folder";
    CIniFile file;
    EXPECT_EQ(file.OpenFile(dir / "CoordSys.dat", CIniFile::modeRead), 0);
    EXPECT_EQ(file.SetFileName(dir / "CoordSys.dat"), 0);
    EXPECT_EQ(file.SetFileName(dir / "nothing"), 0);
    EXPECT_EQ(file.GetFileName(), dir / "nothing");
}

TEST(CatalogFile, LargeSectionsAndLongLinesAreReadWhole)
{
    std::string content = "[GCS]\n";
    const std::string longWkt = "GEOGCS[\"long\"," + std::string(5000, 'x') + "]";
    for (int i = 0; i < 3000; ++i)
        content += "System " + std::to_string(10000 + i) + "=GEOGCS[" + std::string(40, 'w') + "]\n";
    content += "Long one=" + longWkt + "\n";
    ASSERT_GT(content.size(), 65535u * 2);
    CatalogFolder folder(content);
    SystemCatalog gcs = Load("GCS");
    EXPECT_EQ(gcs.size(), 3001u) << "nothing lost past 64 KiB";
    EXPECT_EQ(gcs["Long one"], longWkt);
    EXPECT_EQ(gcs["System 12999"], "GEOGCS[" + std::string(40, 'w') + "]");
}

TEST(CatalogFile, StoringReplacesOrAddsAndKeepsEverythingElse)
{
    const std::string head = "; comment line\n[Beijing 1954]\nZone=PROJCS[]\n\n";
    CatalogFolder folder(head + "[GCS]\nWGS 1984=old\n\n[Xian 1980]\n  Zone A=keep me\n");
    ASSERT_TRUE(StoreGeogSystem("WGS 1984", "new"));
    ASSERT_TRUE(StoreGeogSystem("My GCS", "GEOGCS[\"My GCS\"]"));
    EXPECT_EQ(ReadFile(folder.Path()),
              head + "[GCS]\nWGS 1984=new\nMy GCS=GEOGCS[\"My GCS\"]\n\n[Xian 1980]\n  Zone A=keep me\n");
    SystemCatalog gcs = Load("GCS");
    EXPECT_EQ(gcs["WGS 1984"], "new");
    EXPECT_EQ(gcs["My GCS"], "GEOGCS[\"My GCS\"]");
}

TEST(CatalogFile, StoringIntoAFileWithoutTheSection)
{
    CatalogFolder folder("[Beijing 1954]\r\nZone=1\r\n");
    ASSERT_TRUE(StoreGeogSystem("Added", "GEOGCS[]"));
    EXPECT_EQ(ReadFile(folder.Path()), "[Beijing 1954]\r\nZone=1\r\n[GCS]\r\nAdded=GEOGCS[]\r\n");
}

TEST(CatalogFile, StoringNeedsAnExistingWritableFile)
{
    TempDir dir("orvane catalog");
    ModuleFolderGuard guard(dir.Path());
    EXPECT_FALSE(StoreGeogSystem("A", "B")) << "no catalogue file";
    EXPECT_FALSE(std::filesystem::exists(dir / "CoordSys.dat")) << "none is created";

    WriteFile(dir / "CoordSys.dat", "[GCS]\nA=1\n");
    {
        AsOrdinaryUser user({dir.Path()});
        chmod((dir / "CoordSys.dat").c_str(), 0444);
        EXPECT_FALSE(StoreGeogSystem("B", "2")) << "read-only file";
        chmod((dir / "CoordSys.dat").c_str(), 0644);
    }
    EXPECT_FALSE(StoreGeogSystem("two\nlines", "2")) << "a name the format cannot carry";
    EXPECT_EQ(ReadFile(dir / "CoordSys.dat"), "[GCS]\nA=1\n");
}

TEST(CatalogFile, TwoProcessesStoringAtOnceLoseNothing)
{
    CatalogFolder folder("[GCS]\nWGS 1984=GEOGCS[]\n");
    const int perProcess = 200;
    pid_t children[2];
    for (int p = 0; p < 2; ++p) {
        children[p] = fork();
        ASSERT_GE(children[p], 0);
        if (children[p] == 0) {
            bool ok = true;
            for (int i = 0; i < perProcess; ++i)
                ok = StoreGeogSystem("P" + std::to_string(p) + " system " + std::to_string(i),
                                     "GEOGCS[\"" + std::to_string(i) + "\"]") && ok;
            _exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    SystemCatalog gcs = Load("GCS");
    EXPECT_EQ(gcs.size(), 1u + 2 * perProcess);
    EXPECT_EQ(gcs["P1 system 199"], "GEOGCS[\"199\"]");
}

TEST(CatalogFile, BundledCatalogue)
{
    TempModuleFolder folder;
    SystemCatalog gcs, beijing, xian;
    LoadCatalogSection(kGeogSection, gcs);
    LoadCatalogSection(kBeijing1954Section, beijing);
    LoadCatalogSection(kXian1980Section, xian);
    EXPECT_EQ(gcs.size(), 546u);
    EXPECT_EQ(beijing.size(), 64u);
    EXPECT_EQ(xian.size(), 64u);
    for (const char* name : {"WGS 1984", "WGS 84", "Beijing 1954", "Xian 1980",
                             "China Geodetic Coordinate System 2000"})
        EXPECT_EQ(gcs.count(name), 1u) << name;
    EXPECT_EQ(gcs["WGS 1984"], gcs["WGS 84"]);
    EXPECT_EQ(beijing.count("Beijing 1954 / Gauss-Kruger zone 13"), 1u);
    EXPECT_EQ(xian.count("Xian 1980 / 3-degree Gauss-Kruger CM 120E"), 1u);
}
