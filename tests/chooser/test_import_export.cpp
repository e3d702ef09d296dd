// Import from .prj files and rasters, export to .prj.
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <QFileDialog>
#include <QLineEdit>
#include <filesystem>
#include <cpl_conv.h>
#include <gdal.h>

#include "catalog/Identification.h"
#include "catalog/ImportFile.h"
#include "chooser/ChooserFixture.h"
#include "util/FileIO.h"
#include "interface/Orvane.h"

namespace {

std::string WktOfEpsg(int code)
{
    OsrHandle srs(OSRNewSpatialReference(nullptr));
    OSRImportFromEPSG(srs.get(), code);
    return ExportToWkt(srs.get());
}

// A 1x1 raster written by GDAL, with the projection `wkt` (none when empty).
void WriteRaster(const std::string& path, const char* driverName, const std::string& wkt)
{
    GDALAllRegister();
    GDALDriverH driver = GDALGetDriverByName(driverName);
    ASSERT_NE(driver, nullptr) << driverName;
    const DatasetHandle dataset{GDALCreate(driver, path.c_str(), 1, 1, 1, GDT_Byte, nullptr)};
    ASSERT_NE(dataset, nullptr) << path;
    if (!wkt.empty()) {
        double transform[6] = {500000, 30, 0, 4000000, 0, -30};
        GDALSetGeoTransform(dataset.get(), transform);
        GDALSetProjection(dataset.get(), wkt.c_str());
    }
}

class ImportExportTest : public ChooserTest {
protected:
    void Import(const std::string& path)
    {
        m_prompts.AnswerFile(path);
        Click(IDC_IMPORT);
    }
    std::vector<std::string> Messages()
    {
        std::vector<std::string> texts;
        for (const MessagePrompt& m : m_prompts.Messages())
            texts.push_back(m.text);
        return texts;
    }
    TempDir m_files{"orvane files"};
};

}  // namespace

TEST_F(ImportExportTest, APrjFileWithAnUpperCaseExtensionIsImported)
{
    Open();
    const std::string path = m_files / "Zone.PRJ";
    WriteFile(path, "\xEF\xBB\xBF" + WktOfEpsg(32650) + "\r\n");
    Import(path);
    EXPECT_TRUE(Messages().empty());
    ASSERT_EQ(m_prompts.FileDialogs().size(), 1u);
    const FilePrompt& dialog = m_prompts.FileDialogs()[0];
    EXPECT_TRUE(dialog.open);
    EXPECT_EQ(dialog.title, "Select a Data Source");
    EXPECT_EQ(dialog.flags, DWORD(OFN_HIDEREADONLY));
    EXPECT_EQ(dialog.filter, "Source File|*.prj;*.img;*.tif|Prj File(*.prj)|*.prj|ERDAS Imagine(*.img)|*.img|"
                             "TIFF Format(*.tif)|*.tif|ALL File(*.*)|*.*||");
    EXPECT_EQ(Current(IDC_PROJ_CATEGORY), "WGS 84 / UTM zone 50N");
    QWidget* ok = Dlg().FindControl(IDOK);
    EXPECT_EQ(ok->window()->focusWidget(), ok) << "Enter confirms what was imported";
    ASSERT_TRUE(PressOk());
    EXPECT_EQ(ResultWkt(), WktOfEpsg(32650)) << "the system as the file holds it";
}

TEST_F(ImportExportTest, MultiLineWktImportsAndTextGdalRefusesChangesNothing)
{
    Open();
    // Pretty-printed over several lines, as gdalsrsinfo writes it.
    const std::string pretty = m_files / "pretty.prj";
    WriteFile(pretty, "GEOGCS[\"Pretty\",\n    DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563]],\r\n"
                      "    PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]\n");
    Import(pretty);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "Pretty");

    Open();
    WriteFile(m_files / "empty.prj", "");
    WriteFile(m_files / "prose.prj", "GEOGCS is a keyword\n");
    for (const char* name : {"empty.prj", "prose.prj"})
        Import(m_files / name);
    EXPECT_EQ(Messages(), std::vector<std::string>(2, "Unknown coordinate infomation!"));
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "WGS 84");
}

TEST_F(ImportExportTest, UnlistedTypesAndUnopenableFiles)
{
    Open();
    std::filesystem::create_directory(m_files / "folder.d");
    WriteFile(m_files / "folder.d/noextension", WktOfEpsg(4326));
    WriteFile(m_files / "image.tiff", "");
    Import(m_files / "image.tiff");
    Import(m_files / "folder.d/noextension");
    Import(m_files / "missing.prj");
    std::filesystem::create_directory(m_files / "folder.prj");
    Import(m_files / "folder.prj");
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{
                  "Unknown data type!", "Unknown data type!",
                  "Can't open this prj file!\nCannot read " + m_files / "missing.prj" + ": No such file or directory",
                  "Can't open this prj file!\nCannot read " + m_files / "folder.prj" + ": not a regular file"}));
    g_language = LanguageSet(0);
    m_prompts.Clear();
    Import(m_files / "missing.prj");
    EXPECT_EQ(Messages(), std::vector<std::string>{"打开坐标文件失败！\n无法读取 " + m_files / "missing.prj" +
                                                   ": No such file or directory"});
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "WGS 84");
}

TEST_F(ImportExportTest, RastersGiveTheirProjection)
{
    const std::string tif = m_files / "scene.TIF", img = m_files / "scene.img";
    WriteRaster(tif, "GTiff", WktOfEpsg(32633));
    WriteRaster(img, "HFA", WktOfEpsg(4214));
    GDALDestroyDriverManager();
    CPLSetConfigOption("GDAL_CACHEMAX", "64");  // the host's own settings
    Open();
    Dlg().SetGdalRegistered(false);  // the library registers the drivers itself
    Import(tif);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Current(IDC_PROJ_CATEGORY), "WGS 84 / UTM zone 33N");
    EXPECT_EQ(GDALGetDriverCount(), 0) << "and removes them afterwards";
    EXPECT_STREQ(CPLGetConfigOption("GDAL_CACHEMAX", ""), "64") << "leaving the host's settings alone";
    CPLSetConfigOption("GDAL_CACHEMAX", nullptr);
    Import(img);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Current(IDC_SYSTEM_KIND), "Geographic Coordinate System");
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "Beijing 1954");
}

TEST_F(ImportExportTest, TheHostsDriverRegistrationIsLeftAlone)
{
    const std::string tif = m_files / "scene.tif";
    WriteRaster(tif, "GTiff", WktOfEpsg(32650));
    Open();
    Dlg().SetGdalRegistered(true);
    GDALAllRegister();
    const int drivers = GDALGetDriverCount();
    Import(tif);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(GDALGetDriverCount(), drivers);
    // A host that said it registered them but did not: nothing can be read.
    GDALDestroyDriverManager();
    m_prompts.Clear();
    Import(tif);
    EXPECT_EQ(Messages(), std::vector<std::string>{"No coordinate infomation!"});
    EXPECT_EQ(GDALGetDriverCount(), 0);
}

TEST_F(ImportExportTest, RastersWithoutGeoreferencingOrDamaged)
{
    WriteRaster(m_files / "plain.tif", "GTiff", "");
    WriteRaster(m_files / "broken.tif", "GTiff", WktOfEpsg(32650));
    std::filesystem::resize_file(m_files / "broken.tif", 100);
    WriteFile(m_files / "text.img", "not a raster");
    // A VRT under a raster's name: GDAL would open the georeferenced file it names.
    WriteRaster(m_files / "real.tif", "GTiff", WktOfEpsg(32650));
    WriteFile(m_files / "virtual.tif",
              "<VRTDataset rasterXSize=\"1\" rasterYSize=\"1\"><SRS>EPSG:32650</SRS><VRTRasterBand "
              "dataType=\"Byte\" band=\"1\"><SimpleSource><SourceFilename>" + m_files / "real.tif" +
                  "</SourceFilename></SimpleSource></VRTRasterBand></VRTDataset>");
    Open();
    Dlg().SetGdalRegistered(false);
    for (const char* name : {"plain.tif", "broken.tif", "text.img", "virtual.tif"})
        Import(m_files / name);
    EXPECT_EQ(Messages(), std::vector<std::string>(4, "No coordinate infomation!"));
}

TEST_F(ImportExportTest, ExportWritesExactlyTheWkt)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Universal Transverse Mercator");
    const std::string path = m_files / "My.prj";
    m_prompts.AnswerFile(path);
    Click(IDC_SAVE_PRJ);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Save successfully!"});
    QWidget* ok = Dlg().FindControl(IDOK);
    EXPECT_EQ(ok->window()->focusWidget(), ok) << "Enter confirms what was saved";
    ASSERT_EQ(m_prompts.FileDialogs().size(), 1u);
    const FilePrompt& dialog = m_prompts.FileDialogs()[0];
    EXPECT_FALSE(dialog.open);
    EXPECT_EQ(dialog.title, "Save Prj File");
    EXPECT_EQ(dialog.defaultExtension, ".prj");
    EXPECT_EQ(dialog.fileName, "My.prj");
    EXPECT_EQ(dialog.flags, DWORD(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
    EXPECT_EQ(dialog.filter, "Projection File(*.prj)|*.prj||");
    const std::string written = ReadFile(path);
    EXPECT_EQ(written, Dlg().ComposeChoice().wkt) << "what OK would hand back";
    EXPECT_EQ(written.find('\n'), std::string::npos) << "no line end";
    EXPECT_EQ(Orvane::GetCoordSysName(path.c_str()), "WGS 84 / UTM zone 31N") << "EPSG's own system";

    // Again over the same file, in language 1.
    g_language = LanguageSet(1);
    m_prompts.Clear();
    Choose(IDC_GEOG_SYSTEM, "Beijing 1954");
    m_prompts.AnswerFile(path);
    Click(IDC_SAVE_PRJ);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Save successfully!"});
    EXPECT_EQ(ReadFile(path), Dlg().ComposeChoice().wkt);
    EXPECT_EQ(Orvane::GetDatumName(path.c_str()), "Beijing_1954");
}

TEST_F(ImportExportTest, ANonComposableSelectionIsNotSaved)
{
    g_language = LanguageSet(0);
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    EditParameter("scale_factor", "0");
    Click(IDC_SAVE_PRJ);
    EXPECT_EQ(Messages(), std::vector<std::string>{"坐标设置错误，不能保存！\nscale_factor 不能为 0。"});
    EXPECT_TRUE(m_prompts.FileDialogs().empty()) << "no file dialog";
}

TEST_F(ImportExportTest, AFailedWriteIsReportedAndLeavesNoFile)
{
    Open();
    m_prompts.AnswerFile("/dev/full");
    Click(IDC_SAVE_PRJ);
    m_prompts.AnswerFile(m_files / "no such folder/x.prj");
    Click(IDC_SAVE_PRJ);
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"Save unsuccessfully!\nCannot write /dev/full: No space left on device",
                                        "Save unsuccessfully!\nCannot write " + m_files / "no such folder/x.prj" +
                                            ": No such file or directory"}));
    struct stat st;
    ASSERT_EQ(stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device is still a device";

    {
        std::filesystem::create_directory(m_files / "readonly");
        AsOrdinaryUser user({m_files.Path()});
        chmod((m_files / "readonly").c_str(), 0555);
        m_prompts.Clear();
        m_prompts.AnswerFile(m_files / "readonly/x.prj");
        Click(IDC_SAVE_PRJ);
        EXPECT_EQ(Messages(), std::vector<std::string>{"Save unsuccessfully!\nCannot write " + m_files / "readonly/x.prj" +
                                                       ": Permission denied"});
        EXPECT_FALSE(std::filesystem::exists(m_files / "readonly/x.prj"));
    }
}

TEST_F(ImportExportTest, ARealFileDialogImportsAsAUserDoes)
{
    const std::string path = m_files / "site.prj";
    WriteFile(path, WktOfEpsg(4610));
    SetPromptHandler(nullptr);  // the real dialogs for this test
    Open();
    WhenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Select a Data Source");
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        name->setText(QString::fromStdString(path));
        QTest::keyClick(name, Qt::Key_Return);
    });
    Click(IDC_IMPORT);
    SetPromptHandler(&m_prompts);
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "Xian 1980");
}

// What an import reads, as a plain function: a file that is no regular file
// of sensible size never blocks nor is read past its limit.
TEST(ReadImportFile, OnlyARegularFileOfSensibleSizeIsRead)
{
    TempDir files("orvane import");
    WriteFile(files / "zone.Prj", WktOfEpsg(32650));
    WriteFile(files / "junk.prj", "PROJCS[\"no system\"");
    ASSERT_EQ(mkfifo((files / "pipe.prj").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((files / "pipe.tif").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", (files / "zero.prj").c_str()), 0);
    WriteFile(files / "huge.prj", "");
    std::filesystem::resize_file(files / "huge.prj", kMaxDefinitionFileBytes + 1);
    const std::string cannotOpen = "Can't open this prj file!\n";
    const struct {
        std::string name;
        std::string problemStart;  // empty: the file gives EPSG:32650
    } cases[] = {
        {"zone.Prj", ""},
        {"junk.prj", "Unknown coordinate infomation!"},
        {"pipe.prj", cannotOpen + "Cannot read " + files / "pipe.prj" + ": not a regular file"},
        {"zero.prj", cannotOpen + "Cannot read " + files / "zero.prj" + ": not a regular file"},
        {"huge.prj", cannotOpen},
        {"pipe.tif", "No coordinate infomation!"},
        {"zone.txt", "Unknown data type!"},
    };
    g_language = LANGUAGE_ENGLISH;
    for (const auto& c : cases) {
        const ImportedFile imported = ReadImportFile(files / c.name, false);
        EXPECT_EQ(imported.problem.substr(0, c.problemStart.size()), c.problemStart) << c.name;
        EXPECT_EQ(imported.problem.empty(), c.problemStart.empty()) << c.name;
        EXPECT_EQ(imported.system.IsSystem(), c.problemStart.empty()) << c.name;
        if (imported.system.IsSystem()) {
            EXPECT_TRUE(OSRIsSame(imported.system.Handle(), EpsgSystem("32650").get()));
        }
    }
}
