// Parameters in the list, and composing every category into WKT.
#include "catalog/PredefinedSystems.h"
#include "chooser/ChooserFixture.h"

TEST_F(ChooserTest, ParametersAreListedInNameOrderWithEighteenDecimals)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_METHOD, "Lambert_Conformal_Conic_2SP");
    std::vector<std::pair<std::string, std::string>> expected;
    for (const char* name : {"central_meridian", "false_easting", "false_northing", "latitude_of_origin",
                             "standard_parallel_1", "standard_parallel_2"})
        expected.emplace_back(name, "0.000000000000000000");
    EXPECT_EQ(Parameters(), expected);
}

TEST_F(ChooserTest, EditedValuesAreReadBackAsAtofReadsThem)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_METHOD, "Mercator_1SP");
    EditParameter("central_meridian", "105.5 degrees");
    EditParameter("false_easting", "no number");
    EditParameter("scale_factor", "0.9996");
    EditParameter("false_northing", "-1e3");
    Choose(IDC_UNIT, "metre");
    ASSERT_TRUE(PressOk());
    OsrHandle srs = Result();
    EXPECT_EQ(AttrValue(srs.get(), "PROJCS"), "<Custom Projection Coordinate System>");
    EXPECT_EQ(AttrValue(srs.get(), "PROJECTION"), "Mercator_1SP");
    EXPECT_EQ(Parm(srs.get(), "central_meridian"), 105.5);
    EXPECT_EQ(Parm(srs.get(), "false_easting"), 0.0);
    EXPECT_EQ(Parm(srs.get(), "false_northing"), -1000.0);
    EXPECT_EQ(Parm(srs.get(), "scale_factor"), 0.9996);
    EXPECT_EQ(AttrValue(srs.get(), "GEOGCS"), "WGS 84");
    char* unit = nullptr;
    EXPECT_EQ(OSRGetLinearUnits(srs.get(), &unit), 1.0);
    EXPECT_STREQ(unit, "metre");
    // The edited values stay with their method.
    EXPECT_EQ(Dlg().m_projMethods[FindProjectionMethod(Dlg().m_projMethods, "Mercator_1SP")]
                  .parameters["central_meridian"],
              105.5);
}

TEST_F(ChooserTest, EditsAreDiscardedByAMethodChangeUntilComposed)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    EditParameter("central_meridian", "45");
    EXPECT_EQ(ParameterText("central_meridian"), "45");
    QTest::qWait(20);  // the code line, refreshed meanwhile, keeps nothing
    Choose(IDC_PROJ_METHOD, "Bonne");
    Choose(IDC_PROJ_METHOD, "Transverse_Mercator");
    EXPECT_EQ(ParameterText("central_meridian"), "0.000000000000000000");
}

TEST_F(ChooserTest, ACustomUnitIsComposedWithItsFactor)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_METHOD, "Mercator_1SP");
    Choose(IDC_UNIT, "US survey foot");
    ASSERT_TRUE(PressOk());
    OsrHandle result = Result();
    char* unit = nullptr;
    EXPECT_NEAR(OSRGetLinearUnits(result.get(), &unit), 1200.0 / 3937.0, 1e-15);
    EXPECT_STREQ(unit, "US survey foot");
}

TEST_F(ChooserTest, AFactorOfZeroOrBelowIsRefusedNotTakenForMetres)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_METHOD, "Mercator_1SP");
    Choose(IDC_UNIT, "<Custom>");
    for (const char* factor : {"0", "-2"}) {
        Factor()->setText(factor);
        EXPECT_FALSE(PressOk()) << factor;
    }
    EXPECT_EQ(m_prompts.Messages().size(), 2u);
    EXPECT_EQ(m_prompts.Messages()[0].text, "Coordinate set error!");
}

TEST_F(ChooserTest, UtmIsComposedFromTheEditedCentralMeridian)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Universal Transverse Mercator");
    Choose(IDC_GEOG_SYSTEM, "Beijing 1954");
    EditParameter("central_meridian", "117");
    ASSERT_TRUE(PressOk());
    OsrHandle srs = Result();
    int north = 0;
    EXPECT_EQ(OSRGetUTMZone(srs.get(), &north), 50);
    EXPECT_EQ(north, 1) << "the hemisphere of the zone last applied";
    EXPECT_EQ(AttrValue(srs.get(), "PROJCS"), "UTM Zone 50, Northern Hemisphere");
    EXPECT_EQ(AttrValue(srs.get(), "GEOGCS"), "Beijing 1954");
    EXPECT_EQ(Parm(srs.get(), "false_easting"), 500000.0);
}

TEST_F(ChooserTest, ASouthernUtmZone)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Universal Transverse Mercator");
    ChooseAt(IDC_ZONE, 10);
    ASSERT_TRUE(PressOk());
    OsrHandle srs = Result();
    int north = 1;
    EXPECT_EQ(OSRGetUTMZone(srs.get(), &north), 50);
    EXPECT_EQ(north, 0);
    EXPECT_EQ(AttrValue(srs.get(), "PROJCS"), "UTM Zone 50, Southern Hemisphere");
    OsrHandle epsg(OSRNewSpatialReference(nullptr));
    OSRImportFromEPSG(epsg.get(), 32750);
    EXPECT_TRUE(OSRIsSame(srs.get(), epsg.get())) << "the same system as EPSG 32750";
}

TEST_F(ChooserTest, AUtmZoneOutsideTheWorldCannotBeComposed)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Universal Transverse Mercator");
    const std::string before = Dlg().m_strWKT;
    EditParameter("central_meridian", "-190");  // zone 0, which GDAL would accept
    EXPECT_FALSE(PressOk());
    EditParameter("central_meridian", "200");  // zone 64
    EXPECT_FALSE(PressOk());
    ASSERT_EQ(m_prompts.Messages().size(), 2u);
    EXPECT_EQ(m_prompts.Messages()[0].text, "Coordinate set error!");
    EXPECT_EQ(Dlg().m_strWKT, before) << "the dialog's WKT is unchanged";
}

TEST_F(ChooserTest, AGaussKruegerZoneIsItsCatalogueSystemWithTheListsValues)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Gauss Krueger (Beijing 1954)");
    Choose(IDC_ZONE, "Beijing 1954 / Gauss-Kruger zone 20");
    EditParameter("false_northing", "100");
    ASSERT_TRUE(PressOk());
    OsrHandle srs = Result();
    EXPECT_EQ(AttrValue(srs.get(), "PROJCS"), "Beijing 1954 / Gauss-Kruger zone 20");
    EXPECT_EQ(Parm(srs.get(), "central_meridian"), 117.0);
    EXPECT_EQ(Parm(srs.get(), "false_easting"), 20500000.0);
    EXPECT_EQ(Parm(srs.get(), "false_northing"), 100.0);
    OsrHandle epsg(OSRNewSpatialReference(nullptr));
    OSRImportFromEPSG(epsg.get(), 21460);  // Beijing 1954 / Gauss-Kruger zone 20
    EXPECT_FALSE(OSRIsSame(srs.get(), epsg.get())) << "the false northing was edited";
}

TEST_F(ChooserTest, AMissingZoneCannotBeComposed)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Gauss Krueger (Beijing 1954)");
    Dlg().m_beijing1954Systems.erase(Current(IDC_ZONE));
    EXPECT_FALSE(PressOk());
    EXPECT_EQ(m_prompts.Messages().size(), 1u);
}

TEST_F(ChooserTest, GeographicModeComposesTheCatalogueEntry)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_METHOD, "Robinson");
    Choose(IDC_SYSTEM_KIND, "Geographic Coordinate System");
    Choose(IDC_GEOG_SYSTEM, "China Geodetic Coordinate System 2000");
    ASSERT_TRUE(PressOk());
    OsrHandle epsg(OSRNewSpatialReference(nullptr));
    OSRImportFromEPSG(epsg.get(), 4490);
    EXPECT_TRUE(OSRIsGeographic(Result().get()));
    EXPECT_TRUE(OSRIsSame(Result().get(), epsg.get()));
}

TEST_F(ChooserTest, AMissingGeographicEntryCannotBeComposed)
{
    Open();
    g_geogSystems.erase("WGS 84");
    EXPECT_FALSE(PressOk());
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].text, "Coordinate set error!");
    EXPECT_NE(Dlg().FindControl(IDOK), nullptr) << "the dialog stays open";
}

TEST_F(ChooserTest, CancelEndsWithoutComposing)
{
    Open("");
    const std::string before = Dlg().m_strWKT;
    Click(IDCANCEL);
    EXPECT_EQ(Dlg().GetResult(), IDCANCEL);
    EXPECT_EQ(Dlg().m_strWKT, before);
}

TEST_F(ChooserTest, EveryMethodWithItsDefaultsIsUsableOrRefused)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_UNIT, "metre");
    std::string refused;
    for (int m = 0; m < 47; ++m) {
        ChooseAt(IDC_PROJ_METHOD, m);
        SCOPED_TRACE(Current(IDC_PROJ_METHOD));
        if (!Dlg().BuildWKT()) {
            refused += " " + Current(IDC_PROJ_METHOD);
            continue;
        }
        OsrHandle result = Result();
        EXPECT_TRUE(OSRIsProjected(result.get()));
        // PROJ computes with it: the origin goes there and back.
        OsrHandle geographic(OSRCloneGeogCS(result.get()));
        for (OGRSpatialReferenceH srs : {result.get(), geographic.get()})
            OSRSetAxisMappingStrategy(srs, OAMS_TRADITIONAL_GIS_ORDER);
        OGRCoordinateTransformationH forward = OCTNewCoordinateTransformation(geographic.get(), result.get());
        ASSERT_NE(forward, nullptr);
        double x = 0.5, y = 0.5;
        EXPECT_TRUE(OCTTransform(forward, 1, &x, &y, nullptr)) << Dlg().m_strWKT;
        OCTDestroyCoordinateTransformation(forward);
    }
    std::printf("refused with their defaults:%s\n", refused.c_str());
    // OK on a refused method keeps the dialog open and says so.
    ChooseAt(IDC_PROJ_METHOD, Combo(IDC_PROJ_METHOD)->findText("Lambert_Conformal_Conic_2SP"));
    EXPECT_FALSE(PressOk());
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].text, "Coordinate set error!");
}
