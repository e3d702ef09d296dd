// The geographic system editor, worked through its controls, with the
// bundled tables in a module folder of its own; its WKT checked with GDAL.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "catalog/GeogCatalog.h"
#include "gcs_editor/AddGCSDlg.h"
#include "module/GdalSupport.h"
#include "module/Language.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"

namespace {

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedLanguage = g_language;
        g_language = LANGUAGE_ENGLISH;
        g_geogSystems.clear();
    }
    void TearDown() override
    {
        g_language = m_savedLanguage;
        g_geogSystems.clear();
    }

    // Opens the editor of the current language.
    CAddGCSDlg& Open()
    {
        m_dialog = std::make_unique<CAddGCSDlg>(EditorTemplateId());
        EXPECT_TRUE(m_dialog->Create());
        return *m_dialog;
    }

    QComboBox* Combo(int id) { return qobject_cast<QComboBox*>(m_dialog->FindControl(id)); }
    QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(m_dialog->FindControl(id)); }
    QRadioButton* Radio(int id) { return qobject_cast<QRadioButton*>(m_dialog->FindControl(id)); }
    std::string Text(int id) { return Edit(id)->text().toStdString(); }
    void Type(int id, const std::string& text)
    {
        Edit(id)->selectAll();
        Edit(id)->del();
        QTest::keyClicks(Edit(id), QString::fromStdString(text));
    }
    void Choose(int id, const std::string& text) { ChooseComboText(Combo(id), text); }
    void ClickOk() { QTest::mouseClick(qobject_cast<QPushButton*>(m_dialog->FindControl(IDOK)), Qt::LeftButton); }
    bool Closed() { return m_dialog->GetResult() == IDOK; }

    OsrHandle Result()
    {
        OsrHandle srs = NewSpatialReference(m_dialog->GetWKT());
        EXPECT_NE(srs, nullptr) << m_dialog->GetWKT();
        return srs;
    }

    TempModuleFolder m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<CAddGCSDlg> m_dialog;
    LanguageSet m_savedLanguage{};
};

}  // namespace

TEST_F(EditorTest, OpensOnTheCustomEntries)
{
    Open();
    for (int id : {1084, 1067, 1085, 1087}) {
        EXPECT_EQ(Combo(id)->currentIndex(), 0) << id;
        EXPECT_EQ(Combo(id)->currentText(), "<Custom>") << id;
        EXPECT_GT(Combo(id)->count(), 1) << id;
    }
    EXPECT_EQ(Text(1036), "");
    EXPECT_EQ(Text(1039), "6378137");
    EXPECT_EQ(Text(1041), "6356752.3");
    EXPECT_EQ(Text(1044), "298.257223563");
    EXPECT_TRUE(Radio(1079)->isChecked()) << "inverse-flattening mode";
    EXPECT_TRUE(Edit(1041)->isReadOnly());
    EXPECT_FALSE(Edit(1044)->isReadOnly());
    EXPECT_EQ(Text(1086), "0.0174532925199433");
    EXPECT_FALSE(Edit(1086)->isReadOnly());
    for (int id : {1088, 1089, 1090}) {
        EXPECT_EQ(Text(id), "0");
        EXPECT_FALSE(Edit(id)->isReadOnly());
    }
    for (int id : {1070, 1071, 1072, 1073, 1074, 1075, 1077})
        EXPECT_EQ(Text(id), "0");
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_F(EditorTest, ADatumFromTheTableLocksItsEllipsoid)
{
    Open();
    Choose(1084, "D_Beijing_1954");
    EXPECT_EQ(Combo(1067)->currentText(), "Krassowsky 1940");
    EXPECT_FALSE(Combo(1067)->isEnabled());
    EXPECT_EQ(Text(1039), "6378245");
    EXPECT_EQ(Text(1044), "298.3");
    for (int id : {1039, 1041, 1044})
        EXPECT_TRUE(Edit(id)->isReadOnly()) << id;
    EXPECT_FALSE(Radio(1078)->isEnabled());
    EXPECT_FALSE(Radio(1079)->isEnabled());

    Choose(1084, "<Custom>");
    EXPECT_EQ(Combo(1067)->currentText(), "<Custom>");
    EXPECT_TRUE(Combo(1067)->isEnabled());
    EXPECT_EQ(Text(1039), "6378137");
    EXPECT_FALSE(Edit(1039)->isReadOnly());
    EXPECT_TRUE(Radio(1078)->isEnabled());
}

TEST_F(EditorTest, ADatumWhoseEllipsoidIsNotListedBehavesAsCustom)
{
    // Krassowsky 1940 (7024) taken out of the ellipsoid table.
    const std::string table = m_folder / "GDAL_Data/ellipsoid.csv";
    std::string content = ReadFile(table), kept;
    for (std::size_t pos = 0; pos < content.size();) {
        std::size_t end = content.find('\n', pos);
        std::string line = content.substr(pos, end - pos + 1);
        if (line.rfind("7024,", 0) != 0)
            kept += line;
        pos = end + 1;
    }
    WriteFile(table, kept);
    Open();
    Choose(1067, "Airy 1830");
    const std::string semiMajor = Text(1039);
    Choose(1084, "D_Beijing_1954");
    EXPECT_EQ(Combo(1067)->currentText(), "<Custom>");
    EXPECT_TRUE(Combo(1067)->isEnabled());
    EXPECT_EQ(Text(1039), semiMajor) << "the axes keep their values";
    EXPECT_FALSE(Edit(1039)->isReadOnly());
}

TEST_F(EditorTest, SemiMinorModeComposesTheInverseFlattening)
{
    Open();
    Type(1036, "Semi-minor system");
    QTest::mouseClick(Radio(1078), Qt::LeftButton);
    EXPECT_FALSE(Edit(1041)->isReadOnly());
    EXPECT_TRUE(Edit(1044)->isReadOnly());
    Type(1039, "6378137.0");
    Type(1041, "6356752.3");
    ClickOk();
    ASSERT_TRUE(Closed());
    OsrHandle srs = Result();
    OGRErr err = OGRERR_NONE;
    EXPECT_NEAR(OSRGetInvFlattening(srs.get(), &err), 6378137.0 / (6378137.0 - 6356752.3), 1e-9);
    EXPECT_EQ(OSRGetSemiMajor(srs.get(), &err), 6378137.0);
}

TEST_F(EditorTest, EqualAxesMakeASphere)
{
    Open();
    Type(1036, "Sphere");
    QTest::mouseClick(Radio(1078), Qt::LeftButton);
    Type(1039, "6371000");
    Type(1041, "6371000");
    ClickOk();
    ASSERT_TRUE(Closed());
    OsrHandle srs = Result();
    OGRErr err = OGRERR_NONE;
    EXPECT_EQ(OSRGetInvFlattening(srs.get(), &err), 0.0);
    EXPECT_EQ(OSRGetSemiMinor(srs.get(), &err), 6371000.0);
}

TEST_F(EditorTest, PrimeMeridiansRoundTripThroughDegreesMinutesSeconds)
{
    WriteFile(m_folder / "GDAL_Data/prime_meridian.csv",
              "PRIME_MERIDIAN_CODE,PRIME_MERIDIAN_NAME,GREENWICH_LONGITUDE,UOM_CODE,DEPRECATED\n"
              "9001,East,7.26225,9102,0\n"
              "9002,West,-74.0809166,9102,0\n"
              "9003,Just west,-0.5,9102,0\n");
    const struct {
        const char* name;
        double degrees;
        const char *d, *m;
        double seconds;
    } cases[] = {{"East", 7.26225, "7", "15", 44.1},
                 {"West", -74.0809166, "-74", "4", 51.3},
                 {"Just west", -0.5, "-0", "30", 0.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        Choose(1087, c.name);
        EXPECT_EQ(Text(1088), c.d);
        EXPECT_EQ(Text(1089), c.m);
        EXPECT_NEAR(std::stod(Text(1090)), c.seconds, 0.05);
        for (int id : {1088, 1089, 1090})
            EXPECT_TRUE(Edit(id)->isReadOnly());
        Type(1036, std::string("Meridian ") + c.name);
        ClickOk();
        ASSERT_TRUE(Closed());
        OsrHandle srs = Result();
        char* name = nullptr;
        EXPECT_NEAR(OSRGetPrimeMeridian(srs.get(), &name), c.degrees, 1e-5);
        EXPECT_STREQ(name, c.name);
    }
}

TEST_F(EditorTest, ValidationRefusesDegreesAndMinutesOutOfRange)
{
    Open();
    Type(1036, "Validated");
    Type(1088, "181");
    ClickOk();
    EXPECT_FALSE(Closed());
    Type(1088, "-180");
    Type(1089, "61");
    ClickOk();
    EXPECT_FALSE(Closed());
    ASSERT_EQ(m_prompts.Messages().size(), 2u);
    EXPECT_EQ(m_prompts.Messages()[0].text, "Please enter an integer between -180 and 180.");
    EXPECT_EQ(m_prompts.Messages()[1].text, "Please enter an integer between 0 and 60.");
    Type(1089, "60");
    Type(1090, "60.5");
    ClickOk();
    EXPECT_TRUE(Closed()) << "seconds are checked on their whole part";
}

TEST_F(EditorTest, AnEmptyNameIsRefusedInTheUsersLanguage)
{
    const struct {
        LanguageSet language;
        const char* message;
    } cases[] = {{LanguageSet(0), "地理坐标系名字不能为空！"},
                 {LanguageSet(1), "The geographic coordinate system name is empty!"},
                 {LanguageSet(2), "The geographic coordinate system name is empty!"}};
    for (const auto& c : cases) {
        g_language = c.language;
        m_prompts.Clear();
        Open();
        Type(1070, "-12.5");
        ClickOk();
        EXPECT_FALSE(Closed());
        ASSERT_EQ(m_prompts.Messages().size(), 1u);
        EXPECT_EQ(m_prompts.Messages()[0].text, c.message);
        EXPECT_EQ(Text(1070), "-12.5") << "the user's input stays";
    }
}

TEST_F(EditorTest, AnExistingNameAsksBeforeOverwriting)
{
    g_geogSystems["Xian 1980"] = "GEOGCS[\"Xian 1980\"]";
    Open();
    Type(1036, "Xian 1980");
    m_prompts.AnswerMessage(IDNO);
    ClickOk();
    EXPECT_FALSE(Closed());
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].text, "This geographic coordinate systems is exist, overwrite?");
    EXPECT_EQ(m_prompts.Messages()[0].caption, "ProjDlg");
    EXPECT_EQ(m_prompts.Messages()[0].style, UINT(0x24));
    m_prompts.AnswerMessage(IDYES);
    ClickOk();
    EXPECT_TRUE(Closed());
    EXPECT_EQ(m_dialog->GetSystemName(), "Xian 1980");
}

TEST_F(EditorTest, TheWktNamesTheChoicesAndAlwaysCarriesTheShift)
{
    Open();
    Type(1036, "My WGS");
    Choose(1084, "D_WGS_1984");
    Choose(1085, "grad");
    Choose(1087, "Paris");
    ClickOk();
    ASSERT_TRUE(Closed());
    OsrHandle srs = Result();
    EXPECT_EQ(AttrValue(srs.get(), "GEOGCS"), "My WGS");
    EXPECT_EQ(AttrValue(srs.get(), "SPHEROID"), "WGS 84");
    EXPECT_EQ(AttrValue(srs.get(), "PRIMEM"), "Paris");
    char* unit = nullptr;
    EXPECT_NEAR(OSRGetAngularUnits(srs.get(), &unit), M_PI / 200, 1e-15);
    EXPECT_STREQ(unit, "grad");
    double shift[7] = {1, 1, 1, 1, 1, 1, 1};
    ASSERT_EQ(OSRGetTOWGS84(srs.get(), shift, 7), OGRERR_NONE) << "TOWGS84 is always written";
    for (double v : shift)
        EXPECT_EQ(v, 0.0);
    EXPECT_NE(m_dialog->GetWKT().find("TOWGS84[0,0,0,0,0,0,0]"), std::string::npos);
    // GDAL 3 files the ESRI name "D_WGS_1984" under the datum's own name.
    EXPECT_EQ(AttrValue(srs.get(), "DATUM"), "WGS_1984") << m_dialog->GetWKT();
}

TEST_F(EditorTest, TheShiftIsWrittenInItsOrder)
{
    Open();
    Type(1036, "Shifted");
    const char* values[7] = {"-15", "153", "94", "0.1", "-0.2", "0.3", "1.5"};
    const int ids[7] = {1070, 1071, 1072, 1073, 1074, 1075, 1077};
    for (int i = 0; i < 7; ++i)
        Type(ids[i], values[i]);
    ClickOk();
    ASSERT_TRUE(Closed());
    double shift[7];
    ASSERT_EQ(OSRGetTOWGS84(Result().get(), shift, 7), OGRERR_NONE);
    for (int i = 0; i < 7; ++i)
        EXPECT_NEAR(shift[i], std::stod(values[i]), 1e-12) << i;
}

TEST_F(EditorTest, AMissingTableLeavesOnlyTheCustomEntryUnselected)
{
    std::filesystem::remove(m_folder / "GDAL_Data/gdal_datum.csv");
    Open();
    EXPECT_EQ(Combo(1084)->count(), 1);
    EXPECT_EQ(Combo(1084)->itemText(0), "<Custom>");
    EXPECT_EQ(Combo(1084)->currentIndex(), -1);
    EXPECT_EQ(Combo(1067)->currentIndex(), 0) << "the other lists are loaded as usual";
    Type(1036, "No datum table");
    ClickOk();
    EXPECT_TRUE(Closed()) << "the WKT carries an empty datum name";
}

TEST_F(EditorTest, Screenshot)
{
    const char* folder = std::getenv("ORVANE_SCREENSHOT_DIR");
    if (!folder)
        GTEST_SKIP() << "set ORVANE_SCREENSHOT_DIR to save a picture of the editor";
    Open();
    Type(1036, "My local system");
    Choose(1084, "D_Beijing_1954");
    QApplication::processEvents();
    EXPECT_TRUE(m_dialog->GetWidget()->grab().save(QString(folder) + "/gcs-editor.png"));
}
