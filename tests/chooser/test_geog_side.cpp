// The geographic side: summary, linear units, and adding a system.
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <filesystem>

#include "catalog/GeogCatalog.h"
#include "catalog/Identification.h"
#include "chooser/ChooserFixture.h"
#include "gcs_editor/AddGCSDlg.h"
#include "module/Module.h"
#include "search_ui/SearchPopup.h"

namespace {

// Defines a system named `name` in the editor that the chooser opens.
void DefineInEditor(const std::string& name)
{
    WhenModalShows([name](QWidget* editor) {
        auto* nameEdit = qobject_cast<QLineEdit*>(ControlOf(editor, CAddGCSDlg::IDC_NAME));
        ASSERT_NE(nameEdit, nullptr);
        nameEdit->setText(QString::fromStdString(name));
        auto* datum = qobject_cast<QComboBox*>(ControlOf(editor, CAddGCSDlg::IDC_DATUM));
        ChooseComboText(datum, "D_Xian_1980");
        QTest::mouseClick(qobject_cast<QAbstractButton*>(ControlOf(editor, IDOK)), Qt::LeftButton);
    });
}

const char kProjectedInFurlongs[] =
    "PROJCS[\"Furlong grid\",GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563]],"
    "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]],PROJECTION[\"Transverse_Mercator\"],"
    "PARAMETER[\"latitude_of_origin\",0],PARAMETER[\"central_meridian\",9],PARAMETER[\"scale_factor\",1],"
    "PARAMETER[\"false_easting\",500],PARAMETER[\"false_northing\",0],UNIT[\"Furlong\",201.168]]";

}  // namespace

TEST_F(ChooserTest, TheSummaryNamesSystemDatumAndSpheroid)
{
    std::filesystem::create_directories(std::filesystem::path(GetUserCatalogPath()).parent_path());
    WriteFile(GetUserCatalogPath(), "[GCS]\nBroken=GEOGCS[nonsense\n");
    Open();
    Choose(IDC_GEOG_SYSTEM, "Beijing 1954");
    EXPECT_EQ(Summary(), "Beijing 1954\nDatum: Beijing_1954\nSpheroid: Krassowsky 1940\nEPSG:4214");
    Choose(IDC_GEOG_SYSTEM, "Broken");
    EXPECT_EQ(Summary(), "Beijing 1954\nDatum: Beijing_1954\nSpheroid: Krassowsky 1940\nEPSG:4214")
        << "an unreadable entry leaves the summary as it was";
    std::filesystem::remove(GetUserCatalogPath());
}

TEST_F(ChooserTest, AnUnknownUnitIsAppendedSelectedAndComposed)
{
    Open(kProjectedInFurlongs);
    EXPECT_EQ(Current(IDC_UNIT), "furlong");
    EXPECT_EQ(Combo(IDC_UNIT)->currentIndex(), Combo(IDC_UNIT)->count() - 1);
    EXPECT_EQ(Factor()->text(), "201.168");
    EXPECT_TRUE(Factor()->isReadOnly());
    ASSERT_TRUE(PressOk());
    char* unit = nullptr;
    OsrHandle result = Result();
    EXPECT_EQ(OSRGetLinearUnits(result.get(), &unit), 201.168);
    EXPECT_STREQ(unit, "Furlong") << "unchanged: the system as it was handed in";
    EXPECT_EQ(Parm(result.get(), "false_easting"), 500.0);
    EXPECT_TRUE(OSRIsSame(result.get(), NewSpatialReference(kProjectedInFurlongs).get()));
}

TEST_F(ChooserTest, AddingASystemPutsItInMemoryTheListTheSummaryAndTheFile)
{
    Open();
    const int shown = Combo(IDC_GEOG_SYSTEM)->count();
    DefineInEditor("My Xian");
    Click(IDC_ADD_GEOG_SYSTEM);
    const SystemCatalog& listed = Dlg().GetChoice().catalogues.geographic;
    ASSERT_EQ(listed.count("My Xian"), 1u);
    EXPECT_EQ(Combo(IDC_GEOG_SYSTEM)->count(), shown + 1);
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "My Xian");
    EXPECT_EQ(Summary(), "My Xian\nDatum: Xian_1980\nSpheroid: IAG 1975");
    SystemCatalog stored;
    LoadCatalogSection(kGeogSection, stored);
    EXPECT_EQ(stored["My Xian"], listed.at("My Xian"));
    const CandidateList& found = Dlg().GetSearch()->Candidates().own;
    EXPECT_TRUE(std::any_of(found.begin(), found.end(), [](const Candidate& c) {
        return c.name == "My Xian" && c.source == CandidateSource::User;
    })) << "the search offers it at once";
    ASSERT_TRUE(PressOk());
    EXPECT_EQ(AttrValue(Result().get(), "GEOGCS"), "My Xian");
}

// A Gauss-Krueger category fixes the geographic system: New… is off there,
// so that what the summary shows is what OK returns.
TEST_F(ChooserTest, NewIsOffWhereTheCategoryFixesTheGeographicSystem)
{
    Open(ExportToWkt(EpsgSystem("2415").get()));
    Choose(IDC_PROJ_CATEGORY, "Gauss Krueger (Beijing 1954)");
    QWidget* add = Dlg().FindControl(IDC_ADD_GEOG_SYSTEM);
    EXPECT_FALSE(add->isEnabled());
    EXPECT_FALSE(Dlg().FindControl(IDC_GEOG_SYSTEM)->isEnabled());
    const std::string summary = Summary();
    EXPECT_EQ(summary.rfind("Beijing 1954\n", 0), 0u) << summary;
    Choose(IDC_PROJ_CATEGORY, "<Custom Projection Coordinate System>");
    EXPECT_TRUE(add->isEnabled()) << "on again where the list takes input";
}

TEST_F(ChooserTest, OverwritingASystemListsItOnce)
{
    Open();
    const int shown = Combo(IDC_GEOG_SYSTEM)->count();
    const SystemCatalog& listed = Dlg().GetChoice().catalogues.geographic;
    const std::string before = listed.at("Xian 1980");
    m_prompts.AnswerMessage(IDYES);
    DefineInEditor("Xian 1980");
    Click(IDC_ADD_GEOG_SYSTEM);
    ASSERT_EQ(m_prompts.Messages().size(), 1u) << "the editor asked first";
    EXPECT_EQ(Combo(IDC_GEOG_SYSTEM)->count(), shown);
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "Xian 1980");
    EXPECT_NE(listed.at("Xian 1980"), before);
    SystemCatalog stored;
    LoadCatalogSection(kGeogSection, stored);
    EXPECT_EQ(stored["Xian 1980"], listed.at("Xian 1980"));
}

TEST_F(ChooserTest, ADefinedSystemIsKeptInTheUsersCatalogueAlone)
{
    std::filesystem::remove(m_folder / "CoordSys.dat");
    Open();
    EXPECT_EQ(Combo(IDC_GEOG_SYSTEM)->count(), 0);
    DefineInEditor("Scratch");
    Click(IDC_ADD_GEOG_SYSTEM);
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "Scratch");
    EXPECT_EQ(Summary().rfind("Scratch\n", 0), 0u);
    EXPECT_TRUE(m_prompts.Messages().empty());
    EXPECT_FALSE(std::filesystem::exists(m_folder / "CoordSys.dat")) << "no shipped file is made";
    Open();
    EXPECT_EQ(Combo(IDC_GEOG_SYSTEM)->count(), 1) << "the user's system, next time";
}

TEST_F(ChooserTest, AFailedStoreSaysWhyAndKeepsTheSystemForTheSession)
{
    const std::string shipped = ReadFile(m_folder / "CoordSys.dat");
    std::filesystem::create_directories(std::filesystem::path(GetUserCatalogPath()).parent_path());
    WriteFile(GetUserCatalogPath(), "");
    AsOrdinaryUser user({m_folder.Path()});
    chmod(GetUserCatalogPath().c_str(), 0444);
    g_language = LANGUAGE_TRADITIONAL_CHINESE;
    Open();
    DefineInEditor("Not stored");
    Click(IDC_ADD_GEOG_SYSTEM);
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "Not stored");
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].text.rfind("無法保存此地理座標系", 0), 0u) << m_prompts.Messages()[0].text;
    EXPECT_NE(m_prompts.Messages()[0].text.find(GetUserCatalogPath()), std::string::npos);
    ASSERT_TRUE(PressOk());
    EXPECT_EQ(AttrValue(Result().get(), "GEOGCS"), "Not stored");
    EXPECT_EQ(ReadFile(m_folder / "CoordSys.dat"), shipped);
    EXPECT_EQ(ReadFile(GetUserCatalogPath()), "");
}

TEST_F(ChooserTest, ACancelledEditorChangesNothing)
{
    Open();
    const std::size_t systems = Dlg().GetChoice().catalogues.geographic.size();
    WhenModalShows([](QWidget* editor) { QTest::keyClick(editor, Qt::Key_Escape); });
    Click(IDC_ADD_GEOG_SYSTEM);
    EXPECT_EQ(Dlg().GetChoice().catalogues.geographic.size(), systems);
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "WGS 84");
}
