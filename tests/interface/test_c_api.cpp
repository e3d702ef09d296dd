// The C API against the C++ API: the same chooser worked the same way gives
// the same result, the same queries the same answers.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QMainWindow>
#include <QTest>
#include <thread>
#include <ogr_spatialref.h>

#include "catalog/PredefinedSystems.h"
#include "chooser/ProjectionDlg.h"
#include "interface/Orvane.h"
#include "interface/OrvaneCatalog.h"
#include "interface/OrvaneReference.h"
#include "interface/OrvaneSearch.h"
#include "interface/orvane.h"
#include "module/GdalSupport.h"
#include "module/Language.h"
#include "support/TestSupport.h"

namespace {

struct CText {
    char* text;
    ~CText() { orvane_free(text); }
    std::string Str() const { return text ? text : "(null)"; }
};

struct Chooser {
    orvane_chooser* handle;
    ~Chooser() { orvane_chooser_destroy(handle); }
};

struct Records {
    orvane_records* records;
    ~Records() { orvane_records_destroy(records); }
    std::string Get(size_t i, const char* field) const
    {
        const char* value = orvane_records_get(records, i, field);
        return value ? value : "(null)";
    }
};

void Press(QWidget* dialog, int id)
{
    QTest::mouseClick(qobject_cast<QAbstractButton*>(ControlOf(dialog, id)), Qt::LeftButton);
}

void ChooseUtm50North(QWidget* dialog)
{
    ChooseComboText(qobject_cast<QComboBox*>(ControlOf(dialog, IDC_SYSTEM_KIND)), "Projected Coordinate System");
    ChooseComboText(qobject_cast<QComboBox*>(ControlOf(dialog, IDC_PROJ_CATEGORY)), "Universal Transverse Mercator");
    ChooseComboEntry(qobject_cast<QComboBox*>(ControlOf(dialog, IDC_ZONE)), UtmPositionOfZone(50, true));
    Press(dialog, IDOK);
}

// Read as GDAL reads any user's text: WKT, PROJJSON, a code.
bool Same(const char* a, const char* b)
{
    OGRSpatialReference first, second;
    return a && b && first.SetFromUserInput(a) == OGRERR_NONE && second.SetFromUserInput(b) == OGRERR_NONE &&
           first.IsSame(&second);
}

class CApiTest : public ::testing::Test {
protected:
    void SetUp() override { orvane_chooser_set_language(nullptr, ORVANE_LANGUAGE_ENGLISH); }
    void TearDown() override { Orvane(nullptr).SetLanguage(LANGUAGE_SIMPLIFIED_CHINESE); }
    TempModuleFolder m_folder;
};

}  // namespace

// The exported class's cases, through the second door: each run both ways.
TEST_F(CApiTest, TheChooserGivesWhatTheExportedClassGives)
{
    const char* wgs84Wkt1 = "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563]],"
                            "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]";
    const struct {
        const char* what;
        const char* start;  // what the host hands in
        std::function<void(QWidget*)> user;
        int result;
        const char* name;
    } cases[] = {
        {"OK on the default", nullptr, [](QWidget* d) { Press(d, IDOK); }, ORVANE_OK, "WGS 84"},
        {"a composed UTM zone", "", ChooseUtm50North, ORVANE_OK, "WGS 84 / UTM zone 50N"},
        {"a WKT left alone", wgs84Wkt1, [](QWidget* d) { Press(d, IDOK); }, ORVANE_OK, "WGS 84"},
        {"Escape", wgs84Wkt1, [](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); }, ORVANE_CANCEL, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Orvane cpp(c.start);
        WhenModalShows(c.user);
        const int cppResult = cpp.DoModal();

        const Chooser chooser{orvane_chooser_create(nullptr, 0)};
        ASSERT_NE(chooser.handle, nullptr);
        EXPECT_EQ(orvane_chooser_set_wkt(chooser.handle, c.start), 1);
        WhenModalShows(c.user);
        ASSERT_EQ(orvane_chooser_run(chooser.handle), c.result);
        EXPECT_STREQ(orvane_chooser_error(chooser.handle), "");
        if (c.result != ORVANE_OK) {
            EXPECT_EQ(cppResult, 2);
            EXPECT_EQ(orvane_chooser_wkt(chooser.handle, ORVANE_FORMAT_WKT1), nullptr);
            EXPECT_EQ(orvane_chooser_name(chooser.handle), nullptr);
            continue;
        }
        ASSERT_EQ(cppResult, 1);
        EXPECT_STREQ(orvane_chooser_name(chooser.handle), c.name);
        EXPECT_STREQ(orvane_chooser_name(chooser.handle), cpp.GetSrsName());
        // WKT1 as the exported class gives it, byte for byte; the others the same system.
        EXPECT_STREQ(orvane_chooser_wkt(chooser.handle, ORVANE_FORMAT_WKT1), cpp.GetWKT());
        const std::string wkt2 = orvane_chooser_wkt(chooser.handle, ORVANE_FORMAT_WKT2);
        EXPECT_EQ(wkt2.rfind("GEOG", 0) == 0 || wkt2.rfind("PROJCRS", 0) == 0, true) << wkt2;
        EXPECT_TRUE(Same(wkt2.c_str(), cpp.GetWKT()));
        const std::string json = orvane_chooser_wkt(chooser.handle, ORVANE_FORMAT_PROJJSON);
        EXPECT_EQ(json.front(), '{');
        EXPECT_TRUE(Same(json.c_str(), cpp.GetWKT()));
        EXPECT_EQ(orvane_chooser_wkt(chooser.handle, 9), nullptr);
    }
}

TEST_F(CApiTest, TheStartingSystemIsTakenAsTheProgramTakesIt)
{
    const Chooser chooser{orvane_chooser_create(nullptr, 0)};
    // A code becomes its WKT1; the chooser shows that system, and hands it back.
    ASSERT_EQ(orvane_chooser_set_wkt(chooser.handle, "EPSG:32633"), 1);
    WhenModalShows([](QWidget* d) { Press(d, IDOK); });
    ASSERT_EQ(orvane_chooser_run(chooser.handle), ORVANE_OK);
    EXPECT_STREQ(orvane_chooser_name(chooser.handle), "WGS 84 / UTM zone 33N");
    EXPECT_TRUE(Same(orvane_chooser_wkt(chooser.handle, ORVANE_FORMAT_WKT1), "EPSG:32633"));
    // WKT2 handed in and left alone comes back as it was.
    const CText wkt2{orvane_format_reference("EPSG:25832", ORVANE_FORMAT_WKT2)};
    ASSERT_EQ(orvane_chooser_set_wkt(chooser.handle, wkt2.text), 1);
    WhenModalShows([](QWidget* d) { Press(d, IDOK); });
    ASSERT_EQ(orvane_chooser_run(chooser.handle), ORVANE_OK);
    EXPECT_STREQ(orvane_chooser_wkt(chooser.handle, ORVANE_FORMAT_WKT2), wkt2.text);
    // Not a system: refused with its reason, and the chooser opens on its default.
    EXPECT_EQ(orvane_chooser_set_wkt(chooser.handle, "no such system"), 0);
    EXPECT_STREQ(orvane_chooser_error(chooser.handle), "not a usable spatial reference");
    WhenModalShows([](QWidget* d) { Press(d, IDOK); });
    ASSERT_EQ(orvane_chooser_run(chooser.handle), ORVANE_OK);
    EXPECT_STREQ(orvane_chooser_name(chooser.handle), "WGS 84");
}

// From another thread than the application's the chooser is refused at
// once, with the reason: shown there, it would never see an event.
TEST_F(CApiTest, AnotherThreadIsRefusedNotHung)
{
    const Chooser chooser{orvane_chooser_create(nullptr, 0)};
    int result = 0;
    std::thread([&] { result = orvane_chooser_run(chooser.handle); }).join();
    EXPECT_EQ(result, ORVANE_FAILED);
    EXPECT_STREQ(orvane_chooser_error(chooser.handle),
                 "the chooser is shown only from the thread of the program's Qt application");
    EXPECT_EQ(orvane_prepare_dialogs(), 1) << "this thread's application serves";
}

// The host's window owns the dialog; a pointer that is no widget is ignored.
TEST_F(CApiTest, TheParentWidgetOwnsTheDialogAndABogusOneIsIgnored)
{
    QMainWindow host;
    host.show();
    QMainWindow other;
    int notAWidget = 0;
    const struct {
        void* parent;
        QWidget* expected;
    } cases[] = {{&host, &host}, {&notAWidget, &other}};
    for (const auto& c : cases) {
        other.show();
        QApplication::setActiveWindow(&other);
        const Chooser chooser{orvane_chooser_create(c.parent, 0)};
        QWidget* owner = reinterpret_cast<QWidget*>(1);
        WhenModalShows([&owner](QWidget* d) {
            owner = d->parentWidget();
            Press(d, IDOK);
        });
        ASSERT_EQ(orvane_chooser_run(chooser.handle), ORVANE_OK);
        // Without a usable parent the dialog belongs to the active window, as the C++ class's does.
        EXPECT_EQ(owner, c.expected);
    }
}

TEST(CApi, QueriesAnswerAsTheCppApi)
{
    const char* references[] = {"EPSG:32650", "EPSG:4326", "+proj=longlat +ellps=intl", "no such system", "", nullptr};
    for (const char* reference : references) {
        SCOPED_TRACE(reference ? reference : "(null)");
        EXPECT_EQ(CText{orvane_coord_sys_name(reference)}.Str(), Orvane::GetCoordSysName(reference));
        EXPECT_EQ(CText{orvane_datum_name(reference)}.Str(), Orvane::GetDatumName(reference));
        EXPECT_EQ(CText{orvane_spheroid_name(reference)}.Str(), Orvane::GetSpheroidName(reference));
        EXPECT_EQ(CText{orvane_projection_name(reference)}.Str(), Orvane::GetProjectionName(reference));
        EXPECT_EQ(CText{orvane_units_name(reference)}.Str(), Orvane::GetUnitsName(reference));
        OrvaneReferenceInfo info;
        const bool known = OrvaneDescribeReference(reference, info);
        const Records described{orvane_describe(reference)};
        ASSERT_EQ(orvane_records_count(described.records), 1u);
        EXPECT_EQ(described.Get(0, "name"), info.name);
        EXPECT_EQ(described.Get(0, "kind"), info.kind);
        EXPECT_EQ(described.Get(0, "kind").empty(), !known);
        EXPECT_EQ(described.Get(0, "code"), info.code);
        EXPECT_EQ(described.Get(0, "no such field"), "(null)");
        EXPECT_EQ(described.Get(1, "name"), "(null)");
    }
    const Records retired{orvane_describe("EPSG:3411")};
    EXPECT_EQ(retired.Get(0, "deprecated"), "1");
    EXPECT_EQ(retired.Get(0, "replaced_by"), "EPSG:3413");
    EXPECT_EQ(Records{orvane_describe("EPSG:4326")}.Get(0, "ensemble_accuracy"), "2");

    const std::vector<OrvaneFoundSystem> found = OrvaneFindSystems("utm 33n", 5);
    const Records records{orvane_find("utm 33n", 5)};
    ASSERT_EQ(orvane_records_count(records.records), found.size());
    for (size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(records.Get(i, "name"), found[i].name);
        EXPECT_EQ(records.Get(i, "code"), found[i].code);
        EXPECT_EQ(records.Get(i, "kind"), found[i].projected ? "projected" : "geographic");
        EXPECT_EQ(records.Get(i, "reference"), found[i].reference);
    }
    const Records at{orvane_find_at(52.52, 13.40, 3)};
    ASSERT_EQ(orvane_records_count(at.records), 3u);
    EXPECT_EQ(at.Get(0, "name"), OrvaneFindSystemsAt(52.52, 13.40, 3)[0].name);
    EXPECT_EQ(orvane_records_count(Records{orvane_find_at(91, 0, 3)}.records), 0u);
    const Records catalogue{orvane_list_geographic()};
    EXPECT_EQ(orvane_records_count(catalogue.records), OrvaneListGeogSystems().size());
    EXPECT_EQ(catalogue.Get(0, "origin"), "shipped");

    double latitude = 0, longitude = 0;
    EXPECT_EQ(orvane_parse_place("52°31'N 13°24'E", &latitude, &longitude), 1);
    EXPECT_NEAR(latitude, 52.5167, 1e-4);
    EXPECT_NEAR(longitude, 13.4, 1e-9);
    EXPECT_EQ(orvane_parse_place("berlin utm", &latitude, &longitude), 0);
    EXPECT_EQ(CText{orvane_format_reference("no such system", ORVANE_FORMAT_WKT1)}.text, nullptr);
    EXPECT_EQ(CText{orvane_database_problem()}.Str(), "");
    EXPECT_STREQ(orvane_version(), ORVANE_TEST_VERSION);
}

// Null handles and arguments give the silent defaults, never a crash.
TEST(CApi, NullsAreHarmless)
{
    EXPECT_EQ(orvane_chooser_run(nullptr), ORVANE_FAILED);
    EXPECT_EQ(orvane_chooser_set_wkt(nullptr, "EPSG:4326"), 0);
    EXPECT_EQ(orvane_chooser_wkt(nullptr, ORVANE_FORMAT_WKT1), nullptr);
    EXPECT_EQ(orvane_chooser_name(nullptr), nullptr);
    EXPECT_STREQ(orvane_chooser_error(nullptr), "no chooser");
    orvane_chooser_set_gdal_registered(nullptr, 1);
    orvane_chooser_destroy(nullptr);
    EXPECT_EQ(orvane_records_count(nullptr), 0u);
    EXPECT_EQ(orvane_records_get(nullptr, 0, "name"), nullptr);
    orvane_records_destroy(nullptr);
    EXPECT_EQ(orvane_records_count(Records{orvane_find(nullptr, 5)}.records), 0u);
    EXPECT_EQ(orvane_parse_place(nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(CText{orvane_format_reference("EPSG:4326", -1)}.text, nullptr);
    orvane_free(nullptr);
}
