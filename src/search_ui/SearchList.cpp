#include "search_ui/SearchList.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QStyle>

#include "module/Messages.h"

namespace
{

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

QString KindText(CandidateKind kind)
{
    return QString::fromUtf8(MessageText(kind == CandidateKind::Projected
                                             ? MessageId::SearchProjected
                                             : MessageId::SearchGeographic));
}

} // namespace

std::string CodeColumnText(const Candidate& candidate)
{
    const std::string code = CandidateCode(candidate);
    if (!code.empty())
        return code;
    switch (candidate.source) {
    case CandidateSource::Catalogue: return MessageText(MessageId::SearchCatalogue);
    case CandidateSource::User: return MessageText(MessageId::SearchUser);
    case CandidateSource::Recent: return MessageText(MessageId::SearchRecent);
    case CandidateSource::Database: break;
    }
    return std::string();
}

void SearchListModel::Set(const std::string& heading, std::vector<SearchRow> rows)
{
    const QString newHeading = ::Text(heading);
    if (newHeading.isEmpty() != m_heading.isEmpty()) {
        beginResetModel();
        m_heading = newHeading;
        m_rows = std::move(rows);
        endResetModel();
        return;
    }
    // A keystroke's rows are new texts in the rows there were, and rows
    // added or taken away at the end: the view keeps its columns as they
    // are (a reset would lay them out anew, and the list be drawn twice).
    const int before = static_cast<int>(m_rows.size()), after = static_cast<int>(rows.size());
    const int first = FirstRow();
    if (after > before)
        beginInsertRows(QModelIndex(), first + before, first + after - 1);
    else if (after < before)
        beginRemoveRows(QModelIndex(), first + after, first + before - 1);
    m_heading = newHeading;
    m_rows = std::move(rows);
    if (after > before)
        endInsertRows();
    else if (after < before)
        endRemoveRows();
    if (first + std::min(before, after) > 0)
        Q_EMIT dataChanged(index(0, 0), index(first + std::min(before, after) - 1, kColumns - 1));
}

int SearchListModel::RowOf(int modelRow) const
{
    const int row = modelRow - FirstRow();
    return row >= 0 && row < static_cast<int>(m_rows.size()) ? row : -1;
}

QString SearchListModel::Text(int modelRow, int column) const
{
    if (HasHeading() && modelRow == 0)
        return column == kName ? m_heading : QString();
    const int row = RowOf(modelRow);
    if (row < 0)
        return QString();
    const SearchRow& shown = m_rows[static_cast<std::size_t>(row)];
    const Candidate& c = *shown.candidate;
    switch (column) {
    case kName:
        return shown.alias.empty() ? ::Text(c.name)
                                   : ::Text(c.name + "  (" +
                                            MessageWith(MessageId::SearchAlias, shown.alias) + ")");
    case kCode: return ::Text(CodeColumnText(c));
    case kKind: return KindText(c.kind);
    case kArea: return c.area ? ::Text(c.area->name) : QString();
    default: return QString();
    }
}

namespace
{

// About how wide a text is, in widths of a Latin letter: a Chinese
// character is two, whatever the bytes that write it.
std::size_t Widths(std::string_view text)
{
    std::size_t widths = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        widths += byte < 0x80 ? 1 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
    }
    return widths;
}

} // namespace

std::size_t SearchListModel::TextWidths(int modelRow, int column) const
{
    const int row = RowOf(modelRow);
    if (row < 0)
        return Widths(Text(modelRow, column).toStdString());
    const SearchRow& shown = m_rows[static_cast<std::size_t>(row)];
    const Candidate& c = *shown.candidate;
    switch (column) {
    case kName: return Widths(c.name) + (shown.alias.empty() ? 0 : Widths(shown.alias) + 12);
    case kCode:
        // "EPSG:4326" without making it: the column is measured every keystroke.
        return c.code.empty() || c.authority.empty() ? Widths(CodeColumnText(c))
                                                     : Widths(c.authority) + 1 + Widths(c.code);
    case kArea: return c.area ? Widths(c.area->name) : 0;
    default: return Widths(Text(modelRow, column).toStdString());
    }
}

int SearchListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : FirstRow() + static_cast<int>(m_rows.size());
}

int SearchListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant SearchListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const int modelRow = index.row();
    const bool heading = HasHeading() && modelRow == 0;
    switch (role) {
    case Qt::DisplayRole: return Text(modelRow, index.column());
    case Qt::FontRole:
        if (heading) {
            QFont font;
            font.setItalic(true);
            return font;
        }
        return QVariant();
    case Qt::ToolTipRole: {
        // The whole of what elision hides.
        if (heading)
            return m_heading;
        const QString area = Text(modelRow, kArea);
        return Text(modelRow, kName) + "\n" + Text(modelRow, kCode) + "  " + Text(modelRow, kKind) +
               (area.isEmpty() ? QString() : "\n" + area);
    }
    case Qt::AccessibleTextRole: {
        // A screen reader reads a row as what tells it apart: name, code, area.
        if (heading || index.column() != kName)
            return QVariant();
        const QString area = Text(modelRow, kArea);
        return Text(modelRow, kName) + ", " + Text(modelRow, kCode) +
               (area.isEmpty() ? QString() : ", " + area);
    }
    default: return QVariant();
    }
}

QVariant SearchListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    static const MessageId kHeadings[kColumns] = {
        MessageId::SearchColumnName, MessageId::SearchColumnCode, MessageId::SearchColumnKind,
        MessageId::SearchColumnArea};
    return section >= 0 && section < kColumns
               ? QVariant(QString::fromUtf8(MessageText(kHeadings[section])))
               : QVariant();
}

Qt::ItemFlags SearchListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // The heading is a line to read, never a choice.
    if (HasHeading() && index.row() == 0)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

namespace
{

// What each of the delegate's caches keeps: more than the cells of many keystrokes.
constexpr int kCachedMost = 2000;

// The room a cell leaves between its edge and its text, as the style's own
// item drawing leaves it.
int TextMargin(const QStyleOptionViewItem& option)
{
    QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
}

// What `cache` holds for `key`, made by `make` the first time; a cache grown
// past its bound starts again.
template <typename Value, typename Make>
const Value& Cached(QHash<QString, Value>& cache, const QString& key, Make make)
{
    const auto known = cache.constFind(key);
    if (known != cache.constEnd())
        return *known;
    if (cache.size() >= kCachedMost)
        cache.clear();
    return *cache.insert(key, make());
}

} // namespace

SearchRowDelegate::FontTexts& SearchRowDelegate::TextsOf(const QFont& font) const
{
    if (!m_lastTexts || font != m_lastFont) {
        m_lastFont = font;
        m_lastTexts = &m_fonts[font.key()];
    }
    return *m_lastTexts;
}

const QStaticText& SearchRowDelegate::Shaped(const QString& text, const QFont& font,
                                             int width) const
{
    QHash<QString, ShapedText>& shaped = TextsOf(font).shaped;
    // The columns' widths follow the rows of each keystroke: a text that fit
    // a narrower cell fits this one as it was shaped; one cut short is cut
    // anew at another width.
    const auto known = shaped.constFind(text);
    if (known != shaped.constEnd() &&
        (known->whole ? width >= known->width : width == known->width))
        return known->text;
    if (shaped.size() >= kCachedMost)
        shaped.clear();
    // Zones differ at the end of their names: keep both ends.
    const QString elided = QFontMetrics(font).elidedText(text, Qt::ElideMiddle, width);
    ShapedText made{width, elided == text, QStaticText(elided)};
    made.text.setTextFormat(Qt::PlainText);
    made.text.setPerformanceHint(QStaticText::AggressiveCaching);
    made.text.prepare(QTransform(), font);
    return shaped.insert(text, std::move(made))->text;
}

void SearchRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : cell.state & QStyle::State_Active   ? QPalette::Normal
                                                                             : QPalette::Inactive;
    // The cells hold a line of text and nothing else, and the list never
    // has the focus: the selection's colour under the text, as the style
    // fills it (the row's own background is the view's).
    if (cell.state & QStyle::State_Selected)
        painter->fillRect(cell.rect, cell.palette.brush(group, QPalette::Highlight));
    if (cell.text.isEmpty())
        return;
    const int margin = TextMargin(cell);
    const QRect room = cell.rect.adjusted(margin, 0, -margin, 0);
    if (room.width() <= 0)
        return;
    const QStaticText& shaped = Shaped(cell.text, cell.font, room.width());
    painter->save();
    painter->setFont(cell.font);
    painter->setPen(cell.palette.color(
        group, cell.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setClipRect(room);
    const int height = QFontMetrics(cell.font).height();
    painter->drawStaticText(room.left(), room.top() + (room.height() - height) / 2, shaped);
    painter->restore();
}

int SearchRowDelegate::TextWidth(const QString& text, const QFont& font) const
{
    return Cached(TextsOf(font).widths, text,
                  [&] { return QFontMetrics(font).horizontalAdvance(text); });
}

QSize SearchRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    // Every row is one line high: the style's height for a line of the font,
    // measured once.
    FontTexts& texts = TextsOf(cell.font);
    if (texts.rowHeight < 0) {
        QStyleOptionViewItem line = cell;
        line.text = QStringLiteral("Ag");
        texts.rowHeight = QStyledItemDelegate::sizeHint(line, QModelIndex()).height();
    }
    const int height = texts.rowHeight;
    return QSize(TextWidth(cell.text, cell.font) + 2 * TextMargin(cell), height);
}
