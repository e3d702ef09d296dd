// Takes the README's pictures: the chooser (English and Simplified Chinese),
// its search, its parameter list and the geographic system editor, each brought to its
// state through its controls on Qt's offscreen platform, with the bundled
// data beside this program.
//   orvane-screenshots FOLDER
#include <QApplication>
#include <QComboBox>
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
#include "search/SearchPopup.h"

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
        QPainter painter(&picture);
        painter.drawPixmap(over->mapToGlobal(QPoint(0, 0)) - widget->mapToGlobal(QPoint(0, 0)), over->grab());
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

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvane-screenshots FOLDER\n");
        return 2;
    }
    g_folder = argv[1];
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

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
    g_language = LANGUAGE_SIMPLIFIED_CHINESE;
    {
        auto chooser = OpenChooser();
        ChooseUtmZone50North(*chooser);
        QTest::qWait(300);
        WaitForMap(*chooser);
        Save(chooser->GetWidget(), "chooser-utm-zh.png");
    }
    return g_failures == 0 ? 0 : 1;
}
