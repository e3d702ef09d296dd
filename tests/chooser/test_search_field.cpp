// The search field driven with real keys and clicks: choosing by code, by
// words, with the mouse; Escape; Ctrl+F; the code shown; recent systems.
#include <map>

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QStandardItemModel>
#include <QTreeView>

#include "ChooserFixture.h"
#include "catalog/Identification.h"
#include "search/RecentSystems.h"
#include "search_ui/SearchPopup.h"

namespace {

class SearchFieldTest : public ChooserTest {
protected:
    CProjectionDlg& OpenActive(const std::string& wkt = "")
    {
        CProjectionDlg& dialog = Open(wkt);
        QWidget* window = Field()->window();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        return dialog;
    }
    QLineEdit* Field() { return qobject_cast<QLineEdit*>(Dlg().FindControl(IDC_SEARCH)); }
    QTreeView* List() { return Dlg().GetSearch()->List(); }
    int ListRows() { return List()->model()->rowCount(); }
    QModelIndex Cell(int row, int column) { return List()->model()->index(row, column); }
    std::string Row(int row, int column) { return Cell(row, column).data().toString().toStdString(); }
    std::string CodeLine()
    {
        return qobject_cast<QLabel*>(Dlg().FindControl(IDC_SYSTEM_CODE))->text().toStdString();
    }
    // The code line once it shows `expected` (it waits for EPSG's systems to
    // be read off the UI thread, slower on a busy machine), or as it stands
    // after ten seconds.
    std::string CodeLineWhen(const std::string& expected)
    {
        (void)QTest::qWaitFor([&] { return CodeLine() == expected; }, 10000);
        return CodeLine();
    }
    void Type(const char* text)
    {
        Field()->setFocus(Qt::OtherFocusReason);
        QTest::keyClicks(Field(), text);
    }
    // The result is EPSG's own system, code included.
    void ExpectEpsg(int code)
    {
        OsrHandle expected(OSRNewSpatialReference(nullptr));
        ASSERT_EQ(OSRImportFromEPSG(expected.get(), code), OGRERR_NONE);
        OsrHandle result = Result();
        ASSERT_TRUE(result);
        EXPECT_TRUE(OSRIsSame(result.get(), expected.get())) << ResultWkt();
        const bool projected = OSRIsProjected(result.get());
        EXPECT_STREQ(OSRGetAuthorityCode(result.get(), projected ? "PROJCS" : "GEOGCS"),
                     std::to_string(code).c_str());
    }
};

}  // namespace

TEST_F(SearchFieldTest, ACodeTypedAndEnterChoosesThatSystem)
{
    OpenActive();
    Type("32650");
    ASSERT_TRUE(List()->isVisible());
    EXPECT_EQ(Row(0, 1), "EPSG:32650");
    EXPECT_EQ(Row(0, 0), "WGS 84 / UTM zone 50N");
    EXPECT_EQ(Row(0, 2), "projected");
    EXPECT_FALSE(Row(0, 3).empty()) << "the area of use";
    QTest::keyClick(Field(), Qt::Key_Return);
    EXPECT_FALSE(List()->isVisible());
    EXPECT_EQ(Dlg().GetResult(), 0) << "Enter chose; it did not press OK";
    EXPECT_EQ(Current(IDC_PROJ_CATEGORY), "WGS 84 / UTM zone 50N");
    EXPECT_EQ(CodeLineWhen("EPSG:32650"), "EPSG:32650");
    ASSERT_TRUE(PressOk());
    ExpectEpsg(32650);
}

TEST_F(SearchFieldTest, WordsArrowsAndAClickChoose)
{
    OpenActive();
    Type("etrs 33");
    ASSERT_GE(ListRows(), 3);
    const std::string second = Row(1, 1);
    QTest::keyClick(Field(), Qt::Key_Down);
    QTest::keyClick(Field(), Qt::Key_Down);
    QTest::keyClick(Field(), Qt::Key_Up);
    QTest::keyClick(Field(), Qt::Key_Enter);
    ASSERT_TRUE(PressOk());
    OsrHandle expected(OSRNewSpatialReference(nullptr));
    ASSERT_EQ(OSRSetFromUserInput(expected.get(), second.c_str()), OGRERR_NONE) << second;
    EXPECT_TRUE(OSRIsSame(Result().get(), expected.get())) << second;

    OpenActive();
    Type("wgs 84 zzqx");
    ASSERT_EQ(ListRows(), 1) << "no name holds all three words";
    EXPECT_EQ(Row(0, 0), "No system matches 'wgs 84 zzqx'");
    QTest::keyClick(Field(), Qt::Key_Return);
    EXPECT_EQ(Dlg().GetResult(), 0) << "the line is no row to choose, and Enter is still the search's";
    Field()->clear();
    Type("4326");
    ASSERT_TRUE(List()->isVisible());
    const QRect first = List()->visualRect(Cell(0, 0));
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_FALSE(List()->isVisible());
    EXPECT_EQ(Current(IDC_SYSTEM_KIND), "Geographic Coordinate System");
    EXPECT_NE(Summary().find("EPSG:4326"), std::string::npos);
    ASSERT_TRUE(PressOk());
    ExpectEpsg(4326);
}

TEST_F(SearchFieldTest, EscapeClosesTheListAndKeepsTheDialog)
{
    OpenActive();
    const std::string before = Current(IDC_GEOG_SYSTEM);
    Type("utm");
    ASSERT_TRUE(List()->isVisible());
    QTest::keyClick(Field(), Qt::Key_Escape);
    EXPECT_FALSE(List()->isVisible());
    EXPECT_EQ(Dlg().GetResult(), 0);
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), before);
    QTest::keyClick(Field(), Qt::Key_Return);
    EXPECT_EQ(Dlg().GetResult(), 0) << "words in the field: Enter is the search's";
    Field()->clear();
    QTest::keyClick(Field(), Qt::Key_Escape);
    EXPECT_EQ(Dlg().GetResult(), IDCANCEL) << "with the list closed, Escape is the dialog's";
}

TEST_F(SearchFieldTest, CtrlFFocusesTheFieldAndOffersTheRecentSystems)
{
    OpenActive("");
    ASSERT_TRUE(PressOk());  // WGS 84
    OpenActive("");
    Type("32650");
    QTest::keyClick(Field(), Qt::Key_Return);
    ASSERT_TRUE(PressOk());
    EXPECT_EQ(ReadRecentSystems(RecentSystemsPath()).size(), 2u);
    OpenActive("");
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_METHOD, "Transverse_Mercator");
    Choose(IDC_GEOG_SYSTEM, "ETRS89");
    EditParameter("central_meridian", "9");
    EditParameter("scale_factor", "1");
    ASSERT_TRUE(PressOk());

    // Each row tells its system apart: what it is, and where it serves.
    OpenActive("");
    Dlg().GetSearch()->Candidates();  // PROJ's database read: the areas are known
    Combo(IDC_SYSTEM_KIND)->setFocus();
    QTest::keyClick(Combo(IDC_SYSTEM_KIND), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(Field()->hasFocus());
    ASSERT_TRUE(List()->isVisible());
    ASSERT_EQ(ListRows(), 4);
    const std::vector<std::vector<std::string>> rows = {
        {"Recently used", "", "", ""},
        {"Transverse Mercator, CM 9°E, ETRS89", "recent", "projected", "Between 6°E and 12°E within Europe"},
        {"WGS 84 / UTM zone 50N", "EPSG:32650", "projected", "World - N hemisphere - 114°E to 120°E - by country"},
        {"WGS 84", "EPSG:4326", "geographic", "World"},
    };
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            if (!rows[row][column].empty()) {
                EXPECT_EQ(Row(row, column), rows[row][column]) << row << "," << column;
            }
        }
    }
    EXPECT_FALSE(List()->currentIndex().isValid()) << "no recent system is chosen until the user moves to one";
    QTest::keyClick(Field(), Qt::Key_Down);
    QTest::keyClick(Field(), Qt::Key_Down);
    QTest::keyClick(Field(), Qt::Key_Return);
    ASSERT_TRUE(PressOk());
    ExpectEpsg(32650);

    // Enter on the empty field with the list open: OK on what is shown.
    OpenActive("");
    Combo(IDC_SYSTEM_KIND)->setFocus();
    QTest::keyClick(Combo(IDC_SYSTEM_KIND), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(List()->isVisible());
    QTest::keyClick(Field(), Qt::Key_Return);
    EXPECT_EQ(Dlg().GetResult(), IDOK);
    ExpectEpsg(4326);
}

TEST_F(SearchFieldTest, AComposedEpsgSystemIsHandedBackWithItsCode)
{
    // EPSG:32650's name on a false easting that is not EPSG's, without codes,
    // as a hand-written .prj may hold it.
    OsrHandle srs(OSRNewSpatialReference(nullptr));
    ASSERT_EQ(OSRImportFromEPSG(srs.get(), 32650), OGRERR_NONE);
    OSRSetProjParm(srs.get(), SRS_PP_FALSE_EASTING, 400000);
    std::string wkt = ExportToWkt(srs.get());
    for (std::size_t at; (at = wkt.find(",AUTHORITY[")) != std::string::npos;)
        wkt.erase(at, wkt.find(']', at) - at + 1);
    OpenActive(wkt);
    Dlg().GetSearch()->Candidates();  // EPSG's systems read: the line is final
    QTest::qWait(50);
    EXPECT_EQ(CodeLine(), "");
    EditParameter("false_easting", "500000");
    EXPECT_EQ(CodeLineWhen("EPSG:32650"), "EPSG:32650");
    ASSERT_TRUE(PressOk());
    ExpectEpsg(32650);
}

TEST_F(SearchFieldTest, AliasesPlacesAndEsrisSystemsInEachLanguage)
{
    const struct {
        LanguageSet language;
        const char* noMatch;
        const char* place;
        const char* alias;
    } languages[] = {
        {LANGUAGE_SIMPLIFIED_CHINESE, "没有与“zzqx”匹配的坐标系", "在 52.5200°N 13.4000°E 使用的坐标系",
         "WGS 84 / Pseudo-Mercator  (别名：Web Mercator)"},
        {LANGUAGE_TRADITIONAL_CHINESE, "沒有與「zzqx」相符的座標系", "在 52.5200°N 13.4000°E 使用的座標系",
         "WGS 84 / Pseudo-Mercator  (別名：Web Mercator)"},
        {LANGUAGE_ENGLISH, "No system matches 'zzqx'", "Systems used at 52.5200°N 13.4000°E",
         "WGS 84 / Pseudo-Mercator  (alias: Web Mercator)"},
    };
    for (const auto& l : languages) {
        g_language = l.language;
        OpenActive();
        Type("zzqx");
        EXPECT_EQ(Row(0, 0), l.noMatch);
        Field()->clear();
        Type("52.52 13.40");
        EXPECT_EQ(Row(0, 0), l.place);
        EXPECT_EQ(Row(1, 1), "EPSG:25833") << "the country's system on today's datum first";
        Field()->clear();
        Type("web mercator");
        EXPECT_EQ(Row(0, 0), l.alias);
    }
    g_language = LANGUAGE_ENGLISH;

    // The list is as wide as the names, past the dialog when need be, and a
    // row's tooltip holds all of it.
    OpenActive();
    Type("cgcs2000 3-degree gauss kruger cm 117e");
    const QString name = Cell(0, 0).data().toString();
    EXPECT_EQ(name.toStdString(), "CGCS2000 / 3-degree Gauss-Kruger CM 117E");
    EXPECT_GE(List()->columnWidth(0), List()->fontMetrics().horizontalAdvance(name));
    EXPECT_TRUE(List()->isWindow());
    EXPECT_TRUE(Cell(0, 0).data(Qt::ToolTipRole).toString().contains("China"));
    // At each keystroke the list on screen is the list drawn anew, as its
    // rows come and go, it grows and shrinks and its columns move.
    const auto onScreen = [&] {
        const QPixmap shown = List()->screen()->grabWindow(List()->winId());
        return shown.toImage().convertToFormat(QImage::Format_RGB32);
    };
    const auto drawnAnew = [&] {
        return List()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    for (const char* words :
         {"e", "u", "et", "etrs 3", "etrs 33", "etrs 3", "w", "web", "utm33n", "berlin"}) {
        Field()->selectAll();
        QTest::keyClicks(Field(), words);
        EXPECT_TRUE(QTest::qWaitFor([&] { return onScreen() == drawnAnew(); }, 5000)) << words;
    }
    Field()->clear();
    Type("mollweide");
    EXPECT_EQ(Row(0, 1), "ESRI:54009");
    QTest::keyClick(Field(), Qt::Key_Return);
    ASSERT_TRUE(PressOk());
    OsrHandle mollweide(OSRNewSpatialReference(nullptr));
    ASSERT_EQ(OSRSetFromUserInput(mollweide.get(), "ESRI:54009"), OGRERR_NONE);
    EXPECT_TRUE(OSRIsSame(Result().get(), mollweide.get())) << ResultWkt();
}

// A UTM zone composed on ETRS89 through the lists is EPSG's, in the code
// line and in what OK hands back; the summary tells of WGS 84's coarse
// datum ensemble and not of ETRS89's fine one.
TEST_F(SearchFieldTest, AUtmZoneOnAnyDatumIsEpsgsAndTheSummaryTellsACoarseEnsemble)
{
    OpenActive();
    EXPECT_NE(Summary().find("Accuracy: 2 m (datum ensemble)"), std::string::npos) << Summary();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_CATEGORY, "Universal Transverse Mercator");
    Choose(IDC_ZONE, " 32 (  6E -  12E - Northern Hemisphere)");
    Choose(IDC_GEOG_SYSTEM, "ETRS89");
    EXPECT_EQ(Summary().find("Accuracy"), std::string::npos) << Summary();
    EXPECT_EQ(CodeLineWhen("EPSG:25832"), "EPSG:25832");
    ASSERT_TRUE(PressOk());
    ExpectEpsg(25832);
}

// A retired code typed finds its own system, marked, with its replacement
// after it; chosen, it is that system, and the code line says it is retired.
TEST_F(SearchFieldTest, ARetiredCodeIsItsOwnSystemAndSaysSo)
{
    OpenActive();
    Type("3411");
    ASSERT_TRUE(List()->isVisible());
    ASSERT_GE(ListRows(), 2);
    EXPECT_EQ(Row(0, 1), "EPSG:3411");
    EXPECT_EQ(Row(0, 0), "NSIDC Sea Ice Polar Stereographic North (deprecated)");
    EXPECT_EQ(Row(1, 1), "EPSG:3413");
    QTest::keyClick(Field(), Qt::Key_Return);
    const std::string line = "EPSG:3411 (deprecated, replaced by EPSG:3413)";
    EXPECT_EQ(CodeLineWhen(line), line);
    ASSERT_TRUE(PressOk());
    const OsrHandle result = Result();
    EXPECT_TRUE(SameAs(result.get(), EpsgSystem("3411").get())) << ResultWkt();
    EXPECT_STREQ(OSRGetAuthorityCode(result.get(), nullptr), "3411");
    EXPECT_STREQ(OSRGetAttrValue(result.get(), "SPHEROID", 0), "Hughes 1980");
}

// The list's cells keep their shaped texts from keystroke to keystroke: one
// drawn again at another width, whole or cut, is drawn as a new list draws it.
TEST(SearchRowDelegateTest, ATextDrawnAtAnotherWidthIsCutAnew)
{
    const QString text = "ETRS89-extended / LAEA Europe, a name to be cut short";
    QStandardItemModel model(1, 2);
    model.setItem(0, 0, new QStandardItem(text));
    const int natural = QFontMetrics(QTreeView().font()).horizontalAdvance(text);
    const auto draw = [&](SearchRowDelegate& delegate, int width) {
        QTreeView view;
        view.setModel(&model);
        view.setItemDelegate(&delegate);
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.resize(natural + 200, 80);
        view.setColumnWidth(0, width);
        return view.viewport()->grab().toImage();
    };
    SearchRowDelegate kept;
    std::map<int, QImage> drawn;
    // Whole, whole wider, whole narrower, cut, cut shorter, whole again.
    for (const int width :
         {natural + 40, natural + 100, natural + 40, natural / 2, natural / 4, natural + 100}) {
        SearchRowDelegate fresh;
        drawn[width] = draw(kept, width);
        EXPECT_EQ(drawn[width], draw(fresh, width)) << width << " of " << natural;
    }
    EXPECT_NE(drawn[natural + 40], drawn[natural / 2]);
    EXPECT_NE(drawn[natural / 2], drawn[natural / 4]);
}
