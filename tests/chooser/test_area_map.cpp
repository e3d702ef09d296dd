// The map of the area of use: the area of the system chosen, of the search's
// row the user is on, and of a zone without a code, as rectangles on the map
// computed from EPSG's bounds.
#include <QLabel>
#include <clocale>
#include <QTreeView>

#include "ChooserFixture.h"
#include "catalog/PredefinedSystems.h"
#include "map/AreaMap.h"
#include "map/ChoiceArea.h"
#include "map/LandOutline.h"
#include "search_ui/SearchPopup.h"

namespace {

struct Bounds {
    double west, south, east, north;
};

// EPSG's area of `code` as PROJ's database gives it.
Bounds EpsgBounds(int code)
{
    OsrHandle srs(OSRNewSpatialReference(nullptr));
    EXPECT_EQ(OSRImportFromEPSG(srs.get(), code), OGRERR_NONE);
    Bounds b{};
    const char* name = nullptr;
    EXPECT_TRUE(OSRGetAreaOfUse(srs.get(), &b.west, &b.south, &b.east, &b.north, &name)) << code;
    return b;
}

std::string EpsgWkt(int code)
{
    OsrHandle srs(OSRNewSpatialReference(nullptr));
    EXPECT_EQ(OSRImportFromEPSG(srs.get(), code), OGRERR_NONE);
    char* text = nullptr;
    OSRExportToWkt(srs.get(), &text);
    const std::string wkt = text ? text : "";
    CPLFree(text);
    return wkt;
}

class AreaMapTest : public ChooserTest {
protected:
    AreaMap* Map() { return Dlg().GetAreaMap(); }
    QLineEdit* Field() { return qobject_cast<QLineEdit*>(Dlg().FindControl(IDC_SEARCH)); }

    // The rectangles `b` covers on the map, computed from the map's frame.
    std::vector<QRectF> Expected(const Bounds& b)
    {
        const QRectF f = Map()->MapRect();
        auto x = [&](double lon) { return f.left() + (lon + 180) / 360 * f.width(); };
        auto y = [&](double lat) { return f.top() + (90 - lat) / 180 * f.height(); };
        if (b.west <= b.east)
            return {QRectF(QPointF(x(b.west), y(b.north)), QPointF(x(b.east), y(b.south)))};
        return {QRectF(QPointF(x(b.west), y(b.north)), QPointF(x(180), y(b.south))),
                QRectF(QPointF(x(-180), y(b.north)), QPointF(x(b.east), y(b.south)))};
    }
    // Waits for the map to show `b` (the areas and codes are found off the
    // UI thread), then compares.
    void ExpectShows(const Bounds& b, bool height = false)
    {
        const std::vector<QRectF> expected = Expected(b);
        const auto Rects = [&] { return height ? Map()->HeightAreaRects() : Map()->AreaRects(); };
        auto near = [&] {
            const std::vector<QRectF> shown = Rects();
            if (shown.size() != expected.size())
                return false;
            for (std::size_t i = 0; i < shown.size(); ++i) {
                const QRectF d(shown[i].topLeft() - expected[i].topLeft(), shown[i].size() - expected[i].size());
                if (std::abs(d.x()) > 0.5 || std::abs(d.y()) > 0.5 || std::abs(d.width()) > 0.5 ||
                    std::abs(d.height()) > 0.5)
                    return false;
            }
            return true;
        };
        EXPECT_TRUE(QTest::qWaitFor(near, 5000)) << Map()->Area().name;
        ASSERT_EQ(Rects().size(), expected.size());
        EXPECT_FALSE(Map()->NameLine()->toolTip().isEmpty()) << "the area's whole name in the tooltip";
    }
};

}  // namespace

TEST_F(AreaMapTest, ShowsTheChosenSystemsAreaAndTheCandidateTheUserIsOn)
{
    // Chosen by code (handed in), then by the search (across the antimeridian).
    const struct {
        int code;
        std::size_t rectangles;
    } handedIn[] = {{32633, 1}, {2056, 1}, {3832, 2}};
    for (const auto& row : handedIn) {
        SCOPED_TRACE(row.code);
        Open(EpsgWkt(row.code));
        ExpectShows(EpsgBounds(row.code));
        EXPECT_EQ(Map()->AreaRects().size(), row.rectangles);
    }

    // Words typed at once, while the chooser still identifies what it opened on.
    Open(EpsgWkt(3832));
    QWidget* window = Field()->window();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    Field()->setFocus(Qt::OtherFocusReason);
    // The first row is on as the words find it: the map shows it before it is taken.
    QTest::keyClicks(Field(), "lv95");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Dlg().GetSearch()->List()->isVisible(); }, 5000));
    ExpectShows(EpsgBounds(2056));
    QTest::qWait(200);  // the choice's own update waits until the list closes
    ExpectShows(EpsgBounds(2056));
    // Escape: back to the system chosen.
    QTest::keyClick(Field(), Qt::Key_Escape);
    ExpectShows(EpsgBounds(3832));
    // A full list after a full list: the first row is another system, and
    // the map follows it.
    QTreeView* list = Dlg().GetSearch()->List();
    for (const char* words : {"u", "utm 33"}) {
        QTest::keyClick(Field(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(Field(), words);
        const std::string code = list->model()->index(0, 1).data().toString().toStdString();
        ASSERT_EQ(code.rfind("EPSG:", 0), 0u) << words;
        ExpectShows(EpsgBounds(std::stoi(code.substr(5))));
    }
    // A row moved to is shown at once; the row first, once typing pauses.
    const auto areaOfRow = [&](int row) {
        return list->model()->index(row, 3).data().toString().toStdString();
    };
    ASSERT_NE(areaOfRow(0), areaOfRow(1)) << "rows of two areas";
    QTest::keyClick(Field(), Qt::Key_Down);
    EXPECT_EQ(Map()->Area().name, areaOfRow(1));
    QTest::keyClick(Field(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Field(), "32633");
    QTest::keyClick(Field(), Qt::Key_Return);
    ExpectShows(EpsgBounds(32633));
    // A city typed: its systems, the first taken; the city marked on the map
    // while the list is open, and the mark gone with the list.
    QTest::keyClick(Field(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Field(), "Berlin");
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }, 5000));
    EXPECT_EQ(list->model()->index(0, 0).data().toString().toStdString(), "Systems used at Berlin (DE)");
    EXPECT_EQ(list->model()->index(1, 1).data().toString().toStdString(), "EPSG:25833");
    ExpectShows(EpsgBounds(25833));
    const std::optional<QPointF> mark = Map()->MarkerPoint();
    ASSERT_TRUE(mark.has_value());
    ASSERT_EQ(Map()->AreaRects().size(), 1u);
    EXPECT_TRUE(Map()->AreaRects()[0].contains(*mark)) << "Berlin lies in the zone's area";
    const QRectF frame = Map()->MapRect();
    EXPECT_NEAR(mark->x(), frame.left() + frame.width() * (13.41 + 180) / 360, 1.0);
    QTest::keyClick(Field(), Qt::Key_Escape);
    EXPECT_FALSE(Map()->MarkerPoint().has_value());
    // Closed with the list open: the list's closing tells no map that is gone.
    QTest::keyClicks(Field(), "lv95");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Dlg().GetSearch()->List()->isVisible(); }, 5000));
    Open();

    // A height chosen: its area outlined over the system's, gone with "None".
    Open(EpsgWkt(25832), true);
    Choose(IDC_HEIGHT, "DHHN92 height (EPSG:5783)");
    ExpectShows(EpsgBounds(5783), true);
    ExpectShows(EpsgBounds(25832));
    Choose(IDC_HEIGHT, "None");
    EXPECT_TRUE(Map()->HeightAreaRects().empty());
}

// A system the user composes shows where its projection serves, and says
// when its centre lies outside the datum's area; widened, the map grows.
TEST_F(AreaMapTest, AComposedProjectionShowsItsBandAndWhereItsCentreLies)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_METHOD, "Transverse_Mercator");
    Choose(IDC_GEOG_SYSTEM, "ETRS89");
    EditParameter("central_meridian", "117");
    ExpectShows(Bounds{114, -80, 120, 84});
    EXPECT_EQ(Map()->NoteLine()->toolTip().toStdString(), "Central meridian 117°E lies outside ETRS89's area (Europe)");
    EXPECT_TRUE(Map()->NoteLine()->isVisible());
    // Inside Europe: the band within it, and no note.
    EditParameter("central_meridian", "9");
    const Bounds europe = EpsgBounds(4258);
    ExpectShows(Bounds{6, europe.south, 12, europe.north});
    EXPECT_EQ(Map()->Area().name, "Between 6°E and 12°E within Europe");
    EXPECT_FALSE(Map()->NoteLine()->isVisible());

    const QSizeF before = Map()->MapRect().size();
    QWidget* window = Map()->window();
    window->resize(window->width() + 500, window->height() + 250);
    QApplication::processEvents();
    EXPECT_GT(Map()->MapRect().width(), 1.5 * before.width()) << "the map grows with the dialog";
}

TEST(ChoiceArea, CodeFirstThenTheZonesBandThenTheGeographicSystems)
{
    SystemChoice choice = NewChoice(LoadChoiceCatalogues(BuildFolder() + "/GDAL_Data/"));
    AreaOfUse country;
    country.name = "Country";
    country.west = 5, country.south = 45, country.east = 11, country.north = 48, country.bounded = true;
    AreaOfUse world;
    world.name = "World", world.west = -180, world.south = -90, world.east = 180, world.north = 90;
    world.bounded = true;
    EXPECT_EQ(AreaToShow(ShapeOfChoice(choice), nullptr, &world).name, "World");
    EXPECT_FALSE(AreaToShow(ShapeOfChoice(choice), nullptr, nullptr).bounded) << "no area known: the outline alone";

    ChooseKind(choice, true);
    ChooseCategory(choice, kUtmCategoryPosition);
    ChooseZone(choice, UtmPositionOfZone(60, false));
    EXPECT_EQ(AreaToShow(ShapeOfChoice(choice), &country, &world).name, "Country") << "the system's own area first";
    const AreaOfUse band = AreaToShow(ShapeOfChoice(choice), nullptr, &world);
    EXPECT_EQ(band.name, "Between 174°E and 180°E, southern hemisphere between 80°S and equator");
    EXPECT_DOUBLE_EQ(band.south, -80.0);
    EXPECT_DOUBLE_EQ(band.north, 0.0);
    EXPECT_TRUE(band.Contains(-40.0, 175.0));
    EXPECT_FALSE(band.Contains(-40.0, 173.0));
    // Overlapping: across the antimeridian too, never an unbounded area.
    AreaOfUse fiji;
    fiji.west = 176, fiji.south = -20, fiji.east = -178, fiji.north = -15, fiji.bounded = true;
    EXPECT_TRUE(fiji.Overlaps(band));
    EXPECT_TRUE(fiji.Overlaps(world));
    EXPECT_FALSE(fiji.Overlaps(country));
    EXPECT_FALSE(band.Overlaps(AreaOfUse()));

    // A 3° zone's half degrees, under a decimal-comma locale as a host may run.
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr) << "scripts/setup.sh provides the de_DE.UTF-8 locale";
    const std::string threeDegrees = ZoneBand(75.0, 3.0, true).name;
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(threeDegrees, "Between 73.5°E and 76.5°E, northern hemisphere between equator and 84°N");

    // Composed: a zone's band within the datum's area, or around the origin
    // for another method; a note when the centre lies outside the area.
    ChooseCategory(choice, kCustomCategoryPosition);
    const LanguageSet savedLanguage = g_language;
    g_language = LANGUAGE_ENGLISH;
    const auto set = [&choice](const char* name, const char* value) {
        for (std::size_t row = 0; row < choice.shown.parameters.size(); ++row) {
            if (choice.shown.parameters[row].name == name)
                EditParameter(choice, row, value);
        }
    };
    const struct {
        const char* method;
        const char* geog;
        const char* meridian;
        const char* area;
        double west, south, east, north;
        const char* note;
    } composed[] = {
        {"Transverse_Mercator", "WGS 1984", "8", "Between 5°E and 11°E within Country", 5, 45, 11, 48, ""},
        // Outside the datum's area: the band whole, either side of the equator.
        {"Transverse_Mercator", "WGS 1984", "117", "Between 114°E and 120°E", 114, -80, 120, 84,
         "Central meridian 117°E lies outside WGS 1984's area (Country)"},
        {"Transverse_Mercator", "WGS 1984", "10", "Between 7°E and 11°E within Country", 7, 45, 11, 48, ""},
        // The meridian counts from the datum's prime meridian: 26° from Ferro is 8.33°E.
        {"Transverse_Mercator", "MGI (Ferro)", "26", "Between 5.3333°E and 11°E within Country", 5.3333333333333, 45,
         11, 48, ""},
        // Standard parallels at 44° and 49°: ten degrees either side of them.
        {"Lambert_Conformal_Conic_2SP", "WGS 1984", "8", "Between 5°E and 11°E within Country", 5, 45, 11, 48, ""},
        {"Lambert_Conformal_Conic_2SP", "WGS 1984", "-100", "Between 115°W and 85°W", -115, 34, -85, 59,
         "Central meridian 100°W lies outside WGS 1984's area (Country)"},
        // A world projection serves the datum's whole area, and has no centre to be outside it.
        {"Robinson", "WGS 1984", "-100", "Country", 5, 45, 11, 48, ""},
    };
    for (const auto& row : composed) {
        SCOPED_TRACE(row.area);
        ChooseGeogSystem(choice, row.geog);
        const std::vector<std::string> methods = MethodEntries(choice);
        const auto method = std::find(methods.begin(), methods.end(), row.method);
        ASSERT_NE(method, methods.end());
        ChooseMethod(choice, static_cast<int>(method - methods.begin()));
        set("central_meridian", row.meridian);
        set("longitude_of_center", row.meridian);
        set("false_northing", "0");  // the last zone's was the south's
        set("standard_parallel_1", "44");
        set("standard_parallel_2", "49");
        const AreaOfUse area = AreaToShow(ShapeOfChoice(choice), nullptr, &country);
        EXPECT_EQ(area.name, row.area);
        EXPECT_NEAR(area.west, row.west, 1e-9);
        EXPECT_DOUBLE_EQ(area.south, row.south);
        EXPECT_DOUBLE_EQ(area.east, row.east);
        EXPECT_DOUBLE_EQ(area.north, row.north);
        EXPECT_EQ(CentreOutsideNote(ShapeOfChoice(choice), choice.shown.geogName, &country), row.note);
    }
    // A polar projection: the cap around its pole.
    ChooseGeogSystem(choice, "WGS 1984");
    const std::vector<std::string> methods = MethodEntries(choice);
    ChooseMethod(choice, static_cast<int>(std::find(methods.begin(), methods.end(), "Polar_Stereographic") -
                                          methods.begin()));
    set("latitude_of_origin", "-90");
    const AreaOfUse cap = AreaToShow(ShapeOfChoice(choice), nullptr, &world);
    EXPECT_EQ(cap.name, "South of 60°S");
    EXPECT_DOUBLE_EQ(cap.south, -90.0);
    EXPECT_DOUBLE_EQ(cap.north, -60.0);
    EXPECT_EQ(CentreOutsideNote(ShapeOfChoice(choice), choice.shown.geogName, &country), "");
    // The meridian of 180° is in an area that ends there.
    ChooseMethod(choice, static_cast<int>(std::find(methods.begin(), methods.end(), "Transverse_Mercator") -
                                          methods.begin()));
    set("central_meridian", "180");
    AreaOfUse east = country;
    east.west = 165, east.east = 180;
    EXPECT_EQ(CentreOutsideNote(ShapeOfChoice(choice), choice.shown.geogName, &east), "");
    set("central_meridian", "-179");
    EXPECT_EQ(CentreOutsideNote(ShapeOfChoice(choice), choice.shown.geogName, &east),
              "Central meridian 179°W lies outside WGS 1984's area (Country)");
    g_language = savedLanguage;
    EXPECT_EQ(ShortAreaName("Europe - onshore and offshore: Albania; Andorra."), "Europe");
    EXPECT_EQ(ShortAreaName("World."), "World");
}

TEST(LandOutline, ADamagedFileDrawsLessNeverGarbage)
{
    const struct {
        const char* text;
        std::size_t rings;
    } rows[] = {
        {"# comment\n0,0 100,0 100,100 0,0\n", 1},
        {"0,0 100,0 100,100 0,0\r\n-100,0 -200,0 -200,-100\n", 2},  // CRLF, a ring left open
        {"0,0 100,0\n", 0},                                         // two points are no ring
        {"0,0 100,0 x,1 0,0\n", 0},                                 // a stray word
        {"0,0 100,0 100,100 0,", 0},                                // cut off mid-point
        {"0,0 100,0 100,9001 0,0\n", 0},                            // past the pole
        {"0,0 54001,0 100,100 0,0\n", 0},                           // past any copy of the antimeridian
        {"", 0},
        {"\xff\xfe\x01 0,0\n", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(ParseLandOutline(row.text).size(), row.rings);
    }
    const std::vector<LandRing> shipped = ParseLandOutline(ReadFile(BuildFolder() + "/Land.txt"));
    EXPECT_GT(shipped.size(), 100u) << "Natural Earth's land";
}
