// The cascade as the controls show it (its rules are the model's, tested
// without widgets): what each list holds, what is selected, what takes input.
#include "catalog/PredefinedSystems.h"
#include "chooser/ChooserFixture.h"

TEST_F(ChooserTest, ChoosingProjectedShowsTheCustomCategory)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    EXPECT_TRUE(Enabled(IDC_PROJ_CATEGORY));
    EXPECT_EQ(Combo(IDC_PROJ_CATEGORY)->count(), 4);
    EXPECT_EQ(Current(IDC_PROJ_CATEGORY), "<Custom Projection Coordinate System>");
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "WGS 1984");
    EXPECT_EQ(Combo(IDC_PROJ_METHOD)->count(), static_cast<int>(BuildProjectionMethods().size()));
    EXPECT_EQ(Current(IDC_PROJ_METHOD), "Transverse_Mercator");
    EXPECT_TRUE(Enabled(IDC_PROJ_METHOD));
    const auto rows = Parameters();
    ASSERT_EQ(rows.size(), 5u);
    for (const auto& row : rows)  // a fresh method's scale starts at 1, not at an unusable 0
        EXPECT_EQ(row.second, row.first == "scale_factor" ? "1.000000000000000000" : "0.000000000000000000")
            << row.first;
    EXPECT_EQ(Current(IDC_UNIT), "<Custom>");
    EXPECT_FALSE(Factor()->isReadOnly());
    EXPECT_EQ(Combo(IDC_ZONE)->count(), 0);
    EXPECT_FALSE(Enabled(IDC_ZONE));
}

TEST_F(ChooserTest, UtmAndGaussKruegerShowTheirZonesAndLockTheirMethod)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Universal Transverse Mercator");
    EXPECT_EQ(Combo(IDC_ZONE)->count(), 120);
    EXPECT_EQ(Current(IDC_ZONE), " 31 (  0E -   6E - Northern Hemisphere)");
    EXPECT_TRUE(Enabled(IDC_ZONE));
    EXPECT_FALSE(Enabled(IDC_PROJ_METHOD));
    EXPECT_EQ(Current(IDC_UNIT), "metre");
    EXPECT_TRUE(Factor()->isReadOnly());
    EXPECT_EQ(Factor()->text(), "1");
    ChooseAt(IDC_ZONE, 0);
    EXPECT_EQ(Current(IDC_ZONE), "-60 (180E - 174E - Southern Hemisphere)");
    EXPECT_EQ(ParameterText("central_meridian"), "177.000000000000000000");
    EXPECT_EQ(ParameterText("false_northing"), "10000000.000000000000000000");

    Choose(IDC_PROJ_CATEGORY, "Gauss Krueger (Xian 1980)");
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "Xian 1980");
    EXPECT_FALSE(Enabled(IDC_GEOG_SYSTEM));
    EXPECT_EQ(Current(IDC_PROJ_METHOD), "Gauss_Kruger");
    EXPECT_FALSE(Enabled(IDC_PROJ_METHOD));
    EXPECT_EQ(Combo(IDC_ZONE)->count(), 64);
    EXPECT_EQ(Combo(IDC_ZONE)->currentIndex(), 0);
    EXPECT_EQ(Summary().rfind("Xian 1980\n", 0), 0u);
    Choose(IDC_ZONE, "Xian 1980 / Gauss-Kruger zone 20");
    EXPECT_EQ(ParameterText("central_meridian"), "117.000000000000000000");
    EXPECT_EQ(ParameterText("false_easting"), "20500000.000000000000000000");
    ASSERT_TRUE(PressOk());
    OsrHandle epsg(OSRNewSpatialReference(nullptr));
    OSRImportFromEPSG(epsg.get(), 2334);  // Xian 1980 / Gauss-Kruger zone 20
    EXPECT_TRUE(OSRIsSame(Result().get(), epsg.get()));
    EXPECT_STREQ(OSRGetAuthorityCode(Result().get(), "PROJCS"), "2334") << "the zone is EPSG's, and says so";
}

TEST_F(ChooserTest, AGaussKruegerCategoryWithoutItsGeographicEntryCannotBeComposed)
{
    std::string catalogue = ReadFile(m_folder / "CoordSys.dat");
    const std::size_t line = catalogue.find("\nBeijing 1954=");
    ASSERT_NE(line, std::string::npos);
    catalogue.erase(line + 1, catalogue.find('\n', line + 1) - line);
    WriteFile(m_folder / "CoordSys.dat", catalogue);
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Gauss Krueger (Beijing 1954)");
    EXPECT_EQ(Combo(IDC_GEOG_SYSTEM)->currentIndex(), -1);
    EXPECT_FALSE(Enabled(IDC_GEOG_SYSTEM));
    EXPECT_FALSE(PressOk()) << "cannot be composed without the geographic entry";
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].text,
              "Coordinate set error!\nThe chosen geographic coordinate system is not in the catalogue.");
}

TEST_F(ChooserTest, GeographicModeEmptiesAndDisablesTheProjectionSide)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Universal Transverse Mercator");
    Choose(IDC_SYSTEM_KIND, "Geographic Coordinate System");
    for (int id : {IDC_PROJ_METHOD, IDC_ZONE, IDC_UNIT}) {
        EXPECT_EQ(Combo(id)->count(), 0) << id;
        EXPECT_FALSE(Enabled(id)) << id;
    }
    EXPECT_EQ(Table()->rowCount(), 0);
    EXPECT_FALSE(Enabled(IDC_PARAMETERS));
    EXPECT_FALSE(Enabled(IDC_UNIT_FACTOR));
    EXPECT_EQ(Combo(IDC_PROJ_CATEGORY)->count(), 1);
    EXPECT_EQ(Current(IDC_PROJ_CATEGORY), "Geographic (Latitude/Longitude)");
    EXPECT_FALSE(Enabled(IDC_PROJ_CATEGORY));
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "WGS 1984") << "the geographic list keeps its selection";
}

TEST_F(ChooserTest, TheUnitFactorIsEditableOnlyForTheCustomUnit)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    EXPECT_FALSE(Factor()->isReadOnly());
    Choose(IDC_UNIT, "US survey foot");
    EXPECT_TRUE(Factor()->isReadOnly());
    EXPECT_EQ(Factor()->text(), "0.304800609601219");
    Choose(IDC_UNIT, "<Custom>");
    EXPECT_FALSE(Factor()->isReadOnly());
    EXPECT_EQ(Factor()->text(), "1");
    // What the user types there is the unit's factor.
    Choose(IDC_PROJ_METHOD, "Mercator_1SP");
    Factor()->selectAll();
    QTest::keyClicks(Factor(), "0.3048");
    ASSERT_TRUE(PressOk());
    char* unit = nullptr;
    EXPECT_EQ(OSRGetLinearUnits(Result().get(), &unit), 0.3048);
}
