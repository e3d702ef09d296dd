// The chooser from the keyboard, and whose window it is: Tab order, the
// parameter list's keys, Enter after the editor, the host's window as owner.
#include <cstring>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTreeView>

#include "ChooserFixture.h"
#include "catalog/Identification.h"
#include "interface/Orvane.h"
#include "map/AreaMap.h"
#include "search_ui/ListFilter.h"
#include "search_ui/SearchPopup.h"

namespace {

class KeyboardTest : public ChooserTest {
protected:
    void OpenActive(const std::string& wkt, bool offerHeight = false)
    {
        Open(wkt, offerHeight);
        QWidget* window = Dlg().GetWidget();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    int FocusedId()
    {
        QWidget* focus = QApplication::focusWidget();
        for (QWidget* w = focus; w; w = w->parentWidget()) {
            const QVariant id = w->property("controlId");
            if (id.isValid())
                return id.toInt();
        }
        return -1;
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
    }
    // The controls Tab (or Shift+Tab) visits from the search field until it
    // comes back to it.
    std::vector<int> TabCycle(Qt::KeyboardModifiers modifiers)
    {
        Dlg().FindControl(IDC_SEARCH)->setFocus(Qt::OtherFocusReason);
        std::vector<int> visited;
        for (int i = 0; i < 40; ++i) {
            Key(modifiers ? Qt::Key_Backtab : Qt::Key_Tab, modifiers);
            visited.push_back(FocusedId());
            if (visited.back() == IDC_SEARCH)
                break;
        }
        return visited;
    }
};

std::string Wkt32650()
{
    OsrHandle srs(OSRNewSpatialReference(nullptr));
    OSRImportFromEPSG(srs.get(), 32650);
    return ExportToWkt(srs.get());
}

}  // namespace

TEST_F(KeyboardTest, TabVisitsEveryControlInOrderAndLeavesTheParameterList)
{
    OpenActive(Wkt32650());
    const std::vector<int> forward = TabCycle({});
    const std::vector<int> expected = {IDC_SYSTEM_KIND, IDC_PROJ_CATEGORY, IDC_GEOG_SYSTEM, IDC_ADD_GEOG_SYSTEM,
                                       IDC_PROJ_METHOD, IDC_PARAMETERS, IDC_UNIT, IDC_UNIT_FACTOR, IDC_IMPORT,
                                       IDC_SAVE_PRJ, IDOK, IDCANCEL, IDC_SEARCH};
    EXPECT_EQ(forward, expected);
    std::vector<int> backward = TabCycle(Qt::ShiftModifier);
    std::vector<int> reversed(expected.rbegin() + 1, expected.rend());
    reversed.push_back(IDC_SEARCH);
    EXPECT_EQ(backward, reversed);
}

TEST_F(KeyboardTest, ArrowsMoveF2AndEnterEditEscapeDrops)
{
    OpenActive(Wkt32650());
    Dlg().FindControl(IDC_PROJ_METHOD)->setFocus(Qt::OtherFocusReason);
    Key(Qt::Key_Tab);
    ASSERT_EQ(FocusedId(), IDC_PARAMETERS);
    CEditListCtrl& list = Dlg().GetParameterList();
    EXPECT_TRUE(list.IsCellSelected());
    EXPECT_EQ(list.GetCurrentRow(), 0);
    EXPECT_EQ(list.GetCurrentColumn(), 1) << "the value cell";
    const std::string firstName = list.GetItemText(0, 0);

    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Up);
    EXPECT_EQ(list.GetCurrentRow(), 1);
    const std::string name = list.GetItemText(1, 0);
    const std::string before = list.GetItemText(1, 1);
    Key(Qt::Key_F2);
    ASSERT_TRUE(list.IsEditing());
    QTest::keyClicks(QApplication::focusWidget(), "123");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(list.GetItemText(1, 1), before) << "Escape drops the text";
    EXPECT_EQ(Dlg().GetResult(), 0) << "Escape in the editor is not the dialog's";
    EXPECT_EQ(FocusedId(), IDC_PARAMETERS);

    Key(Qt::Key_Return);
    ASSERT_TRUE(list.IsEditing());
    QApplication::focusWidget()->setProperty("text", QString());
    QTest::keyClicks(QApplication::focusWidget(), "117.5");
    Key(Qt::Key_Return);
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(std::stod(ParameterText(name)), 117.5);
    EXPECT_EQ(Dlg().GetResult(), 0) << "Enter in the editor keeps the text and nothing more";
    EXPECT_EQ(list.GetCurrentRow(), 1) << "the cell stays chosen";
    EXPECT_EQ(list.GetItemText(0, 0), firstName) << "names never change";

    Key(Qt::Key_Tab);
    EXPECT_EQ(FocusedId(), IDC_UNIT);
    Key(Qt::Key_Return);
    EXPECT_EQ(Dlg().GetResult(), IDOK) << "Enter elsewhere presses OK";
}

// Typing on the geographic list offers the entries with a word starting so,
// in their names or the search's other names; on the height row, those the
// search finds (codes, typos, Chinese names, places). Enter takes the first.
TEST_F(KeyboardTest, TypingOnTheGeographicListOrTheHeightRowOffersItsEntries)
{
    QComboBox* list = nullptr;
    ListFilter* filter = nullptr;
    const auto OpenOn = [&](int id) {
        OpenActive(id == IDC_HEIGHT ? WktOf("EPSG:25832") : "", id == IDC_HEIGHT);
        ASSERT_TRUE(QTest::qWaitFor([&] { return Dlg().GetSearch()->IsLoaded(); }, 20000));
        list = qobject_cast<QComboBox*>(Dlg().FindControl(id));
        list->setFocus(Qt::OtherFocusReason);
        filter = list->findChild<ListFilter*>();
        ASSERT_NE(filter, nullptr);
    };
    // Where a key goes: the offer, while it shows (it holds the keyboard).
    const auto KeyTarget = [] {
        return QApplication::activePopupWidget() ? QApplication::activePopupWidget() : QApplication::focusWidget();
    };
    const auto Type = [&](const char* text) {
        // Chinese as an input method hands it: a key with its text.
        for (const QChar c : QString::fromUtf8(text))
            QTest::sendKeyEvent(QTest::Click, KeyTarget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    };
    const struct {
        int list;
        const char* typed;
        const char* offered;
        const char* first;
    } rows[] = {
        {IDC_GEOG_SYSTEM, "CGCS", "China Geodetic Coordinate System 2000", "China Geodetic Coordinate System 2000"},
        {IDC_GEOG_SYSTEM, "wgs", "WGS 84", nullptr},
        {IDC_GEOG_SYSTEM, "beijing 1954", "Beijing 1954", "Beijing 1954"},
        {IDC_GEOG_SYSTEM, "xyzzy", nullptr, nullptr},
        {IDC_HEIGHT, "dhhn", "DHHN92 height (EPSG:5783)", "DHHN2016 height (EPSG:7837)"},
        {IDC_HEIGHT, "5783", "DHHN92 height (EPSG:5783)", "DHHN92 height (EPSG:5783)"},
        {IDC_HEIGHT, "navd88", "NAVD88 height (EPSG:5703)", "NAVD88 height (EPSG:5703)"},
        {IDC_HEIGHT, "evfr2007", "EVRF2007 height (EPSG:5621)", "EVRF2007 height (EPSG:5621)"},
        {IDC_HEIGHT, "1985国家高程基准", "Yellow Sea 1985 height (EPSG:5737)", "Yellow Sea 1985 height (EPSG:5737)"},
        {IDC_HEIGHT, "amsterdam", "NAP height (EPSG:5709)", "NAP height (EPSG:5709)"},
        {IDC_HEIGHT, "ellips", "Ellipsoidal height", "Ellipsoidal height"},
        {IDC_HEIGHT, "xyzzy", nullptr, nullptr},
    };
    int openedOn = 0;
    for (const auto& row : rows) {
        if (row.list != openedOn)
            OpenOn(openedOn = row.list);
        Type(row.typed);
        const QStringList offered = filter->Offered();
        if (!row.offered) {
            EXPECT_TRUE(offered.isEmpty()) << row.typed << ": nothing to offer";
            for (int i = 0; i < QString::fromUtf8(row.typed).size(); ++i)
                QTest::keyClick(KeyTarget(), Qt::Key_Backspace);
            continue;
        }
        ASSERT_FALSE(offered.isEmpty()) << row.typed;
        if (row.first) {
            EXPECT_EQ(offered.front().toStdString(), row.first) << row.typed;
        }
        EXPECT_TRUE(offered.contains(QString::fromUtf8(row.offered))) << row.typed;
        EXPECT_LT(offered.size(), list->count()) << row.typed << ": a few, not the whole list";
        // Escape closes the offer; the next word starts afresh.
        QTest::keyClick(KeyTarget(), Qt::Key_Escape);
        ASSERT_TRUE(QTest::qWaitFor([&] { return filter->Offered().isEmpty(); }, 5000));
    }
    // The height taken shows its area on the map over the system's.
    Type("dhhn92");
    QTest::keyClick(KeyTarget(), Qt::Key_Return);
    EXPECT_EQ(list->currentText().toStdString(), "DHHN92 height (EPSG:5783)");
    AreaMap* map = Dlg().GetAreaMap();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !map->HeightAreaRects().empty(); }, 5000));
    EXPECT_EQ(map->HeightArea().name, "Germany - onshore");
    EXPECT_EQ(map->NameLine()->toolTip().toStdString(),
              map->Area().name + "; height: Germany - onshore");
    ASSERT_TRUE(PressOk());
    const OsrHandle chosen = Result();
    EXPECT_EQ(std::string(OSRGetAuthorityCode(chosen.get(), nullptr)), "5555");

    OpenOn(IDC_GEOG_SYSTEM);
    Type("CGCS");
    QTest::keyClick(KeyTarget(), Qt::Key_Return);
    EXPECT_EQ(list->currentText().toStdString(), "China Geodetic Coordinate System 2000");
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "China Geodetic Coordinate System 2000");
    ASSERT_TRUE(PressOk());
    EXPECT_NE(ResultWkt().find("China Geodetic Coordinate System 2000"), std::string::npos) << "the entry is chosen";
}

TEST_F(KeyboardTest, AfterTheEditorClosesEnterPressesOk)
{
    OpenActive("");
    Dlg().FindControl(IDC_ADD_GEOG_SYSTEM)->setFocus(Qt::TabFocusReason);
    WhenModalShows([](QWidget* editor) { QTest::keyClick(editor, Qt::Key_Escape); });
    Key(Qt::Key_Space);
    // A window manager gives the chooser back the keyboard; the offscreen
    // platform has none.
    Dlg().GetWidget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Dlg().GetWidget()));
    EXPECT_EQ(FocusedId(), IDC_GEOG_SYSTEM);
    Key(Qt::Key_Return);
    EXPECT_EQ(Dlg().GetResult(), IDOK);
}

TEST_F(KeyboardTest, TheChooserBelongsToTheHostsActiveWindow)
{
    Orvane(nullptr).SetLanguage(LANGUAGE_ENGLISH);
    QMainWindow host;
    // Within the offscreen platform's 800 × 600 screen, which Qt keeps
    // dialogs inside: only the horizontal centre is free to follow the host.
    host.setGeometry(60, 0, 700, 600);
    host.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    QWidget* parent = nullptr;
    QPoint centre, hostCentre = host.frameGeometry().center();
    bool modal = false;
    auto inspect = [&](QWidget* dialog) {
        parent = dialog->parentWidget();
        modal = dialog->isModal();
        centre = dialog->frameGeometry().center();
        QTest::keyClick(dialog, Qt::Key_Escape);
    };
    WhenModalShows(inspect);
    Orvane chooser(nullptr);
    EXPECT_EQ(chooser.DoModal(), 2);
    EXPECT_EQ(parent, &host);
    EXPECT_TRUE(modal);
    EXPECT_LE(std::abs(centre.x() - hostCentre.x()), 10);

    host.close();
    QApplication::processEvents();
    WhenModalShows(inspect);
    EXPECT_EQ(chooser.DoModal(), 2);
    EXPECT_EQ(parent, nullptr) << "no host window: a window of its own";
}

// Every control a user can reach has a name a screen reader says.
TEST_F(ChooserTest, EveryFocusableControlHasAnAccessibleName)
{
    for (const char* wkt : {"", "EPSG:32650"}) {
        Open(*wkt ? ExportToWkt(EpsgSystem(wkt + 5).get()) : std::string());
        QWidget* window = Dlg().FindControl(IDC_SEARCH)->window();
        std::vector<std::string> unnamed;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            if (widget->focusPolicy() == Qt::NoFocus || !widget->isVisibleTo(window) || widget->isWindow())
                continue;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            ASSERT_NE(accessible, nullptr);
            if (accessible->text(QAccessible::Name).trimmed().isEmpty())
                unnamed.push_back(widget->metaObject()->className() + std::string(" ") +
                                  widget->objectName().toStdString());
        }
        std::string list;
        for (const std::string& u : unnamed)
            list += u + "; ";
        EXPECT_TRUE(unnamed.empty()) << (*wkt ? wkt : "default") << ": " << list;
    }
    // The map is described by its area, in words.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Dlg().GetAreaMap()->accessibleDescription().isEmpty(); }, 5000));
    EXPECT_EQ(Dlg().GetAreaMap()->accessibleDescription(), Dlg().GetAreaMap()->NameLine()->toolTip());

    // The search's list is named, and a row reads as what tells it apart.
    auto* field = qobject_cast<QLineEdit*>(Dlg().FindControl(IDC_SEARCH));
    field->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(field, "lv95");
    QTreeView* list = Dlg().GetSearch()->List();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }, 5000));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(list);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name).toStdString(), "Systems found");
    QAccessibleTableInterface* table = accessible->tableInterface();
    ASSERT_NE(table, nullptr);
    QAccessibleInterface* first = table->cellAt(0, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->text(QAccessible::Name).toStdString(), "CH1903+ / LV95  (alias: LV95), EPSG:2056, Europe - Liechtenstein and Switzerland");
}
