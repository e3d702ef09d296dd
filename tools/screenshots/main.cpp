// Takes the README's pictures: the chooser (English and Simplified Chinese),
// its search, its parameter list, the geographic system editor, a composed
// projection on a dark desktop theme and the chooser at twice the scale (as
// on a 4K screen), each brought to its state through its controls on Qt's
// offscreen platform, with the bundled data beside this program.
//   orvane-screenshots FOLDER
// (The picture at twice the scale is taken by this program run again with
// QT_SCALE_FACTOR=2, which Qt reads as it starts.)
#include <QApplication>
#include <QComboBox>
#include <QPalette>
#include <QProcess>
#include <QLineEdit>
#include <QPainter>
#include <QTreeView>
#include <QTableWidget>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "catalog/PredefinedSystems.h"
#include "chooser/ProjectionDlg.h"
#include "gcs_editor/AddGCSDlg.h"
#include "map/AreaMap.h"
#include "module/Language.h"
#include "search_ui/SearchPopup.h"

namespace {

std::string g_folder;
int g_failures = 0;

// `widget` as shown, with `over` (a window of its own, such as the search's
// list) where it lies over it.
void Save(QWidget* widget, const char* name, QWidget* over = nullptr)
{
    QApplication::processEvents();
    const std::string path = g_folder + "/" + name;
    QPixmap picture = widget->grab();
    if (over && over->isVisible()) {
        // Both whole, where they stand: the list may reach past the window.
        const QRect window(widget->mapToGlobal(QPoint(0, 0)), widget->size());
        const QRect list(over->mapToGlobal(QPoint(0, 0)), over->size());
        const QRect both = window.united(list);
        QPixmap canvas(both.size() * picture.devicePixelRatio());
        canvas.setDevicePixelRatio(picture.devicePixelRatio());
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        painter.drawPixmap(window.topLeft() - both.topLeft(), picture);
        painter.drawPixmap(list.topLeft() - both.topLeft(), over->grab());
        painter.end();
        picture = canvas;
    }
    if (picture.save(QString::fromStdString(path))) {
        std::printf("%s\n", path.c_str());
    } else {
        std::fprintf(stderr, "orvane-screenshots: cannot write %s\n", path.c_str());
        ++g_failures;
    }
}

// The map shows its area once PROJ's database is read and the system
// identified, both off the UI thread.
void WaitForMap(CProjectionDlg& chooser)
{
    AreaMap* map = chooser.GetAreaMap();
    for (int waited = 0; map && !map->Area().bounded && waited < 10000; waited += 20)
        QTest::qWait(20);
}

// Chooses entry `index` as a user's pick does: the dialog's handler runs.
void ChooseAt(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

void Choose(QComboBox* combo, const char* text)
{
    ChooseAt(combo, combo->findText(QString::fromUtf8(text)));
}

QComboBox* Combo(CDialog& dialog, int id)
{
    return qobject_cast<QComboBox*>(dialog.FindControl(id));
}

std::unique_ptr<CProjectionDlg> OpenChooser()
{
    auto chooser = std::make_unique<CProjectionDlg>(ChooserTemplateId());
    chooser->SetGdalRegistered(false);
    chooser->Create();
    return chooser;
}

void ChooseUtmZone50North(CProjectionDlg& chooser)
{
    Choose(Combo(chooser, IDC_SYSTEM_KIND), kProjectedKind);
    Choose(Combo(chooser, IDC_PROJ_CATEGORY), kUtmCategory);
    ChooseAt(Combo(chooser, IDC_ZONE), UtmPositionOfZone(50, true));
}

// A user's click on cell (row, 1) of the parameter list.
void ClickValue(QTableWidget* table, int row)
{
    const QPoint point = table->visualRect(table->model()->index(row, 1)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, point, 400);
    QApplication::processEvents();
}

// A dark desktop theme: the chooser's colours all come from the palette.
QPalette DarkPalette()
{
    QPalette dark;
    const QColor window(45, 45, 48), base(30, 30, 32), text(225, 225, 225), mid(95, 95, 100);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::Mid, mid);
    dark.setColor(QPalette::Dark, QColor(20, 20, 22));
    dark.setColor(QPalette::Light, QColor(70, 70, 75));
    dark.setColor(QPalette::Highlight, QColor(61, 111, 180));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    return dark;
}

// A Transverse Mercator on 117°E over ETRS89, chosen and typed as a user
// would: the map shows the projection's band and notes that its centre lies
// outside the datum's area.
void ComposeTransverseMercatorAt117East(CProjectionDlg& chooser)
{
    Choose(Combo(chooser, IDC_SYSTEM_KIND), kProjectedKind);
    Choose(Combo(chooser, IDC_PROJ_METHOD), "Transverse_Mercator");
    Choose(Combo(chooser, IDC_GEOG_SYSTEM), "ETRS89");
    auto* table = qobject_cast<QTableWidget*>(chooser.FindControl(IDC_PARAMETERS));
    ClickValue(table, 0);
    ClickValue(table, 0);
    if (QLineEdit* editor = chooser.GetParameterList().GetEditor().Editor()) {
        editor->selectAll();
        QTest::keyClicks(editor, "117");
        QTest::keyClick(editor, Qt::Key_Return);
    }
    QTest::qWait(300);
    WaitForMap(chooser);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvane-screenshots FOLDER\n");
        return 2;
    }
    g_folder = argv[1];
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const bool scaled = qgetenv("QT_SCALE_FACTOR") == "2";
    QApplication app(argc, argv);
    g_language = LANGUAGE_ENGLISH;
    if (scaled) {
        auto chooser = OpenChooser();
        ChooseUtmZone50North(*chooser);
        QTest::qWait(300);
        WaitForMap(*chooser);
        Save(chooser->GetWidget(), "chooser-scale-2.png");
        return g_failures == 0 ? 0 : 1;
    }

    g_language = LANGUAGE_ENGLISH;
    {
        auto chooser = OpenChooser();
        WaitForMap(*chooser);
        Save(chooser->GetWidget(), "chooser-geographic.png");
        ChooseUtmZone50North(*chooser);
        QTest::qWait(300);
        WaitForMap(*chooser);
        Save(chooser->GetWidget(), "chooser-utm.png");

        auto* table = qobject_cast<QTableWidget*>(chooser->FindControl(IDC_PARAMETERS));
        ClickValue(table, 0);
        Save(table, "parameter-list-selected.png");
        ClickValue(table, 0);
        if (QLineEdit* editor = chooser->GetParameterList().GetEditor().Editor()) {
            editor->selectAll();
            QTest::keyClicks(editor, "117.5");
        }
        Save(table, "parameter-list-editing.png");
    }
    {
        auto chooser = OpenChooser();
        QWidget* window = chooser->GetWidget();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            std::fprintf(stderr, "orvane-screenshots: the chooser did not become active\n");
        auto* field = qobject_cast<QLineEdit*>(chooser->FindControl(IDC_SEARCH));
        field->setFocus();
        QTest::keyClicks(field, "utm 50n");
        QTest::keyClick(field, Qt::Key_Down);
        Save(window, "chooser-search.png", chooser->GetSearch()->List());
    }
    {
        CAddGCSDlg editor(EditorTemplateId());
        editor.Create();
        qobject_cast<QLineEdit*>(editor.FindControl(CAddGCSDlg::IDC_NAME))->setText("My local system");
        Choose(Combo(editor, CAddGCSDlg::IDC_DATUM), "D_Beijing_1954");
        Save(editor.GetWidget(), "gcs-editor.png");
    }
    {
        const QPalette saved = QApplication::palette();
        QApplication::setPalette(DarkPalette());
        auto chooser = OpenChooser();
        ComposeTransverseMercatorAt117East(*chooser);
        QWidget* window = chooser->GetWidget();
        window->resize(window->width() + 200, window->height() + 60);
        Save(window, "chooser-dark.png");
        chooser.reset();
        QApplication::setPalette(saved);
    }
    g_language = LANGUAGE_SIMPLIFIED_CHINESE;
    {
        auto chooser = OpenChooser();
        ChooseUtmZone50North(*chooser);
        QTest::qWait(300);
        WaitForMap(*chooser);
        Save(chooser->GetWidget(), "chooser-utm-zh.png");
    }
    // At twice the scale: Qt reads the factor as it starts, so in a process of its own.
    QProcess again;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_SCALE_FACTOR", "2");
    again.setProcessEnvironment(environment);
    again.setProcessChannelMode(QProcess::ForwardedChannels);
    again.start(QCoreApplication::applicationFilePath(), {QString::fromStdString(g_folder)});
    if (!again.waitForFinished(60000) || again.exitStatus() != QProcess::NormalExit || again.exitCode() != 0) {
        std::fprintf(stderr, "orvane-screenshots: the picture at twice the scale failed\n");
        ++g_failures;
    }
    return g_failures == 0 ? 0 : 1;
}
