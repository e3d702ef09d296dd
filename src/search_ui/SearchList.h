// What the search list shows: an optional heading line, then a row per
// system found (name, code, kind, area of use). A model, so that a keystroke
// costs the rows in sight rather than a widget item per row found.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <QAbstractTableModel>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

#include "search/Candidate.h"

struct SearchRow {
    const Candidate* candidate;
    std::string alias; // the other name the words were found in
};

class SearchListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { kName, kCode, kKind, kArea, kColumns };

    using QAbstractTableModel::QAbstractTableModel;
    // Shows `heading` (when not empty), a line no one chooses, over `rows`.
    void Set(const std::string& heading, std::vector<SearchRow> rows);
    const std::vector<SearchRow>& Rows() const { return m_rows; }
    // The model row of the rows' `row`, and back (-1 for the heading or none).
    int ModelRow(int row) const { return row + FirstRow(); }
    int RowOf(int modelRow) const;
    bool HasHeading() const { return !m_heading.isEmpty(); }
    // The text of a cell as shown, and about how wide it is in widths of a
    // Latin letter (cheaper than measuring, for finding the widest).
    QString Text(int modelRow, int column) const;
    std::size_t TextWidths(int modelRow, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    int FirstRow() const { return m_heading.isEmpty() ? 0 : 1; }
    QString m_heading;
    std::vector<SearchRow> m_rows;
};

// Draws the list's cells as the style does, their texts shaped once: the
// rows a keystroke shows are mostly those it showed before, and shaping
// text is what costs in drawing them.
class SearchRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The width of `text` in `font`, in pixels.
    int TextWidth(const QString& text, const QFont& font) const;

private:
    // `text` in `font`, cut in the middle to `width` pixels where longer.
    const QStaticText& Shaped(const QString& text, const QFont& font, int width) const;
    // A text as shaped for a cell `width` pixels wide: whole where it fits
    // (and so at any greater width), else cut to that width.
    struct ShapedText {
        int width = 0;
        bool whole = false;
        QStaticText text;
    };
    // What is kept of the texts of one font, by text.
    struct FontTexts {
        QHash<QString, ShapedText> shaped;
        QHash<QString, int> widths;
        int rowHeight = -1;
    };
    // The texts of `font`: the list draws in one or two fonts, and a font's
    // key is long to make and to look up.
    FontTexts& TextsOf(const QFont& font) const;
    mutable std::map<QString, FontTexts> m_fonts; // by the font's key
    mutable QFont m_lastFont;
    mutable FontTexts* m_lastTexts = nullptr;
};

// The list's text for a candidate's code column: "EPSG:n", "ESRI:n", or
// where it comes from when it has no code.
std::string CodeColumnText(const Candidate& candidate);
