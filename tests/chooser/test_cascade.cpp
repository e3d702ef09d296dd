// The cascade: system kind, categories, zones.
#include "catalog/PredefinedSystems.h"
#include "chooser/ChooserFixture.h"

#include <QApplication>
#include <cstdlib>

TEST_F(ChooserTest, ChoosingProjectedShowsTheCustomCategory)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    EXPECT_EQ(Dlg().m_nSystemKind, CProjectionDlg::kProjected);
    EXPECT_TRUE(Enabled(IDC_PROJ_CATEGORY));
    EXPECT_EQ(Combo(IDC_PROJ_CATEGORY)->count(), 4);
    EXPECT_EQ(Current(IDC_PROJ_CATEGORY), "<Custom Projection Coordinate System>");
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "WGS 1984");
    EXPECT_EQ(Combo(IDC_PROJ_METHOD)->count(), 47);
    EXPECT_EQ(Current(IDC_PROJ_METHOD), "Transverse_Mercator");
    EXPECT_TRUE(Enabled(IDC_PROJ_METHOD));
    const auto rows = Parameters();
    ASSERT_EQ(rows.size(), 5u);
    for (const auto& row : rows)  // a fresh method's scale starts at 1, not at an unusable 0
        EXPECT_EQ(row.second, row.first == "scale_factor" ? "1.000000000000000000" : "0.000000000000000000")
            << row.first;
    EXPECT_EQ(Combo(IDC_UNIT)->currentIndex(), 0);
    EXPECT_EQ(Current(IDC_UNIT), "<Custom>");
    EXPECT_FALSE(Factor()->isReadOnly());
    EXPECT_EQ(Combo(IDC_ZONE)->count(), 0);
    EXPECT_FALSE(Enabled(IDC_ZONE));
}

TEST_F(ChooserTest, UtmStartsAtZone31NorthInAFreshDialog)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Universal Transverse Mercator");
    EXPECT_EQ(Combo(IDC_ZONE)->count(), 120);
    EXPECT_EQ(Combo(IDC_ZONE)->currentIndex(), 90);
    EXPECT_TRUE(Enabled(IDC_ZONE));
    EXPECT_EQ(Current(IDC_PROJ_METHOD), "Transverse_Mercator");
    EXPECT_FALSE(Enabled(IDC_PROJ_METHOD));
    EXPECT_EQ(Current(IDC_UNIT), "metre");
    EXPECT_TRUE(Factor()->isReadOnly());
    EXPECT_EQ(Factor()->text(), "1");
    EXPECT_EQ(ParameterText("central_meridian"), "3.000000000000000000");
    EXPECT_EQ(ParameterText("false_easting"), "500000.000000000000000000");
    EXPECT_EQ(ParameterText("false_northing"), "0.000000000000000000");
    EXPECT_EQ(ParameterText("scale_factor"), "0.999600000000000044");
}

TEST_F(ChooserTest, UtmZoneTextsAndPositions)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Universal Transverse Mercator");
    const std::pair<int, const char*> texts[] = {
        {0, "-60 (180E - 174E - Southern Hemisphere)"}, {29, "-31 (  6E -   0E - Southern Hemisphere)"},
        {30, "-30 (  6W -   0W - Southern Hemisphere)"}, {59, " -1 (180W - 174W - Southern Hemisphere)"},
        {60, "  1 (180W - 174W - Northern Hemisphere)"}, {89, " 30 (  6W -   0W - Northern Hemisphere)"},
        {90, " 31 (  0E -   6E - Northern Hemisphere)"}, {119, " 60 (174E - 180E - Northern Hemisphere)"}};
    for (const auto& [position, text] : texts)
        EXPECT_EQ(Combo(IDC_ZONE)->itemText(position).toStdString(), text) << position;

    ChooseAt(IDC_ZONE, 0);
    EXPECT_EQ(ParameterText("central_meridian"), "177.000000000000000000");
    EXPECT_EQ(ParameterText("false_northing"), "10000000.000000000000000000");
    ChooseAt(IDC_ZONE, 119);
    EXPECT_EQ(ParameterText("central_meridian"), "177.000000000000000000");
    EXPECT_EQ(ParameterText("false_northing"), "0.000000000000000000");
}

TEST_F(ChooserTest, UtmFollowsTheLastZoneApplied)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Gauss Krueger (Beijing 1954)");
    Choose(IDC_ZONE, "Beijing 1954 / 3-degree Gauss-Kruger CM 117E");
    EXPECT_EQ(Dlg().m_centralMeridian, 117.0);
    Choose(IDC_PROJ_CATEGORY, "Universal Transverse Mercator");
    EXPECT_EQ(Combo(IDC_ZONE)->currentIndex(), 109) << "zone 50 north";

    // A southern zone: zone 50 south, position 10.
    ChooseAt(IDC_ZONE, 10);
    EXPECT_EQ(Current(IDC_ZONE), "-50 (120E - 114E - Southern Hemisphere)");
    Choose(IDC_PROJ_CATEGORY, "<Custom Projection Coordinate System>");
    Choose(IDC_PROJ_CATEGORY, "Universal Transverse Mercator");
    EXPECT_EQ(Combo(IDC_ZONE)->currentIndex(), 10);
    EXPECT_EQ(ParameterText("false_northing"), "10000000.000000000000000000");
}

TEST_F(ChooserTest, UtmWithAMeridianOutsideTheWorldPicksItsEquivalentZone)
{
    Open();
    Dlg().m_centralMeridian = 243.0;  // = -117
    Dlg().m_falseNorthing = 0.0;
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Universal Transverse Mercator");
    EXPECT_EQ(Combo(IDC_ZONE)->currentIndex(), UtmPositionOfZone(11, true));
    EXPECT_EQ(ParameterText("central_meridian"), "-117.000000000000000000");
}

TEST_F(ChooserTest, GaussKruegerLocksItsGeographicSystemAndMethod)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Gauss Krueger (Xian 1980)");
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "Xian 1980");
    EXPECT_FALSE(Enabled(IDC_GEOG_SYSTEM));
    EXPECT_EQ(Current(IDC_PROJ_METHOD), "Gauss_Kruger");
    EXPECT_FALSE(Enabled(IDC_PROJ_METHOD));
    EXPECT_EQ(Combo(IDC_ZONE)->count(), 64);
    EXPECT_EQ(Combo(IDC_ZONE)->currentIndex(), 0);
    EXPECT_EQ(Current(IDC_UNIT), "metre");
    EXPECT_EQ(Summary().rfind("Xian 1980\n", 0), 0u);
    Choose(IDC_ZONE, "Xian 1980 / Gauss-Kruger zone 20");
    EXPECT_EQ(ParameterText("central_meridian"), "117.000000000000000000");
    EXPECT_EQ(ParameterText("false_easting"), "20500000.000000000000000000");
    EXPECT_EQ(ParameterText("scale_factor"), "1.000000000000000000");
}

TEST_F(ChooserTest, GaussKruegerLocksEvenWhenTheCatalogueLacksTheName)
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
    EXPECT_EQ(m_prompts.Messages()[0].text, "Coordinate set error!");
}

TEST_F(ChooserTest, AGaussKruegerSectionMissingLeavesTheZonesEmpty)
{
    WriteFile(m_folder / "CoordSys.dat",
              "[GCS]\nXian 1980=GEOGCS[\"Xian 1980\",DATUM[\"Xian_1980\",SPHEROID[\"IAG 1975\",6378140,"
              "298.257]],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]\n");
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Gauss Krueger (Xian 1980)");
    EXPECT_EQ(Combo(IDC_ZONE)->count(), 0);
    EXPECT_EQ(ParameterText("central_meridian"), "0.000000000000000000") << "no zone applied";
    EXPECT_FALSE(PressOk());
}

TEST_F(ChooserTest, GeographicModeEmptiesAndDisablesTheProjectionSide)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Universal Transverse Mercator");
    Choose(IDC_SYSTEM_KIND, "Geographic Coordinate System");
    EXPECT_EQ(Dlg().m_nSystemKind, CProjectionDlg::kGeographic);
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

    // Back to projected: the custom category with the values Transverse_Mercator last held.
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    EXPECT_EQ(Current(IDC_PROJ_CATEGORY), "<Custom Projection Coordinate System>");
    EXPECT_EQ(ParameterText("central_meridian"), "3.000000000000000000");
}

TEST_F(ChooserTest, ACategoryPickedInGeographicModeDoesNothing)
{
    Open();
    Dlg().OnSelchangeProjCategory();
    EXPECT_EQ(Combo(IDC_PROJ_METHOD)->count(), 0);
    EXPECT_EQ(Dlg().m_nSystemKind, CProjectionDlg::kGeographic);
}

TEST_F(ChooserTest, TheUnitFactorIsEditableOnlyForTheCustomUnit)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    EXPECT_FALSE(Factor()->isReadOnly());
    Choose(IDC_UNIT, "US survey foot");
    EXPECT_TRUE(Factor()->isReadOnly());
    EXPECT_EQ(Factor()->text(), "0.304800609601219");
    EXPECT_NEAR(Dlg().m_unitFactor, 1200.0 / 3937.0, 1e-15);
    Choose(IDC_UNIT, "<Custom>");
    EXPECT_FALSE(Factor()->isReadOnly());
    EXPECT_EQ(Factor()->text(), "1");
}
