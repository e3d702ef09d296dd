// Opening the chooser on what a host hands in, and what OK then hands back.
#include <sys/stat.h>

#include "catalog/PredefinedSystems.h"
#include "chooser/ChooserFixture.h"
#include "module/ProjSupport.h"

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
    EXPECT_EQ(Summary(), "WGS 84\nDatum: WGS_1984\nSpheroid: WGS 84\nEPSG:4326\nAccuracy: 2 m (datum ensemble)");
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_F(ChooserTest, WhatIsHandedInIsShownAndComesBackAsGiven)
{
    const struct {
        std::string wkt;
        const char* category;  // shown in the category list
        const char* geographic;
        const char* method;
    } cases[] = {
        {WktOf("EPSG:4610"), "Geographic (Latitude/Longitude)", "Xian 1980", ""},
        {WktOf("EPSG:32650"), "WGS 84 / UTM zone 50N", "WGS 84", "Transverse_Mercator"},
        // WKT2 stays WKT2; a method the list lacks joins it.
        {WktOf("EPSG:8857", "FORMAT=WKT2_2019"), "WGS 84 / Equal Earth Greenwich", "WGS 84", "Equal Earth"},
        {WktOf("EPSG:2056", "FORMAT=WKT2_2019"), "CH1903+ / LV95", "CH1903+",
         "Hotine_Oblique_Mercator_Azimuth_Center"},
        // ESRI's names stay ESRI's; the lists show them as GDAL reads them.
        {WktOf("EPSG:26332", "FORMAT=WKT1_ESRI"), "Minna / UTM zone 32N", "Minna", "Transverse_Mercator"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wkt);
        m_prompts.Clear();
        Open(c.wkt);
        EXPECT_TRUE(m_prompts.Messages().empty());
        EXPECT_EQ(Current(IDC_PROJ_CATEGORY), c.category);
        EXPECT_EQ(Current(IDC_GEOG_SYSTEM), c.geographic);
        EXPECT_EQ(Current(IDC_PROJ_METHOD), c.method);
        EXPECT_EQ(Combo(IDC_ZONE)->count(), 0);
        EXPECT_FALSE(Enabled(IDC_ZONE));
        ASSERT_TRUE(PressOk());
        EXPECT_EQ(ResultWkt(), c.wkt);
    }
    // The handed-in system's parameters and unit, as the list shows them.
    Open(WktOf("EPSG:32650"));
    EXPECT_EQ(ParameterText("central_meridian"), "117.000000000000000000");
    EXPECT_EQ(ParameterText("scale_factor"), "0.999600000000000000");
    EXPECT_EQ(Current(IDC_UNIT), "metre");
    EXPECT_EQ(Combo(IDC_PROJ_CATEGORY)->count(), 5);
}

// The height row: shown when asked for or when the system has a height;
// left alone, the system comes back as it came; a height chosen makes one
// compound system, with EPSG's code where EPSG has the pair.
TEST_F(ChooserTest, TheHeightRowJoinsChangesAndDropsAHeight)
{
    const std::string utm32 = WktOf("EPSG:25832");
    const std::string held = WktOf("EPSG:5555", "FORMAT=WKT2_2019");
    const struct {
        std::string wkt;
        bool offered;
        bool shown;
        const char* heldEntry;  // the row's entry as it opens
        const char* chosen;     // the entry chosen; null: left alone
        const char* name;       // of the result
        const char* code;       // the result's own code; "": none
        bool sameText;          // the system handed in, as it came
    } cases[] = {
        {utm32, false, false, nullptr, nullptr, "ETRS89 / UTM zone 32N", "25832", true},
        {utm32, true, true, "None", nullptr, "ETRS89 / UTM zone 32N", "25832", true},
        {utm32, true, true, "None", "DHHN92 height (EPSG:5783)", "ETRS89 / UTM zone 32N + DHHN92 height", "5555",
         false},
        {utm32, true, true, "None", "DHHN2016 height (EPSG:7837)", "ETRS89 / UTM zone 32N + DHHN2016 height", "",
         false},
        {held, false, true, "DHHN92 height (EPSG:5783)", nullptr, "ETRS89 / UTM zone 32N + DHHN92 height", "5555",
         true},
        {held, false, true, "DHHN92 height (EPSG:5783)", "None", "ETRS89 / UTM zone 32N", "25832", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.chosen ? c.chosen : "left alone") + (c.offered ? ", offered" : ""));
        Open(c.wkt, c.offered);
        EXPECT_EQ(Dlg().FindControl(IDC_HEIGHT_GROUP)->isVisible(), c.shown);
        if (c.heldEntry) {
            EXPECT_EQ(Current(IDC_HEIGHT), c.heldEntry);
        }
        if (c.chosen)
            Choose(IDC_HEIGHT, c.chosen);
        ASSERT_TRUE(PressOk());
        EXPECT_EQ(Dlg().GetChosenSystem().Name(), c.name);
        EXPECT_EQ(ResultWkt() == c.wkt, c.sameText);
        const char* code = OSRGetAuthorityCode(Result().get(), nullptr);
        EXPECT_EQ(std::string(code ? code : ""), c.code);
    }
    // The vertical systems over the horizontal system's area come first.
    Open(utm32, true);
    QComboBox* row = Combo(IDC_HEIGHT);
    int dhhn = -1, navd = -1;
    for (int i = 0; i < row->count(); ++i) {
        if (row->itemText(i) == "DHHN2016 height (EPSG:7837)")
            dhhn = i;
        if (row->itemText(i) == "NAVD88 height (EPSG:5703)")
            navd = i;
    }
    EXPECT_GT(navd, dhhn);
    EXPECT_GE(dhhn, 2);

    // A vertical system whose geoid model is not here is still chosen; the
    // line under the row says what a transformation will need.
    auto* note = qobject_cast<QLabel*>(Dlg().FindControl(IDC_HEIGHT_NOTE));
    EXPECT_FALSE(note->isVisible());
    const bool egm2008Here =
        ProjResourceInstalled("us_nga_egm08_25.tif") || ProjResourceInstalled("egm08_25.gtx");
    Choose(IDC_HEIGHT, "EGM2008 height (EPSG:3855)");
    EXPECT_EQ(note->isVisible(), !egm2008Here);
    if (!egm2008Here) {
        EXPECT_EQ(note->text().toStdString(),
                  "needs the geoid model us_nga_egm08_25.tif, not installed: the system is defined without it; a "
                  "transformation needs it");
    }
    // Found by its older name as PROJ finds it.
    EXPECT_EQ(MissingGeoidModel("5773").empty(),
              ProjResourceInstalled("us_nga_egm96_15.tif") || ProjResourceInstalled("egm96_15.gtx"));
    Choose(IDC_HEIGHT, "DHHN92 height (EPSG:5783)");
    EXPECT_FALSE(note->isVisible()) << "no model needed";
    ASSERT_TRUE(PressOk());
    EXPECT_GT(row->count(), 250) << "every vertical system of EPSG in use";
}

TEST_F(ChooserTest, AGcsPrefixIsDroppedAndAnUnknownSystemIsListedInMemory)
{
    const std::string wkt =
        "GEOGCS[\"GCS_My_Site\",DATUM[\"D_My_Datum\",SPHEROID[\"My_Spheroid\",6378140,298.25]],"
        "PRIMEM[\"Greenwich\",0],UNIT[\"Degree\",0.0174532925199433]]";
    Open(wkt);
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "My_Site");
    EXPECT_EQ(Combo(IDC_GEOG_SYSTEM)->count(), 547);
    EXPECT_EQ(ReadFile(m_folder / "CoordSys.dat").find("My_Site"), std::string::npos)
        << "not written to the catalogue";
    Open("GEOGCS[\"\",DATUM[\"D\",SPHEROID[\"S\",6378137,298.257223563]],PRIMEM[\"Greenwich\",0],"
         "UNIT[\"degree\",0.0174532925199433]]");
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "UNNAMED GCS");
}

TEST_F(ChooserTest, AProjectedNameEqualToACategoryIsStillTheHandedInSystem)
{
    const std::string wkt =
        "PROJCS[\"Universal Transverse Mercator\",GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\","
        "6378137,298.257223563]],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]],"
        "PROJECTION[\"Mercator_1SP\"],PARAMETER[\"central_meridian\",10],PARAMETER[\"scale_factor\",1],"
        "PARAMETER[\"false_easting\",0],PARAMETER[\"false_northing\",0],UNIT[\"metre\",1]]";
    Open(wkt);
    EXPECT_EQ(Combo(IDC_PROJ_CATEGORY)->currentIndex(), 4) << "its own entry, not the UTM category";
    EXPECT_EQ(Current(IDC_PROJ_METHOD), "Mercator_1SP");
    EXPECT_EQ(ParameterText("central_meridian"), "10.000000000000000000");
    ASSERT_TRUE(PressOk());
    EXPECT_EQ(ResultWkt(), wkt) << "never made a UTM zone";
}

TEST_F(ChooserTest, UnusableTextsShowTheMessageAndOpenOnWgs84)
{
    // A grid PROJ would open itself: a pipe there would freeze the chooser.
    TempDir dir;
    const std::string pipe = dir / "grid";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string namesAPipe = "PROJCS[\"x\",GEOGCS[\"x\",DATUM[\"D\",SPHEROID[\"S\",6378137,298.257]],"
                                   "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]],"
                                   "PROJECTION[\"Transverse_Mercator\"],UNIT[\"metre\",1],EXTENSION[\"PROJ4\","
                                   "\"+proj=tmerc +ellps=WGS84 +nadgrids=" + pipe + " +units=m\"]]";
    for (const std::string& wkt :
         {std::string("LOCAL_CS[\"Site\",UNIT[\"metre\",1]]"), std::string("this is not WKT"), namesAPipe}) {
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
    // A catalogue without "WGS 84": the fallback system is listed in memory.
    WriteFile(m_folder / "CoordSys.dat", "[GCS]\nWGS 1984=" + std::string(kWgs84DefaultWkt) + "\n");
    Open("LOCAL_CS[\"Site\",UNIT[\"metre\",1]]");
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "WGS 84");
    EXPECT_EQ(Combo(IDC_GEOG_SYSTEM)->count(), 2);
}

TEST_F(ChooserTest, EachLanguageOpensItsOwnTemplateAndSaysWhyOkRefuses)
{
    const struct {
        int language;
        const char* title;
        const char* error;
    } cases[] = {{0, "选择坐标系", "坐标设置错误！\nscale_factor 不能为 0。"},
                 {1, "選擇座標系", "Coordinate set error!\nscale_factor 不能為 0。"},
                 {2, "Choose Coordinate System", "Coordinate set error!\nscale_factor must not be 0."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        g_language = static_cast<LanguageSet>(c.language);
        m_prompts.Clear();
        Open(WktOf("EPSG:32650"));
        EXPECT_EQ(Dlg().GetWindowText(), c.title);
        EditParameter("scale_factor", "0");
        EXPECT_FALSE(PressOk());
        ASSERT_EQ(m_prompts.Messages().size(), 1u);
        EXPECT_EQ(m_prompts.Messages()[0].text, c.error);
    }
}
