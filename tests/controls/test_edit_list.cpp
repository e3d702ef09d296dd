// The editable list, worked with the mouse and keyboard and checked on its
// rendered image.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <cstdlib>

#include "controls/EditListCtrl.h"
#include "module/Language.h"
#include "platform/DataExchange.h"
#include "platform/Dialog.h"
#include "support/TestSupport.h"

namespace {

const std::string kLongText(300, 'W');

class ListOwner : public CDialog {
public:
    ListOwner() : CDialog(IDD_CHOOSER_ENGLISH) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
        m_list.InsertColumn(0, "Parameters", LVCFMT_LEFT, 150);
        m_list.InsertColumn(1, "Value", LVCFMT_LEFT, 180);
        const char* rows[][2] = {{"central_meridian", "117.000000000000000000"},
                                 {"false_easting", ""},
                                 {"long_value", kLongText.c_str()},
                                 {"scale_factor", "1"}};
        for (int i = 0; i < 4; ++i) {
            m_list.InsertItem(i, rows[i][0]);
            m_list.SetItemText(i, 1, rows[i][1]);
        }
        return TRUE;
    }
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 1091, m_list); }
    CEditListCtrl m_list;
};

class EditListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_owner.Create());
        m_table = qobject_cast<QTableWidget*>(m_owner.FindControl(1091));
        ASSERT_NE(m_table, nullptr);
        m_owner.GetWidget()->resize(560, 640);
        QApplication::processEvents();
    }

    QWidget* Viewport() { return m_table->viewport(); }
    QRect Cell(int row, int column) { return m_table->visualRect(m_table->model()->index(row, column)); }

    // A user moves the mouse to `point` of `widget` and clicks there.
    void ClickAt(QWidget* widget, const QPoint& point)
    {
        QCursor::setPos(widget->mapToGlobal(point));
        QTest::mouseClick(widget, Qt::LeftButton, {}, point, 400);  // not a double click
        QApplication::processEvents();
    }
    void ClickCell(int row, int column) { ClickAt(Viewport(), Cell(row, column).center()); }

    QImage Render()
    {
        QApplication::processEvents();
        return Viewport()->grab().toImage();
    }
    QRgb Highlight() const { return m_table->palette().color(QPalette::Active, QPalette::Highlight).rgb(); }

    // Pixels of the highlight colour outside `allowed`.
    int HighlightPixelsOutside(const QImage& image, const QRect& allowed)
    {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (!allowed.contains(x, y) && image.pixel(x, y) == Highlight())
                    ++count;
        return count;
    }

    QLineEdit* Editor() { return m_owner.m_list.GetEditor().Editor(); }

    ListOwner m_owner;
    QTableWidget* m_table = nullptr;
};

}  // namespace

TEST_F(EditListTest, FirstClickHighlightsTheCellAloneSecondClickEditsIt)
{
    ClickCell(0, 1);
    CEditListCtrl& list = m_owner.m_list;
    EXPECT_TRUE(list.IsCellSelected());
    EXPECT_EQ(list.GetCurrentRow(), 0);
    EXPECT_EQ(list.GetCurrentColumn(), 1);
    EXPECT_FALSE(list.IsEditing());

    const QRect cell = Cell(0, 1);
    const int textWidth = m_table->fontMetrics().horizontalAdvance("117.000000000000000000");
    const QRect expected(QPoint(cell.left() + 4, cell.top()),
                         QPoint(std::min(cell.left() + textWidth + 10, cell.left() + cell.width()) - 1,
                                cell.bottom()));
    EXPECT_EQ(list.HighlightRect(0, 1), expected);
    QImage image = Render();
    const int y = cell.top() + 2;
    EXPECT_EQ(image.pixel(expected.left() + 2, y), Highlight());
    EXPECT_EQ(image.pixel(expected.right() - 2, y), Highlight());
    EXPECT_NE(image.pixel(cell.left() + 2, y), Highlight()) << "nothing left of left + 4";
    EXPECT_EQ(HighlightPixelsOutside(image, expected), 0) << "no other cell, no row highlight";

    ClickCell(0, 1);
    ASSERT_TRUE(list.IsEditing());
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->x(), cell.left() + 4);
    EXPECT_EQ(Editor()->text(), "117.000000000000000000");
    EXPECT_TRUE(Editor()->hasFocus());
}

TEST_F(EditListTest, EnterWritesTheTextEscapeDropsIt)
{
    ClickCell(0, 1);
    ClickCell(0, 1);
    ASSERT_NE(Editor(), nullptr);
    Editor()->selectAll();
    QTest::keyClicks(Editor(), "120.5");
    QTest::keyClick(Editor(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(m_owner.m_list.IsEditing());
    EXPECT_EQ(m_owner.m_list.GetItemText(0, 1), "120.5");
    EXPECT_TRUE(m_owner.m_list.IsCellSelected()) << "the cursor stayed in the list";

    ClickCell(0, 1);
    ASSERT_NE(Editor(), nullptr);
    Editor()->selectAll();
    QTest::keyClicks(Editor(), "999");
    QTest::keyClick(Editor(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(m_owner.m_list.IsEditing());
    EXPECT_EQ(m_owner.m_list.GetItemText(0, 1), "120.5");
}

TEST_F(EditListTest, NamesInTheFirstColumnNeverChange)
{
    ClickCell(3, 0);
    ClickCell(3, 0);
    ASSERT_NE(Editor(), nullptr) << "the editor opens, as on the name label";
    Editor()->selectAll();
    QTest::keyClicks(Editor(), "renamed");
    QTest::keyClick(Editor(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(m_owner.m_list.GetItemText(3, 0), "scale_factor");
}

TEST_F(EditListTest, AnEmptyCellHighlightsFortyOnePixelsOfText)
{
    ClickCell(1, 1);
    const QRect cell = Cell(1, 1);
    EXPECT_EQ(m_owner.m_list.HighlightRect(1, 1),
              QRect(QPoint(cell.left() + 4, cell.top()), QPoint(cell.left() + 50, cell.bottom())));
    QImage image = Render();
    const int y = cell.center().y();
    EXPECT_EQ(image.pixel(cell.left() + 48, y), Highlight());
    EXPECT_NE(image.pixel(cell.left() + 52, y), Highlight());
    EXPECT_EQ(HighlightPixelsOutside(image, m_owner.m_list.HighlightRect(1, 1)), 0);
}

TEST_F(EditListTest, ClickingOutsideWhileEditingEndsTheEditAndDropsTheSelection)
{
    ClickCell(0, 1);
    ClickCell(0, 1);
    ASSERT_NE(Editor(), nullptr);
    Editor()->selectAll();
    QTest::keyClicks(Editor(), "33");
    auto* summary = m_owner.FindControl(1081);  // another control, outside the list
    ClickAt(summary, QPoint(5, 5));
    EXPECT_FALSE(m_owner.m_list.IsEditing());
    EXPECT_EQ(m_owner.m_list.GetItemText(0, 1), "33") << "leaving the editor confirms it";
    EXPECT_EQ(m_owner.m_list.GetCurrentRow(), -1);
    EXPECT_EQ(m_owner.m_list.GetCurrentColumn(), -1);
    EXPECT_FALSE(m_owner.m_list.IsCellSelected());
    EXPECT_EQ(HighlightPixelsOutside(Render(), QRect()), 0);
}

TEST_F(EditListTest, ClickingAnotherCellWhileEditingSelectsItWithoutEditing)
{
    ClickCell(0, 1);
    ClickCell(0, 1);
    ASSERT_NE(Editor(), nullptr);
    ClickCell(3, 1);
    EXPECT_FALSE(m_owner.m_list.IsEditing());
    EXPECT_EQ(m_owner.m_list.GetCurrentRow(), 3);
    EXPECT_EQ(m_owner.m_list.GetCurrentColumn(), 1);
    EXPECT_TRUE(m_owner.m_list.IsCellSelected());
}

TEST_F(EditListTest, ClickingBesideTheRowsKeepsOnlyTheFocusRectangle)
{
    ClickCell(0, 1);
    const QRect last = Cell(3, 1);
    ClickAt(Viewport(), QPoint(last.center().x(), last.bottom() + 20));
    EXPECT_FALSE(m_owner.m_list.IsCellSelected());
    EXPECT_EQ(m_owner.m_list.GetCurrentRow(), 0) << "the current cell is kept";
    EXPECT_EQ(HighlightPixelsOutside(Render(), QRect()), 0) << "no fill any more";
}

TEST_F(EditListTest, LongTextsEndInsideTheirCell)
{
    const QRect cell = Cell(2, 1);
    QImage image = Render();
    const QRgb base = image.pixel(cell.right() + 20, cell.center().y());
    bool textNearTheEnd = false;
    for (int x = cell.right() - 20; x < cell.right() - 2; ++x)
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            textNearTheEnd = textNearTheEnd || image.pixel(x, y) != image.pixel(cell.left() + 2, y);
    EXPECT_TRUE(textNearTheEnd) << "the text (its ellipsis) reaches the end of the cell";
    for (int x = cell.right() + 2; x < std::min(image.width(), cell.right() + 60); ++x)
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            ASSERT_EQ(image.pixel(x, y), base) << "text drawn beyond the cell at " << x << "," << y;
}
