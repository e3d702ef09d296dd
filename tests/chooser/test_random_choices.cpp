// Random sessions of a user at the chooser: open it on some system, take
// random actions through the controls (kind, category, zone, geographic
// system, method, parameter edits, unit, metres per unit, a search, a recent
// system, an import, Save as .prj), press OK. An oracle that knows only what
// the dialog displays and what was taken last composes the expected system on
// its own, and every result (saved or handed back) must be it: the very text
// taken when nothing shown changed since, else the system the display
// describes, under EPSG's name and code or under no borrowed one.
// ORVANE_RANDOM_SEED=n replays one failing session.
#include <QLineEdit>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <random>

#include "catalog/GeogCatalog.h"
#include "chooser/ChooserFixture.h"
#include "search/RecentSystems.h"
#include "search_ui/SearchPopup.h"
#include "util/NumberText.h"
#include "util/Text.h"

namespace {

std::string Wkt(const std::string& definition, const char* format = nullptr)
{
    OsrHandle srs(OSRNewSpatialReference(nullptr));
    OSRSetFromUserInput(srs.get(), definition.c_str());
    char* text = nullptr;
    const char* options[] = {format, "MULTILINE=NO", nullptr};
    if (format)
        OSRExportToWktEx(srs.get(), &text, options);
    else
        OSRExportToWkt(srs.get(), &text);
    const GdalTextHandle owned(text);
    return text ? text : "";
}

// Systems a host hands in or a user imports.
const std::vector<std::string>& Pool()
{
    static const std::vector<std::string> pool = [] {
        std::vector<std::string> p;
        for (const char* code : {"EPSG:4326", "EPSG:4610", "EPSG:32633", "EPSG:32750", "EPSG:2056", "EPSG:3857",
                                 "EPSG:2065", "EPSG:27700", "EPSG:2154", "EPSG:26911", "ESRI:54030", "ESRI:102470",
                                 "EPSG:2334", "EPSG:21480"})
            p.push_back(Wkt(code));
        for (const char* code : {"EPSG:8857", "EPSG:32633", "EPSG:6244"})
            p.push_back(Wkt(code, "FORMAT=WKT2_2019"));
        p.push_back(Wkt("EPSG:26332", "FORMAT=WKT1_ESRI"));
        p.push_back("GEOGCS[\"Xian 1980\",DATUM[\"Xian_1980\",SPHEROID[\"IAG 1975\",6378140,298.257],"
                    "TOWGS84[24,-123,-94,0,0,0,0]],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]");
        // A user's datum shift on WGS 84's own datum, geographic and under a
        // UTM zone's text: nothing may trade it for EPSG's definition.
        const std::string shifted = "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563],"
                                    "TOWGS84[10,20,30,0,0,0,0]],PRIMEM[\"Greenwich\",0],"
                                    "UNIT[\"degree\",0.0174532925199433]]";
        p.push_back(shifted);
        std::string zone = Wkt("EPSG:32631");
        zone.replace(zone.find("GEOGCS["), zone.find(",PROJECTION[") - zone.find("GEOGCS["), shifted);
        p.push_back(zone);
        p.push_back("PROJCS[\"Furlong grid\",GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,"
                    "298.257223563]],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]],"
                    "PROJECTION[\"Transverse_Mercator\"],PARAMETER[\"latitude_of_origin\",0],"
                    "PARAMETER[\"central_meridian\",9],PARAMETER[\"scale_factor\",1],PARAMETER[\"false_easting\",500],"
                    "PARAMETER[\"false_northing\",0],UNIT[\"Furlong\",201.168]]");
        return p;
    }();
    return pool;
}

// What the dialog displays, as text: two equal displays are the same choice.
struct Display {
    std::vector<std::string> texts;
    bool operator==(const Display& other) const { return texts == other.texts; }
};

class RandomChoices : public ChooserTest {
protected:
    QLineEdit* Field() { return qobject_cast<QLineEdit*>(Dlg().FindControl(IDC_SEARCH)); }

    Display Shown()
    {
        Display d;
        for (int id : {IDC_SYSTEM_KIND, IDC_PROJ_CATEGORY, IDC_GEOG_SYSTEM, IDC_ZONE, IDC_PROJ_METHOD, IDC_UNIT})
            d.texts.push_back(std::to_string(Combo(id)->currentIndex()) + ":" + Current(id));
        for (const auto& [name, value] : Parameters())
            d.texts.push_back(name + "=" + value);
        d.texts.push_back(Factor()->text().toStdString());
        return d;
    }

    // A system taken whole: what an unchanged display hands back.
    void Took(const std::string& wkt)
    {
        m_taken = wkt;
        m_takenDisplay = Shown();
        m_takenMethod = Current(IDC_PROJ_METHOD);
        m_log += " [took " + wkt.substr(0, 40) + "]";
    }

    // The geographic systems the dialog can list: the catalogue's, and what
    // each taken system brought along.
    void Listed(const std::string& wkt)
    {
        OsrHandle srs = NewSpatialReference(wkt);
        if (!srs)
            return;
        std::string name = AttrValue(srs.get(), "GEOGCS");
        if (name.empty()) {
            OsrHandle geographic(OSRCloneGeogCS(srs.get()));
            name = OSRGetName(geographic.get()) ? OSRGetName(geographic.get()) : "";
        }
        if (name.rfind("GCS_", 0) == 0)
            name.erase(0, 4);
        if (name.empty())
            name = "UNNAMED GCS";
        OsrHandle geographic(OSRNewSpatialReference(nullptr));
        OSRCopyGeogCSFrom(geographic.get(), srs.get());
        if (!m_catalogue.count(name))
            m_catalogue[name] = ExportToWkt(geographic.get());
        m_takenGeogName = name;
        m_takenGeog = ExportToWkt(geographic.get());
    }

    // ---- the oracle ----

    // The system the display describes, as WKT1 means it; empty with `refused`
    // set when it describes none.
    std::string Expected(bool& refused)
    {
        refused = true;
        const bool projected = Current(IDC_SYSTEM_KIND) == "Projected Coordinate System";
        const std::string geogName = Current(IDC_GEOG_SYSTEM);
        std::string geogcs;
        if (!m_taken.empty() && geogName == m_takenGeogName)
            geogcs = m_takenGeog;
        else if (m_catalogue.count(geogName))
            geogcs = m_catalogue[geogName];
        if (NewSpatialReference(geogcs) == nullptr)
            return "";
        if (!projected) {
            refused = false;
            // A taken geographic system is itself while its entry is shown.
            OsrHandle taken = NewSpatialReference(m_taken);
            return taken && OSRIsGeographic(taken.get()) && geogName == m_takenGeogName ? m_taken : geogcs;
        }
        std::string method = Current(IDC_PROJ_METHOD);
        std::string axes;
        const int category = Combo(IDC_PROJ_CATEGORY)->currentIndex();
        if (category == kUtmCategoryPosition) {
            method = "Transverse_Mercator";
        } else if (category == kBeijing1954CategoryPosition || category == kXian1980CategoryPosition) {
            SystemCatalog zones;
            LoadCatalogSection(category == kBeijing1954CategoryPosition ? kBeijing1954Section : kXian1980Section,
                               zones);
            if (!zones.count(Current(IDC_ZONE)))
                return "";
            OsrHandle zone = NewSpatialReference(zones[Current(IDC_ZONE)]);
            method = AttrValue(zone.get(), "PROJECTION");
            geogcs = ExportToWkt(OsrHandle(OSRCloneGeogCS(zone.get())).get());
            axes = AxesOf(zone.get());
        }
        OsrHandle taken = NewSpatialReference(m_taken);
        if (taken && OSRIsProjected(taken.get()) && Current(IDC_PROJ_METHOD) == m_takenMethod)
            axes = AxesOf(taken.get());
        std::string wkt = "PROJCS[\"x\"," + geogcs + ",PROJECTION[\"" + method + "\"]";
        for (const auto& [name, text] : Parameters()) {
            double value = 0.0;
            if (!ParseWholeDouble(text, value))
                return "";
            wkt += ",PARAMETER[\"" + name + "\"," + FormatGeneral(value, 17) + "]";
        }
        double factor = 0.0;
        if (!ParseWholeDouble(Factor()->text().toStdString(), factor) || !(factor > 0))
            return "";
        // A read-only factor shows the unit's own, rounded for the eye.
        const std::vector<RefEntry>& units = Dlg().GetChoice().catalogues.units;
        const int unit = Combo(IDC_UNIT)->currentIndex();
        if (unit > 0)
            factor = units[static_cast<std::size_t>(unit)].value;
        wkt += ",UNIT[\"" + Current(IDC_UNIT) + "\"," + FormatGeneral(factor, 17) + "]" + axes + "]";
        if (category == kUtmCategoryPosition) {
            double meridian = 0.0;
            for (const auto& [name, text] : Parameters())
                if (name == "central_meridian")
                    ParseWholeDouble(text, meridian);
            const int zone = UtmZoneOfMeridian(meridian);
            if (zone < 1 || zone > 60)
                return "";
        }
        refused = false;
        return wkt;
    }

    static std::string AxesOf(OGRSpatialReferenceH srs)
    {
        std::string axes;
        for (int i = 0; i < 2; ++i) {
            OGRAxisOrientation o = OAO_Other;
            const char* name = OSRGetAxis(srs, "PROJCS", i, &o);
            if (!name)
                return "";
            axes += ",AXIS[\"" + std::string(name) + "\"," + OSRAxisEnumToName(o) + "]";
        }
        return axes;
    }

    // The TOWGS84 terms a system's datum carries, as its text gives them.
    static std::vector<std::string> ShiftTerms(OGRSpatialReferenceH srs)
    {
        std::vector<std::string> terms;
        for (int i = 0; i < 7; ++i) {
            const char* term = OSRGetAttrValue(srs, "TOWGS84", i);
            if (!term)
                break;
            terms.push_back(FormatGeneral(CPLAtof(term), 15));
        }
        return terms;
    }

    // Whether PROJ computes with a system: some point goes there.
    static bool Computes(OGRSpatialReferenceH srs)
    {
        OsrHandle geographic(OSRCloneGeogCS(srs));
        OsrHandle system(OSRClone(srs));
        for (OGRSpatialReferenceH s : {system.get(), geographic.get()})
            OSRSetAxisMappingStrategy(s, OAMS_TRADITIONAL_GIS_ORDER);
        QuietGdalErrors quiet;
        OGRCoordinateTransformationH forward = OCTNewCoordinateTransformation(geographic.get(), system.get());
        if (!forward)
            return false;
        bool computed = false;
        for (const auto& [lon, lat] : {std::pair<double, double>{0.5, 0.5}, {10, 45}, {-10, -45}, {117, 30}, {8, 47}}) {
            double x = lon, y = lat;
            computed = computed || (OCTTransform(forward, 1, &x, &y, nullptr) && std::isfinite(x) && std::isfinite(y));
        }
        OCTDestroyCoordinateTransformation(forward);
        return computed;
    }

    // Checks a result (a saved file's text, or what OK handed back) against
    // the display; `given` empty: the dialog refused.
    void Check(const std::string& given, const char* what)
    {
        SCOPED_TRACE(std::string(what) + m_log);
        if (!m_taken.empty() && Shown() == m_takenDisplay) {
            EXPECT_EQ(given, m_taken) << "nothing shown changed: the text taken, as it was";
            return;
        }
        bool refused = false;
        const std::string expected = Expected(refused);
        OsrHandle expectedSrs = NewSpatialReference(expected);
        if (refused || !expectedSrs || !Computes(expectedSrs.get())) {
            // Some systems PROJ computes with on the way there but not back;
            // what the dialog refuses, the display must not describe usably.
            if (!given.empty()) {
                EXPECT_FALSE(refused) << "handed back what the display cannot describe: " << given;
            }
            return;
        }
        ASSERT_FALSE(given.empty()) << "refused a usable display: " << expected << "\n" << LastReason();
        OsrHandle result = NewSpatialReference(given);
        ASSERT_NE(result, nullptr) << given;
        const char* sameness[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES",
                                  "CRITERION=EQUIVALENT_EXCEPT_AXIS_ORDER_GEOGCRS", nullptr};
        EXPECT_TRUE(OSRIsSameEx(result.get(), expectedSrs.get(), sameness))
            << "the display: " << expected << "\nhanded back: " << given;
        // The screen's geographic side, read off the summary, is the
        // result's; and the datum shift of the system it shows is the
        // result's, term by term (GDAL's sameness overlooks a shift).
        // (A WKT2 result's names are read from its geographic part in WKT1,
        // as the summary reads them.)
        const OsrHandle geographic = NewSpatialReference(ExportToWkt(OsrHandle(OSRCloneGeogCS(result.get())).get()));
        ASSERT_NE(geographic, nullptr) << given;
        for (const std::string& line : TextLines(Summary())) {
            for (const char* key : {"Datum", "Spheroid"}) {
                const std::string label = std::string(key) + ": ";
                if (line.rfind(label, 0) == 0) {
                    EXPECT_EQ(AttrValue(geographic.get(), key[0] == 'D' ? "DATUM" : "SPHEROID"),
                              line.substr(label.size()))
                        << "the summary says " << line << "; handed back: " << given;
                }
            }
        }
        EXPECT_EQ(ShiftTerms(geographic.get()), ShiftTerms(expectedSrs.get()))
            << "the display: " << expected << "\nhanded back: " << given;
        // A name never claims what the system is not.
        const char* code = OSRGetAuthorityCode(result.get(), nullptr);
        const char* authority = OSRGetAuthorityName(result.get(), nullptr);
        const std::string name = SystemNameOf(result.get()) ? SystemNameOf(result.get()) : "";
        if (code && authority && std::string(authority) == "EPSG") {
            OsrHandle epsg(OSRNewSpatialReference(nullptr));
            OSRImportFromEPSG(epsg.get(), std::atoi(code));
            EXPECT_TRUE(OSRIsSameEx(result.get(), epsg.get(), sameness)) << "not EPSG:" << code;
            EXPECT_EQ(name, SystemNameOf(epsg.get()));
        } else if (OSRIsProjected(result.get())) {
            EXPECT_TRUE(name == "<Custom Projection Coordinate System>" || name.rfind("UTM Zone ", 0) == 0) << name;
        }
    }

    // ---- the user ----

    int Pick(int count) { return static_cast<int>(m_random() % static_cast<unsigned>(count)); }

    void ChooseAny(int id)
    {
        QComboBox* combo = Combo(id);
        if (!combo->isEnabled() || combo->count() == 0)
            return;
        const int index = Pick(combo->count());
        m_log += " [" + std::to_string(id) + ":" + std::to_string(index) + "]";
        ChooseComboEntry(combo, index);
    }

    void EditAnyParameter()
    {
        if (!Enabled(IDC_PARAMETERS) || Dlg().GetParameterList().IsReadOnly() || Parameters().empty())
            return;
        const auto rows = Parameters();
        const std::string name = rows[static_cast<std::size_t>(Pick(static_cast<int>(rows.size())))].first;
        const char* values[] = {"0", "1", "0.9996", "45", "-30", "30", "500000", "117", "abc", "1e3", "10000000"};
        const std::string value = values[Pick(11)];
        m_log += " [" + name + "=" + value + "]";
        EditParameter(name, value);
    }

    void TypeFactor()
    {
        if (Factor()->isReadOnly() || !Enabled(IDC_UNIT_FACTOR))
            return;
        const char* values[] = {"0.3048", "2", "0", "x"};
        const std::string value = values[Pick(4)];
        m_log += " [factor=" + value + "]";
        Factor()->selectAll();
        QTest::keyClicks(Factor(), QString::fromStdString(value));
    }

    void Search()
    {
        const char* codes[] = {"32650", "4326", "3857", "2056", "27700", "4490"};
        const std::string code = codes[Pick(6)];
        m_log += " [search " + code + "]";
        Field()->setFocus(Qt::OtherFocusReason);
        Field()->clear();
        QTest::keyClicks(Field(), QString::fromStdString(code));
        QTest::keyClick(Field(), Qt::Key_Return);
        const std::string wkt = Wkt("EPSG:" + code);
        Listed(wkt);
        Took(wkt);
    }

    void TakeRecent()
    {
        const std::vector<std::string> recent = ReadRecentSystems(RecentSystemsPath());
        if (recent.empty())
            return;
        m_log += " [recent]";
        Field()->setFocus(Qt::OtherFocusReason);
        Field()->clear();
        QTest::keyClick(Field(), Qt::Key_Down);  // the list opens, nothing chosen
        QTest::keyClick(Field(), Qt::Key_Down);  // the most recent chosen
        QTest::keyClick(Field(), Qt::Key_Return);
        Listed(recent[0]);
        Took(recent[0]);
    }

    void Import()
    {
        const std::string wkt = Pool()[static_cast<std::size_t>(Pick(static_cast<int>(Pool().size())))];
        m_log += " [import]";
        WriteFile(m_files / "import.prj", wkt);
        m_prompts.ClearAnswers();
        m_prompts.AnswerFile(m_files / "import.prj");
        Click(IDC_IMPORT);
        Listed(wkt);
        Took(wkt);
    }

    void Save()
    {
        m_log += " [save]";
        std::remove((m_files / "saved.prj").c_str());
        m_prompts.Clear();
        m_prompts.ClearAnswers();
        m_prompts.AnswerFile(m_files / "saved.prj");
        Click(IDC_SAVE_PRJ);
        const bool saved = !m_prompts.FileDialogs().empty();
        for (const MessagePrompt& m : m_prompts.Messages())
            m_log += " [said " + m.text + "]";

        Check(saved ? ReadFile(m_files / "saved.prj") : std::string(), "Save as .prj");
    }

    void OpenOn(const std::string& wkt)
    {
        m_catalogue.clear();
        LoadCatalogSection(kGeogSection, m_catalogue);
        m_taken.clear();
        m_takenGeogName.clear();
        Open(wkt);
        m_takenMethod.clear();
        if (!wkt.empty()) {
            Listed(wkt);
            Took(wkt);
        }
    }

    void Session(unsigned seed)
    {
        m_random.seed(seed);
        m_log = " seed " + std::to_string(seed) + ":";
        m_prompts.Clear();
        OpenOn(Pick(4) == 0 ? std::string() : Pool()[static_cast<std::size_t>(Pick(static_cast<int>(Pool().size())))]);
        const int actions = 1 + Pick(10);
        for (int a = 0; a < actions; ++a) {
            switch (Pick(12)) {
            case 0: ChooseAny(IDC_SYSTEM_KIND); break;
            case 1: ChooseAny(IDC_PROJ_CATEGORY); break;
            case 2: ChooseAny(IDC_ZONE); break;
            case 3: ChooseAny(IDC_GEOG_SYSTEM); break;
            case 4: ChooseAny(IDC_PROJ_METHOD); break;
            case 5: EditAnyParameter(); break;
            case 6: ChooseAny(IDC_UNIT); break;
            case 7: TypeFactor(); break;
            case 8: Search(); break;
            case 9: TakeRecent(); break;
            case 10: Import(); break;
            default: Save(); break;
            }
        }
        m_prompts.Clear();
        const bool accepted = PressOk();
        Check(accepted ? ResultWkt() : std::string(), "OK");
    }

    TempDir m_files{"orvane random"};
    std::mt19937 m_random;
    std::string m_log;
    SystemCatalog m_catalogue;
    std::string m_taken, m_takenGeogName, m_takenGeog, m_takenMethod;
    Display m_takenDisplay;
};

}  // namespace

// A few hundred sessions here; the test command's fuzzing step runs the long
// form, sessions from ORVANE_RANDOM_FIRST on for ORVANE_RANDOM_SECONDS.
TEST_F(RandomChoices, WhatOkHandsBackIsWhatTheDialogShows)
{
    if (const char* seed = std::getenv("ORVANE_RANDOM_SEED")) {
        Session(static_cast<unsigned>(std::strtoul(seed, nullptr, 10)));
        return;
    }
#ifdef ORVANE_SANITIZED
    unsigned sessions = 60;
#else
    unsigned sessions = 100;
#endif
    unsigned first = 1;
    double seconds = 0;  // none: `sessions` sessions
    if (const char* text = std::getenv("ORVANE_RANDOM_FIRST"))
        first = static_cast<unsigned>(std::strtoul(text, nullptr, 10));
    if (const char* text = std::getenv("ORVANE_RANDOM_SECONDS")) {
        seconds = std::strtod(text, nullptr);
        sessions = ~0u - first;
    }
    const auto started = std::chrono::steady_clock::now();
    unsigned ran = 0;
    for (unsigned s = first; ran < sessions && !HasFatalFailure(); ++s, ++ran) {
        if (seconds > 0 && std::chrono::steady_clock::now() - started > std::chrono::duration<double>(seconds))
            break;
        Session(s);
        if (HasFailure()) {
            std::printf("replay with ORVANE_RANDOM_SEED=%u\n", s);
            break;
        }
    }
    std::printf("%u random sessions from %u\n", ran, first);
}
