// The geographic system editor, worked through its controls, with the
// bundled tables in a module folder of its own; its WKT checked with GDAL.
#include <gtest/gtest.h>

#include <QAccessible>
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
    }
    void TearDown() override { g_language = m_savedLanguage; }

    // Opens the editor of the current language.
    CAddGCSDlg& Open()
    {
        m_dialog = std::make_unique<CAddGCSDlg>(EditorTemplateId());
        m_dialog->SetExistingSystems(&m_listed);
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
    // The systems the chooser lists, as it hands them to the editor.
    SystemCatalog m_listed;
};

}  // namespace

TEST_F(EditorTest, OpensOnTheCustomEntries)
{
    Open();
    for (int id : {CAddGCSDlg::IDC_DATUM, CAddGCSDlg::IDC_ELLIPSOID, CAddGCSDlg::IDC_ANGULAR_UNIT, CAddGCSDlg::IDC_PRIME_MERIDIAN}) {
        EXPECT_EQ(Combo(id)->currentIndex(), 0) << id;
        EXPECT_EQ(Combo(id)->currentText(), "<Custom>") << id;
        EXPECT_GT(Combo(id)->count(), 1) << id;
    }
    EXPECT_EQ(Text(CAddGCSDlg::IDC_NAME), "");
    EXPECT_EQ(Text(CAddGCSDlg::IDC_SEMI_MAJOR), "6378137");
    EXPECT_EQ(Text(CAddGCSDlg::IDC_SEMI_MINOR), "6356752.3");
    EXPECT_EQ(Text(CAddGCSDlg::IDC_INV_FLATTENING), "298.257223563");
    EXPECT_TRUE(Radio(CAddGCSDlg::IDC_INV_FLATTENING_MODE)->isChecked()) << "inverse-flattening mode";
    EXPECT_TRUE(Edit(CAddGCSDlg::IDC_SEMI_MINOR)->isReadOnly());
    EXPECT_FALSE(Edit(CAddGCSDlg::IDC_INV_FLATTENING)->isReadOnly());
    EXPECT_EQ(Text(CAddGCSDlg::IDC_RADIANS_PER_UNIT), "0.0174532925199433");
    EXPECT_FALSE(Edit(CAddGCSDlg::IDC_RADIANS_PER_UNIT)->isReadOnly());
    for (int id : {CAddGCSDlg::IDC_MERIDIAN_DEGREES, CAddGCSDlg::IDC_MERIDIAN_MINUTES, CAddGCSDlg::IDC_MERIDIAN_SECONDS}) {
        EXPECT_EQ(Text(id), "0");
        EXPECT_FALSE(Edit(id)->isReadOnly());
    }
    for (int id : {CAddGCSDlg::IDC_SHIFT_DX, CAddGCSDlg::IDC_SHIFT_DY, CAddGCSDlg::IDC_SHIFT_DZ, CAddGCSDlg::IDC_SHIFT_RX, CAddGCSDlg::IDC_SHIFT_RY, CAddGCSDlg::IDC_SHIFT_RZ, CAddGCSDlg::IDC_SHIFT_SCALE})
        EXPECT_EQ(Text(id), "0");
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_F(EditorTest, ADatumFromTheTableLocksItsEllipsoid)
{
    Open();
    Choose(CAddGCSDlg::IDC_DATUM, "D_Beijing_1954");
    EXPECT_EQ(Combo(CAddGCSDlg::IDC_ELLIPSOID)->currentText(), "Krassowsky 1940");
    EXPECT_FALSE(Combo(CAddGCSDlg::IDC_ELLIPSOID)->isEnabled());
    EXPECT_EQ(Text(CAddGCSDlg::IDC_SEMI_MAJOR), "6378245");
    EXPECT_EQ(Text(CAddGCSDlg::IDC_INV_FLATTENING), "298.3");
    for (int id : {CAddGCSDlg::IDC_SEMI_MAJOR, CAddGCSDlg::IDC_SEMI_MINOR, CAddGCSDlg::IDC_INV_FLATTENING})
        EXPECT_TRUE(Edit(id)->isReadOnly()) << id;
    EXPECT_FALSE(Radio(CAddGCSDlg::IDC_SEMI_MINOR_MODE)->isEnabled());
    EXPECT_FALSE(Radio(CAddGCSDlg::IDC_INV_FLATTENING_MODE)->isEnabled());

    Choose(CAddGCSDlg::IDC_DATUM, "<Custom>");
    EXPECT_EQ(Combo(CAddGCSDlg::IDC_ELLIPSOID)->currentText(), "<Custom>");
    EXPECT_TRUE(Combo(CAddGCSDlg::IDC_ELLIPSOID)->isEnabled());
    EXPECT_EQ(Text(CAddGCSDlg::IDC_SEMI_MAJOR), "6378137");
    EXPECT_FALSE(Edit(CAddGCSDlg::IDC_SEMI_MAJOR)->isReadOnly());
    EXPECT_TRUE(Radio(CAddGCSDlg::IDC_SEMI_MINOR_MODE)->isEnabled());

    // The table gives Bessel 1841's inverse flattening alone: its semi-minor
    // axis is shown worked out, not as 0.
    Choose(CAddGCSDlg::IDC_ELLIPSOID, "Bessel 1841");
    EXPECT_NEAR(std::stod(Text(CAddGCSDlg::IDC_SEMI_MINOR)), 6356078.963, 1e-3);
    EXPECT_TRUE(Radio(CAddGCSDlg::IDC_INV_FLATTENING_MODE)->isChecked());
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
    Choose(CAddGCSDlg::IDC_ELLIPSOID, "Airy 1830");
    const std::string semiMajor = Text(CAddGCSDlg::IDC_SEMI_MAJOR);
    Choose(CAddGCSDlg::IDC_DATUM, "D_Beijing_1954");
    EXPECT_EQ(Combo(CAddGCSDlg::IDC_ELLIPSOID)->currentText(), "<Custom>");
    EXPECT_TRUE(Combo(CAddGCSDlg::IDC_ELLIPSOID)->isEnabled());
    EXPECT_EQ(Text(CAddGCSDlg::IDC_SEMI_MAJOR), semiMajor) << "the axes keep their values";
    EXPECT_FALSE(Edit(CAddGCSDlg::IDC_SEMI_MAJOR)->isReadOnly());
}

TEST_F(EditorTest, SemiMinorModeComposesTheInverseFlattening)
{
    Open();
    Type(CAddGCSDlg::IDC_NAME, "Semi-minor system");
    QTest::mouseClick(Radio(CAddGCSDlg::IDC_SEMI_MINOR_MODE), Qt::LeftButton);
    EXPECT_FALSE(Edit(CAddGCSDlg::IDC_SEMI_MINOR)->isReadOnly());
    EXPECT_TRUE(Edit(CAddGCSDlg::IDC_INV_FLATTENING)->isReadOnly());
    Type(CAddGCSDlg::IDC_SEMI_MAJOR, "6378137.0");
    Type(CAddGCSDlg::IDC_SEMI_MINOR, "6356752.3");
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
    Type(CAddGCSDlg::IDC_NAME, "Sphere");
    QTest::mouseClick(Radio(CAddGCSDlg::IDC_SEMI_MINOR_MODE), Qt::LeftButton);
    Type(CAddGCSDlg::IDC_SEMI_MAJOR, "6371000");
    Type(CAddGCSDlg::IDC_SEMI_MINOR, "6371000");
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
        Choose(CAddGCSDlg::IDC_PRIME_MERIDIAN, c.name);
        EXPECT_EQ(Text(CAddGCSDlg::IDC_MERIDIAN_DEGREES), c.d);
        EXPECT_EQ(Text(CAddGCSDlg::IDC_MERIDIAN_MINUTES), c.m);
        EXPECT_NEAR(std::stod(Text(CAddGCSDlg::IDC_MERIDIAN_SECONDS)), c.seconds, 0.05);
        for (int id : {CAddGCSDlg::IDC_MERIDIAN_DEGREES, CAddGCSDlg::IDC_MERIDIAN_MINUTES, CAddGCSDlg::IDC_MERIDIAN_SECONDS})
            EXPECT_TRUE(Edit(id)->isReadOnly());
        Type(CAddGCSDlg::IDC_NAME, std::string("Meridian ") + c.name);
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
    Type(CAddGCSDlg::IDC_NAME, "Validated");
    Type(CAddGCSDlg::IDC_MERIDIAN_DEGREES, "181");
    ClickOk();
    EXPECT_FALSE(Closed());
    Type(CAddGCSDlg::IDC_MERIDIAN_DEGREES, "-180");
    Type(CAddGCSDlg::IDC_MERIDIAN_MINUTES, "61");
    ClickOk();
    EXPECT_FALSE(Closed());
    ASSERT_EQ(m_prompts.Messages().size(), 2u);
    EXPECT_EQ(m_prompts.Messages()[0].text, "Please enter an integer between -180 and 180.");
    EXPECT_EQ(m_prompts.Messages()[1].text, "Please enter an integer between 0 and 60.");
    Type(CAddGCSDlg::IDC_MERIDIAN_MINUTES, "60");
    Type(CAddGCSDlg::IDC_MERIDIAN_SECONDS, "60.5");
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
        Type(CAddGCSDlg::IDC_SHIFT_DX, "-12.5");
        ClickOk();
        EXPECT_FALSE(Closed());
        ASSERT_EQ(m_prompts.Messages().size(), 1u);
        EXPECT_EQ(m_prompts.Messages()[0].text, c.message);
        EXPECT_EQ(Text(CAddGCSDlg::IDC_SHIFT_DX), "-12.5") << "the user's input stays";
    }
}

TEST_F(EditorTest, AnExistingNameAsksBeforeOverwriting)
{
    m_listed["Xian 1980"] = "GEOGCS[\"Xian 1980\"]";
    Open();
    Type(CAddGCSDlg::IDC_NAME, "Xian 1980");
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

TEST_F(EditorTest, TheWktNamesTheChoicesAndATableDatumCarriesNoInventedShift)
{
    Open();
    Type(CAddGCSDlg::IDC_NAME, "My WGS");
    Choose(CAddGCSDlg::IDC_DATUM, "D_WGS_1984");
    Choose(CAddGCSDlg::IDC_ANGULAR_UNIT, "grad");
    Choose(CAddGCSDlg::IDC_PRIME_MERIDIAN, "Paris");
    ClickOk();
    ASSERT_TRUE(Closed());
    OsrHandle srs = Result();
    EXPECT_EQ(AttrValue(srs.get(), "GEOGCS"), "My WGS");
    EXPECT_EQ(AttrValue(srs.get(), "SPHEROID"), "WGS 84");
    EXPECT_EQ(AttrValue(srs.get(), "PRIMEM"), "Paris");
    char* unit = nullptr;
    EXPECT_NEAR(OSRGetAngularUnits(srs.get(), &unit), M_PI / 200, 1e-15);
    EXPECT_STREQ(unit, "grad");
    // The table's rows hold no shift: zeros would say the datum is WGS 84.
    EXPECT_EQ(m_dialog->GetWKT().find("TOWGS84"), std::string::npos) << m_dialog->GetWKT();
    EXPECT_TRUE(Edit(CAddGCSDlg::IDC_SHIFT_DX)->isReadOnly());
    // GDAL 3 files the ESRI name "D_WGS_1984" under the datum's own name.
    EXPECT_EQ(AttrValue(srs.get(), "DATUM"), "WGS_1984") << m_dialog->GetWKT();
}

TEST_F(EditorTest, TheShiftIsWrittenInItsOrder)
{
    Open();
    Type(CAddGCSDlg::IDC_NAME, "Shifted");
    const char* values[7] = {"-15", "153", "94", "0.1", "-0.2", "0.3", "1.5"};
    const int ids[7] = {CAddGCSDlg::IDC_SHIFT_DX, CAddGCSDlg::IDC_SHIFT_DY, CAddGCSDlg::IDC_SHIFT_DZ, CAddGCSDlg::IDC_SHIFT_RX, CAddGCSDlg::IDC_SHIFT_RY, CAddGCSDlg::IDC_SHIFT_RZ, CAddGCSDlg::IDC_SHIFT_SCALE};
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
    EXPECT_EQ(Combo(CAddGCSDlg::IDC_DATUM)->count(), 1);
    EXPECT_EQ(Combo(CAddGCSDlg::IDC_DATUM)->itemText(0), "<Custom>");
    EXPECT_EQ(Combo(CAddGCSDlg::IDC_DATUM)->currentIndex(), -1);
    EXPECT_EQ(Combo(CAddGCSDlg::IDC_ELLIPSOID)->currentIndex(), 0) << "the other lists are loaded as usual";
    Type(CAddGCSDlg::IDC_NAME, "No datum table");
    ClickOk();
    EXPECT_TRUE(Closed()) << "the WKT carries an empty datum name";
}

TEST_F(EditorTest, AnImpossibleDefinitionIsRefusedWithItsReason)
{
    g_language = LANGUAGE_SIMPLIFIED_CHINESE;
    Open();
    Type(CAddGCSDlg::IDC_NAME, "Impossible");
    Radio(CAddGCSDlg::IDC_INV_FLATTENING_MODE)->click();
    Type(CAddGCSDlg::IDC_INV_FLATTENING, "-3");
    ClickOk();
    EXPECT_FALSE(Closed());
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].text, "扁率倒数必须为 0（球体）或大于 1！");
}

// Each field is named by its own label, as a screen reader says it: a unit
// sign names the field before it, a radio button the field beside it.
TEST_F(EditorTest, EveryFieldIsNamedByItsOwnLabelAndTabGoesDownTheColumns)
{
    Open();
    const std::pair<int, const char*> names[] = {
        {CAddGCSDlg::IDC_NAME, "Name"},
        {CAddGCSDlg::IDC_SEMI_MAJOR, "Semi-major axis"},
        {CAddGCSDlg::IDC_SEMI_MINOR, "Semi-minor axis"},
        {CAddGCSDlg::IDC_INV_FLATTENING, "Inverse flattening"},
        {CAddGCSDlg::IDC_SHIFT_DX, "X translation (m)"},
        {CAddGCSDlg::IDC_SHIFT_RX, "X rotation (arc-seconds)"},
        {CAddGCSDlg::IDC_SHIFT_SCALE, "Scale difference (ppm)"},
        {CAddGCSDlg::IDC_RADIANS_PER_UNIT, "Radians per unit"},
        {CAddGCSDlg::IDC_MERIDIAN_DEGREES, "Longitude °"},
        {CAddGCSDlg::IDC_MERIDIAN_MINUTES, "Longitude ′"},
        {CAddGCSDlg::IDC_MERIDIAN_SECONDS, "Longitude ″"},
    };
    for (const auto& [id, name] : names) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(m_dialog->FindControl(id));
        ASSERT_NE(accessible, nullptr) << name;
        EXPECT_EQ(accessible->text(QAccessible::Name).toStdString(), name) << id;
    }
    // Down the translations, then down the rotations.
    const int order[] = {CAddGCSDlg::IDC_SHIFT_DX, CAddGCSDlg::IDC_SHIFT_DY, CAddGCSDlg::IDC_SHIFT_DZ,
                         CAddGCSDlg::IDC_SHIFT_RX, CAddGCSDlg::IDC_SHIFT_RY, CAddGCSDlg::IDC_SHIFT_RZ,
                         CAddGCSDlg::IDC_SHIFT_SCALE};
    const auto nextTabStop = [](QWidget* widget) {
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus));
        return widget;
    };
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        EXPECT_EQ(nextTabStop(m_dialog->FindControl(order[i])), m_dialog->FindControl(order[i + 1])) << i;
}
