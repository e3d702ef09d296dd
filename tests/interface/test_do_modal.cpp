// Orvane end to end: a host's DoModal, the modal chooser worked from a timer
// as a user works it, the result read back through the exported calls.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <filesystem>
#include <QTest>
#include <QTranslator>
#include <cpl_conv.h>

#include "catalog/PredefinedSystems.h"
#include "chooser/ProjectionDlg.h"
#include "interface/Orvane.h"
#include "module/GdalSupport.h"
#include "module/Language.h"
#include "module/Module.h"
#include "support/TestSupport.h"

namespace {

void Press(QWidget* dialog, int id)
{
    QTest::mouseClick(qobject_cast<QAbstractButton*>(ControlOf(dialog, id)), Qt::LeftButton);
}

class DoModalTest : public ::testing::Test {
protected:
    void SetUp() override { Orvane(nullptr).SetLanguage(LANGUAGE_ENGLISH); }
    void TearDown() override { Orvane(nullptr).SetLanguage(LANGUAGE_SIMPLIFIED_CHINESE); }
    TempModuleFolder m_folder;
};

}  // namespace

TEST_F(DoModalTest, OkOnTheDefaultGivesWgs84)
{
    Orvane chooser(nullptr);
    EXPECT_EQ(chooser.GetWKT(), nullptr);
    WhenModalShows([](QWidget* dialog) { Press(dialog, 1); });
    ASSERT_EQ(chooser.DoModal(), 1);
    EXPECT_TRUE(chooser.IsSettingOK());
    EXPECT_STREQ(chooser.GetSrsName(), "WGS 84");
    OsrHandle result = NewSpatialReference(chooser.GetWKT());
    OsrHandle wgs84(OSRNewSpatialReference(nullptr));
    OSRImportFromEPSG(wgs84.get(), 4326);
    EXPECT_TRUE(OSRIsSame(result.get(), wgs84.get()));
}

TEST_F(DoModalTest, AProjectedChoiceIsNamedAsComposed)
{
    Orvane chooser(nullptr);
    WhenModalShows([](QWidget* dialog) {
        ChooseComboText(qobject_cast<QComboBox*>(ControlOf(dialog, IDC_SYSTEM_KIND)), "Projected Coordinate System");
        ChooseComboText(qobject_cast<QComboBox*>(ControlOf(dialog, IDC_PROJ_CATEGORY)), "Universal Transverse Mercator");
        ChooseComboEntry(qobject_cast<QComboBox*>(ControlOf(dialog, IDC_ZONE)), UtmPositionOfZone(50, true));
        Press(dialog, 1);
    });
    ASSERT_EQ(chooser.DoModal(), 1);
    // WGS 84 in zone 50 is EPSG's system: its name and code.
    EXPECT_STREQ(chooser.GetSrsName(), "WGS 84 / UTM zone 50N");
    EXPECT_EQ(Orvane::GetCoordSysName(chooser.GetWKT()), "WGS 84 / UTM zone 50N");
    EXPECT_EQ(Orvane::GetProjectionName(chooser.GetWKT()), "Transverse_Mercator");
}

TEST_F(DoModalTest, CancelGivesNoResultButTheNextRunStartsFromTheLastOne)
{
    Orvane chooser(nullptr);
    WhenModalShows([](QWidget* dialog) {
        ChooseComboText(qobject_cast<QComboBox*>(ControlOf(dialog, IDC_GEOG_SYSTEM)), "Xian 1980");
        Press(dialog, 1);
    });
    ASSERT_EQ(chooser.DoModal(), 1);
    ASSERT_STREQ(chooser.GetSrsName(), "Xian 1980");

    std::string shown;
    WhenModalShows([&shown](QWidget* dialog) {
        shown = qobject_cast<QComboBox*>(ControlOf(dialog, IDC_GEOG_SYSTEM))->currentText().toStdString();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(chooser.DoModal(), 2);
    EXPECT_EQ(shown, "Xian 1980") << "the second run restores the first one's choice";
    EXPECT_FALSE(chooser.IsSettingOK());
    EXPECT_EQ(chooser.GetWKT(), nullptr);
    EXPECT_EQ(chooser.GetSrsName(), nullptr);

    WhenModalShows([&shown](QWidget* dialog) {
        shown = qobject_cast<QComboBox*>(ControlOf(dialog, IDC_GEOG_SYSTEM))->currentText().toStdString();
        Press(dialog, 1);
    });
    ASSERT_EQ(chooser.DoModal(), 1);
    EXPECT_EQ(shown, "Xian 1980") << "still the earlier result after a Cancel";
    EXPECT_STREQ(chooser.GetSrsName(), "Xian 1980");
}

TEST_F(DoModalTest, AnyOtherLanguageShowsTheEnglishTemplate)
{
    Orvane chooser("");
    chooser.SetLanguage(static_cast<LanguageSet>(5));
    std::string title;
    WhenModalShows([&title](QWidget* dialog) {
        title = dialog->windowTitle().toStdString();
        Press(dialog, 2);
    });
    EXPECT_EQ(chooser.DoModal(), 2);
    EXPECT_EQ(title, "Choose Coordinate System");
}

TEST_F(DoModalTest, AMessageBoxIsAnsweredAsAUserDoes)
{
    // An unusable handed-in text: the real message box first, then the chooser.
    Orvane chooser("not a spatial reference");
    std::string message;
    WhenModalShows([&message](QWidget* box) {
        message = box->findChild<QLabel*>("qt_msgbox_label")
                      ? box->findChild<QLabel*>("qt_msgbox_label")->text().toStdString()
                      : "";
        QTest::keyClick(box, Qt::Key_Return);
        WhenModalShows([](QWidget* dialog) { Press(dialog, 1); });
    });
    ASSERT_EQ(chooser.DoModal(), 1);
    EXPECT_EQ(message, "Unknown spatial reference!");
    EXPECT_STREQ(chooser.GetSrsName(), "WGS 84");
}

TEST_F(DoModalTest, TheHostsGdalDataOptionIsLeftAsItWas)
{
    // The host's own drivers (DXF, S-57, GML …) read their files from there.
    for (const char* hostValue : {"/host/gdal-data", static_cast<const char*>(nullptr)}) {
        CPLSetConfigOption("GDAL_DATA", hostValue);
        Orvane chooser(nullptr);
        bool editorShown = false;
        WhenModalShows([&editorShown](QWidget* dialog) {
            WhenModalShows([&editorShown](QWidget* editor) {
                editorShown = editor->windowTitle() == "New Geographic Coordinate System";
                Press(editor, 2);
            });
            Press(dialog, IDC_ADD_GEOG_SYSTEM);
            Press(dialog, 2);
        });
        EXPECT_EQ(chooser.DoModal(), 2);
        EXPECT_TRUE(editorShown);
        const char* after = CPLGetConfigOption("GDAL_DATA", nullptr);
        EXPECT_EQ(after ? std::string(after) : "(unset)", hostValue ? hostValue : "(unset)");
    }
}

TEST_F(DoModalTest, WithoutTheResourceLibraryThereIsNoDialog)
{
    std::filesystem::remove(m_folder / "libOrvaneUI.so");
    RestartModuleInFolder(m_folder.Path());
    Orvane chooser("GEOGCS[\"x\"]");
    EXPECT_EQ(chooser.DoModal(), 2);
    EXPECT_FALSE(chooser.IsSettingOK());
}

namespace {

// A host's own language: every text Qt asks it for, marked.
class HostTranslator : public QTranslator {
public:
    QString translate(const char*, const char* source, const char*, int) const override
    {
        return QStringLiteral("host:") + QString::fromUtf8(source);
    }
    bool isEmpty() const override { return false; }
};

}  // namespace

TEST_F(DoModalTest, QtsOwnDialogsSpeakTheChoosersLanguageAndTheHostKeepsItsOwn)
{
    HostTranslator host;
    QCoreApplication::installTranslator(&host);
    const QString hostCancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
    const struct {
        LanguageSet language;
        const char* title;
        const char* cancel;
    } rows[] = {{LANGUAGE_SIMPLIFIED_CHINESE, "选择数据源", "取消"}, {LANGUAGE_TRADITIONAL_CHINESE, "選擇資料來源", "取消"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.title);
        Orvane chooser(nullptr);
        chooser.SetLanguage(row.language);
        std::string title, kind;
        QStringList buttons;
        WhenModalShows([&](QWidget* dialog) {
            kind = qobject_cast<QComboBox*>(ControlOf(dialog, IDC_SYSTEM_KIND))->itemText(0).toStdString();
            WhenModalShows([&](QWidget* files) {
                title = files->windowTitle().toStdString();
                for (QAbstractButton* button : files->findChildren<QAbstractButton*>())
                    buttons << button->text();
                QTest::keyClick(files, Qt::Key_Escape);
            });
            Press(dialog, IDC_IMPORT);
            Press(dialog, 2);
        });
        EXPECT_EQ(chooser.DoModal(), 2);
        EXPECT_EQ(title, row.title);
        EXPECT_TRUE(buttons.contains(QString::fromUtf8(row.cancel))) << buttons.join(", ").toStdString();
        EXPECT_EQ(kind, kGeographicKind) << "kept English in every language";
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), hostCancel) << "the host's language back";
    }
    QCoreApplication::removeTranslator(&host);
}
