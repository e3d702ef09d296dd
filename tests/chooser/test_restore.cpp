// Opening the chooser on what a host hands in.
#include <sys/stat.h>

#include "catalog/PredefinedSystems.h"
#include "chooser/ChooserFixture.h"

namespace {

std::string WktOf(const char* definition)
{
    OsrHandle srs(OSRNewSpatialReference(nullptr));
    EXPECT_EQ(OSRSetFromUserInput(srs.get(), definition), OGRERR_NONE);
    return ExportToWkt(srs.get());
}

}  // namespace

TEST_F(ChooserTest, AnEmptyWktOpensOnWgs84AsAGeographicSystem)
{
    Open();
    EXPECT_EQ(Current(IDC_SYSTEM_KIND), "Geographic Coordinate System");
    EXPECT_EQ(Combo(IDC_PROJ_CATEGORY)->count(), 1);
    EXPECT_EQ(Current(IDC_PROJ_CATEGORY), "Geographic (Latitude/Longitude)");
    EXPECT_FALSE(Enabled(IDC_PROJ_CATEGORY));
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "WGS 84");
    EXPECT_EQ(Combo(IDC_GEOG_SYSTEM)->count(), 546);
    for (int id : {IDC_PROJ_METHOD, IDC_ZONE, IDC_PARAMETERS, IDC_UNIT, IDC_UNIT_FACTOR})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ(Summary(), "WGS 84\nDatum: WGS_1984\nSpheroid: WGS 84\nEPSG:4326");
    EXPECT_TRUE(m_prompts.Messages().empty());
    EXPECT_FALSE(Dlg().m_bUseInputSrs);
    EXPECT_EQ(Dlg().m_nSystemKind, CProjectionDlg::kGeographic);
}

TEST_F(ChooserTest, AGeographicWktSelectsItsCatalogueEntry)
{
    const std::string xian = WktOf("EPSG:4610");
    Open(xian);
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "Xian 1980");
    EXPECT_EQ(Combo(IDC_GEOG_SYSTEM)->count(), 546) << "a known name adds nothing";
    ASSERT_TRUE(PressOk());
    EXPECT_EQ(Dlg().m_strWKT, xian) << "unchanged: as handed in, its code kept";
}

TEST_F(ChooserTest, AHandedInGeographicSystemKeepsItsShiftUntilAnotherIsChosen)
{
    const std::string shifted =
        "GEOGCS[\"Xian 1980\",DATUM[\"Xian_1980\",SPHEROID[\"IAG 1975\",6378140,298.257],"
        "TOWGS84[24,-123,-94,0,0,0,0]],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]";
    Open(shifted);
    ASSERT_TRUE(PressOk());
    EXPECT_NE(Dlg().m_strWKT.find("TOWGS84[24,-123,-94"), std::string::npos) << Dlg().m_strWKT;
    Open(shifted);
    Choose(IDC_GEOG_SYSTEM, "Beijing 1954");
    Choose(IDC_GEOG_SYSTEM, "Xian 1980");
    ASSERT_TRUE(PressOk());
    EXPECT_NE(Dlg().m_strWKT.find("TOWGS84[24,-123,-94"), std::string::npos) << "its entry again";
}

TEST_F(ChooserTest, AGcsPrefixIsDroppedAndAnUnknownSystemIsAddedInMemory)
{
    const std::string wkt =
        "GEOGCS[\"GCS_My_Site\",DATUM[\"D_My_Datum\",SPHEROID[\"My_Spheroid\",6378140,298.25]],"
        "PRIMEM[\"Greenwich\",0],UNIT[\"Degree\",0.0174532925199433]]";
    Open(wkt);
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "My_Site");
    EXPECT_EQ(g_geogSystems.count("My_Site"), 1u);
    EXPECT_EQ(ReadFile(m_folder / "CoordSys.dat").find("My_Site"), std::string::npos)
        << "not written to the catalogue";
    ASSERT_TRUE(PressOk());
    OsrHandle result = Result();
    OGRErr err;
    EXPECT_EQ(OSRGetSemiMajor(result.get(), &err), 6378140.0);
}

TEST_F(ChooserTest, AGeographicWktWithoutANameIsListedAsUnnamed)
{
    Open("GEOGCS[\"\",DATUM[\"D\",SPHEROID[\"S\",6378137,298.257223563]],PRIMEM[\"Greenwich\",0],"
         "UNIT[\"degree\",0.0174532925199433]]");
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "UNNAMED GCS");
}

TEST_F(ChooserTest, AProjectedWktIsShownUnderItsOwnName)
{
    const std::string utm = WktOf("EPSG:32650");
    Open(utm);
    EXPECT_EQ(Current(IDC_SYSTEM_KIND), "Projected Coordinate System");
    EXPECT_EQ(Combo(IDC_PROJ_CATEGORY)->count(), 5);
    EXPECT_EQ(Current(IDC_PROJ_CATEGORY), "WGS 84 / UTM zone 50N");
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "WGS 84");
    EXPECT_EQ(Current(IDC_PROJ_METHOD), "Transverse_Mercator");
    EXPECT_EQ(ParameterText("central_meridian"), "117.000000000000000000");
    EXPECT_EQ(ParameterText("scale_factor"), "0.999600000000000044");
    EXPECT_EQ(Current(IDC_UNIT), "metre");
    EXPECT_EQ(Combo(IDC_ZONE)->count(), 0);
    EXPECT_FALSE(Enabled(IDC_ZONE));
    EXPECT_TRUE(m_prompts.Messages().empty());
    ASSERT_TRUE(PressOk());
    OsrHandle result = Result();
    EXPECT_EQ(AttrValue(result.get(), "PROJCS"), "WGS 84 / UTM zone 50N");
    EXPECT_TRUE(OSRIsSame(result.get(), NewSpatialReference(utm).get()));
}

TEST_F(ChooserTest, AProjectedNameEqualToACategorySelectsTheCategory)
{
    const std::string wkt =
        "PROJCS[\"Universal Transverse Mercator\",GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\","
        "6378137,298.257223563]],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]],"
        "PROJECTION[\"Mercator_1SP\"],PARAMETER[\"central_meridian\",10],PARAMETER[\"scale_factor\",1],"
        "PARAMETER[\"false_easting\",0],PARAMETER[\"false_northing\",0],UNIT[\"metre\",1]]";
    Open(wkt);
    EXPECT_EQ(Combo(IDC_PROJ_CATEGORY)->currentIndex(), kUtmCategoryPosition)
        << "the category entry, listed first";
    EXPECT_EQ(Current(IDC_PROJ_METHOD), "Mercator_1SP");
    EXPECT_EQ(ParameterText("central_meridian"), "10.000000000000000000");
}

TEST_F(ChooserTest, UnusableTextsShowTheMessageAndOpenOnWgs84)
{
    const std::string unsupportedMethod = WktOf("+proj=eqearth +datum=WGS84");
    // A grid PROJ would open itself: a pipe there would freeze the chooser.
    TempDir dir;
    const std::string pipe = dir / "grid";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string namesAPipe = "PROJCS[\"x\",GEOGCS[\"x\",DATUM[\"D\",SPHEROID[\"S\",6378137,298.257]],"
                                   "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]],"
                                   "PROJECTION[\"Transverse_Mercator\"],UNIT[\"metre\",1],EXTENSION[\"PROJ4\","
                                   "\"+proj=tmerc +ellps=WGS84 +nadgrids=" + pipe + " +units=m\"]]";
    for (const std::string& wkt : {std::string("LOCAL_CS[\"Site\",UNIT[\"metre\",1]]"),
                                   std::string("this is not WKT"), unsupportedMethod, namesAPipe}) {
        SCOPED_TRACE(wkt);
        m_prompts.Clear();
        Open(wkt);
        ASSERT_EQ(m_prompts.Messages().size(), 1u);
        EXPECT_EQ(m_prompts.Messages()[0].text, "Unknown spatial reference!");
        EXPECT_EQ(m_prompts.Messages()[0].caption, "Choose Coordinate");
        EXPECT_EQ(m_prompts.Messages()[0].style, UINT(MB_ICONEXCLAMATION));
        EXPECT_EQ(Current(IDC_SYSTEM_KIND), "Geographic Coordinate System");
        EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "WGS 84");
    }
}

TEST_F(ChooserTest, AnUnsupportedMethodKeepsTheInputFlagSoWgs84IsAddedWhenMissing)
{
    // A catalogue without "WGS 84": the fallback system is added in memory.
    WriteFile(m_folder / "CoordSys.dat", "[GCS]\nWGS 1984=" + std::string(kWgs84DefaultWkt) + "\n");
    Open("LOCAL_CS[\"Site\",UNIT[\"metre\",1]]");
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "WGS 84");
    EXPECT_EQ(Combo(IDC_GEOG_SYSTEM)->count(), 2);
}

TEST_F(ChooserTest, EachLanguageOpensItsOwnTemplate)
{
    const struct {
        int language;
        const char* title;
        const char* error;
    } cases[] = {{0, "选择坐标系", "坐标设置错误！"},
                 {1, "選擇座標系", "Coordinate set error!"},
                 {2, "Choose Coordinate System", "Coordinate set error!"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        g_language = static_cast<LanguageSet>(c.language);
        m_prompts.Clear();
        Open();
        EXPECT_EQ(Dlg().GetWindowText(), c.title);
        g_geogSystems.erase("WGS 84");  // the selection can no longer be composed
        EXPECT_FALSE(PressOk());
        ASSERT_EQ(m_prompts.Messages().size(), 1u);
        EXPECT_EQ(m_prompts.Messages()[0].text, c.error);
    }
}
