// The parameter list and what OK composes of what the dialog shows.
#include <QAbstractButton>
#include <QLabel>
#include <QPlainTextEdit>
#include "catalog/PredefinedSystems.h"
#include "catalog/Identification.h"
#include "chooser/ChooserFixture.h"

TEST_F(ChooserTest, ParametersAreListedInNameOrderWithEighteenDecimals)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_METHOD, "Lambert_Conformal_Conic_2SP");
    std::vector<std::pair<std::string, std::string>> expected;
    for (const char* name : {"central_meridian", "false_easting", "false_northing", "latitude_of_origin",
                             "standard_parallel_1", "standard_parallel_2"})
        expected.emplace_back(name, "0.000000000000000000");
    EXPECT_EQ(Parameters(), expected);
}

// Room to read: widened, the value column takes the table's free width and
// shows a value whole; a value cut short shows whole in its tooltip; the
// summary wraps rather than scrolling sideways.
TEST_F(ChooserTest, ValuesAndTheSummaryHaveRoomToBeRead)
{
    Open(ExportToWkt(EpsgSystem("32650").get()));
    QWidget* window = Table()->window();
    window->resize(1250, window->height());
    QApplication::processEvents();
    const QString value = Table()->item(1, 1)->text();
    ASSERT_EQ(Table()->item(1, 0)->text().toStdString(), "false_easting");
    EXPECT_EQ(value.toStdString(), "500000.000000000000000000");
    EXPECT_GE(Table()->columnWidth(1), Table()->fontMetrics().horizontalAdvance(value)) << "shown whole";
    EXPECT_EQ(Table()->columnWidth(0) + Table()->columnWidth(1), Table()->viewport()->width())
        << "the value column takes the free width";
    EXPECT_EQ(Table()->item(1, 1)->toolTip(), value);
    auto* summary = qobject_cast<QPlainTextEdit*>(Dlg().FindControl(IDC_GEOG_SUMMARY));
    EXPECT_EQ(summary->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(summary->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

// Nothing is cut off, in either language, at the scale the suite runs at
// (it runs again at QT_SCALE_FACTOR=2, as on a 4K screen): each label,
// button and list shows its whole text, within the window.
TEST_F(ChooserTest, EveryControlShowsWholeAtEveryScale)
{
    const QByteArray scale = qgetenv("QT_SCALE_FACTOR");
    const LanguageSet saved = g_language;
    for (const LanguageSet language : {LANGUAGE_ENGLISH, LANGUAGE_SIMPLIFIED_CHINESE}) {
        g_language = language;
        Open(ExportToWkt(EpsgSystem("32650").get()));
        QWidget* window = Table()->window();
        QApplication::processEvents();
        if (!scale.isEmpty()) {
            EXPECT_DOUBLE_EQ(window->devicePixelRatioF(), scale.toDouble());
        }
        const QRect inside = window->rect();
        std::string cut;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            const bool shows = qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget) ||
                               qobject_cast<QComboBox*>(widget) || qobject_cast<QLineEdit*>(widget);
            if (!shows || !widget->isVisibleTo(window) || widget->isWindow())
                continue;
            const QRect at(widget->mapTo(window, QPoint(0, 0)), widget->size());
            const QSize least = widget->minimumSizeHint();
            if (!inside.contains(at) || widget->width() < least.width() || widget->height() < least.height())
                cut += widget->metaObject()->className() + std::string(" '") +
                       widget->property("text").toString().toStdString() + "'; ";
        }
        EXPECT_TRUE(cut.empty()) << static_cast<int>(language) << ": " << cut;
    }
    g_language = saved;
}

TEST_F(ChooserTest, WhatTheListShowsIsWhatOkComposes)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_PROJ_METHOD, "Mercator_1SP");
    EditParameter("central_meridian", "105.5");
    EditParameter("scale_factor", "0.9996");
    EditParameter("false_northing", "-1e3");
    EXPECT_EQ(ParameterText("central_meridian"), "105.5") << "shown as typed";
    // An edit stays with its method.
    Choose(IDC_PROJ_METHOD, "Bonne");
    Choose(IDC_PROJ_METHOD, "Mercator_1SP");
    EXPECT_EQ(ParameterText("central_meridian"), "105.5");
    Choose(IDC_UNIT, "metre");
    ASSERT_TRUE(PressOk());
    OsrHandle srs = Result();
    EXPECT_EQ(AttrValue(srs.get(), "PROJCS"), "<Custom Projection Coordinate System>");
    EXPECT_EQ(AttrValue(srs.get(), "PROJECTION"), "Mercator_1SP");
    EXPECT_EQ(Parm(srs.get(), "central_meridian"), 105.5);
    EXPECT_EQ(Parm(srs.get(), "false_northing"), -1000.0);
    EXPECT_EQ(Parm(srs.get(), "scale_factor"), 0.9996);
    EXPECT_EQ(AttrValue(srs.get(), "GEOGCS"), "WGS 84");
    char* unit = nullptr;
    EXPECT_EQ(OSRGetLinearUnits(srs.get(), &unit), 1.0);
    EXPECT_STREQ(unit, "metre");

    // Text that is no number is refused, and the message says which.
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    EditParameter("false_easting", "500 m");
    EXPECT_EQ(ParameterText("false_easting"), "500 m");
    // Marked where it was typed, before OK: a decimal comma too.
    CEditListCtrl& list = Dlg().GetParameterList();
    const auto rowOf = [&](const char* name) {
        for (int r = 0; r < list.GetItemCount(); ++r)
            if (list.GetItemText(r, 0) == name)
                return r;
        return -1;
    };
    EXPECT_EQ(list.GetCellProblem(rowOf("false_easting"), 1), "The value of false_easting is not a number.");
    EXPECT_EQ(ProblemLine(), "The value of false_easting is not a number.") << "the line under the list";
    EditParameter("scale_factor", "0,9996");
    EXPECT_EQ(list.GetCellProblem(rowOf("scale_factor"), 1),
              "The value of scale_factor is not a number: write a decimal point, not a comma.");
    EditParameter("scale_factor", "0.9996");
    EXPECT_EQ(list.GetCellProblem(rowOf("scale_factor"), 1), "") << "mended, unmarked";
    EXPECT_EQ(list.GetCellProblem(rowOf("central_meridian"), 1), "");
    EditParameter("false_easting", "500");
    EXPECT_EQ(ProblemLine(), "") << "nothing to say, no line";
    EditParameter("false_easting", "500 m");
    // OK refuses it, and the keyboard goes back to it.
    EXPECT_FALSE(PressOk());
    EXPECT_EQ(LastReason(), "The value of false_easting is not a number.");
    EXPECT_EQ(Table()->window()->focusWidget(), Table());
    EXPECT_EQ(list.GetCurrentRow(), rowOf("false_easting"));
}

TEST_F(ChooserTest, AnEditedSystemLeavesItsCodeAndName)
{
    OsrHandle epsg(OSRNewSpatialReference(nullptr));
    OSRImportFromEPSG(epsg.get(), 3857);
    Open(ExportToWkt(epsg.get()));
    EXPECT_EQ(Current(IDC_PROJ_METHOD), "Popular_Visualisation_Pseudo_Mercator");
    EditParameter("false_easting", "1000");
    ASSERT_TRUE(PressOk());
    OsrHandle result = Result();
    EXPECT_EQ(Parm(result.get(), "false_easting"), 1000.0) << "the edit is never dropped";
    char* proj = nullptr;
    OSRExportToProj4(result.get(), &proj);
    EXPECT_NE(std::string(proj).find(" +x_0=1000 "), std::string::npos) << proj;
    CPLFree(proj);
    EXPECT_EQ(OSRGetAuthorityCode(result.get(), nullptr), nullptr);
    EXPECT_EQ(AttrValue(result.get(), "PROJCS"), "<Custom Projection Coordinate System>");
}

TEST_F(ChooserTest, CancelEndsWithoutComposing)
{
    Open("");
    Click(IDCANCEL);
    EXPECT_EQ(Dlg().GetResult(), IDCANCEL);
    EXPECT_EQ(ResultWkt(), "");
}

TEST_F(ChooserTest, EveryMethodWithItsDefaultsIsUsableOrRefusedWithAReason)
{
    Open();
    Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
    Choose(IDC_UNIT, "metre");
    std::string refused, notComputable;
    const int methods = Combo(IDC_PROJ_METHOD)->count();
    for (int m = 0; m < methods; ++m) {
        ChooseAt(IDC_PROJ_METHOD, m);
        SCOPED_TRACE(Current(IDC_PROJ_METHOD));
        const ComposedSystem composed = Dlg().ComposeChoice();
        if (composed.wkt.empty()) {
            refused += " " + Current(IDC_PROJ_METHOD);
            EXPECT_FALSE(RefusalText(composed.problem, composed.parameter, composed.reason).empty());
            continue;
        }
        OsrHandle result = NewSpatialReference(composed.wkt);
        ASSERT_NE(result, nullptr) << composed.wkt;
        EXPECT_TRUE(OSRIsProjected(result.get()));
        // PROJ computes with it, where it computes with its method at all.
        char* proj = nullptr;
        const bool computable = OSRExportToProj4(result.get(), &proj) == OGRERR_NONE && proj && *proj;
        CPLFree(proj);
        if (!computable) {
            notComputable += " " + Current(IDC_PROJ_METHOD);
            continue;
        }
        OsrHandle geographic(OSRCloneGeogCS(result.get()));
        for (OGRSpatialReferenceH srs : {result.get(), geographic.get()})
            OSRSetAxisMappingStrategy(srs, OAMS_TRADITIONAL_GIS_ORDER);
        OGRCoordinateTransformationH forward = OCTNewCoordinateTransformation(geographic.get(), result.get());
        ASSERT_NE(forward, nullptr) << composed.wkt;
        double x = 0.5, y = 0.5;
        EXPECT_TRUE(OCTTransform(forward, 1, &x, &y, nullptr)) << composed.wkt;
        OCTDestroyCoordinateTransformation(forward);
    }
    std::printf("refused with their defaults:%s\nmethods this PROJ cannot compute with:%s\n", refused.c_str(),
                notComputable.c_str());
    // OK on a refused method keeps the dialog open and says why.
    Choose(IDC_PROJ_METHOD, "Lambert_Conformal_Conic_2SP");
    EXPECT_FALSE(PressOk());
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].text,
              "Coordinate set error!\nThe standard parallels meet (standard_parallel_1 is the other's negative): they "
              "make no cone.");
}
