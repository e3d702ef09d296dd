#include "search_ui/SearchPopup.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <QTreeView>

#include "module/Messages.h"
#include "search/Matching.h"
#include "search/Places.h"
#include "search_ui/SearchList.h"
#include "util/Beside.h"

namespace
{

// More rows than anyone reads; few enough to fill the list at once.
constexpr std::size_t kRowsShown = 200;
constexpr int kRowsVisible = 12;
// A pause in typing: longer than between the letters of a word typed.
constexpr int kTypingPauseMs = 100;
// An area of use may be a sentence: past this width it is elided.
constexpr int kAreaColumnMost = 320;

constexpr int kColumns = SearchListModel::kColumns;
constexpr int kName = SearchListModel::kName, kCode = SearchListModel::kCode,
              kKind = SearchListModel::kKind, kArea = SearchListModel::kArea;

// The query as the "nothing matches" line quotes it: one line, not a page.
std::string Quoted(std::string query)
{
    for (char& c : query)
        c = c == '\t' || c == '\n' || c == '\r' ? ' ' : c;
    const std::size_t start = query.find_first_not_of(' ');
    query = query.substr(start, query.find_last_not_of(' ') + 1 - start);
    if (query.size() > 60) {
        std::size_t cut = 57;
        while (cut > 0 && (static_cast<unsigned char>(query[cut]) & 0xC0) == 0x80)
            --cut; // not inside a character
        query = query.substr(0, cut) + "…";
    }
    return query;
}

// Whether the windowing system tells where windows stand on the screen.
// Wayland does not: a client places a popup only against its parent, and
// whether it then fits the screen is not the client's to know.
bool WindowsHavePlaces()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

SearchPopup::SearchPopup(QLineEdit* field, QWidget* dialog, Loader load, Recents recents,
                         Chooser choose)
    : QObject(field), m_field(field), m_dialog(dialog), m_list(new QTreeView(dialog)),
      m_model(new SearchListModel(m_list)), m_delegate(new SearchRowDelegate(m_list)),
      m_load(std::move(load)), m_recents(std::move(recents)), m_choose(std::move(choose))
{
    // A window of its own, so that it may be wider than the dialog; one that
    // never takes the focus from the field.
    m_list->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    m_list->setAttribute(Qt::WA_ShowWithoutActivating);
    m_list->hide();
    m_list->setModel(m_model);
    m_list->setItemDelegate(m_delegate);
    m_list->setAccessibleName(QString::fromUtf8(MessageText(MessageId::SearchListName)));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setFrameShape(QFrame::Box);
    // Zones differ at the end of their names: keep both ends.
    m_list->setTextElideMode(Qt::ElideMiddle);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Keys stay with the field; the list only shows and takes clicks.
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->header()->setStretchLastSection(true);
    connect(m_list, &QTreeView::clicked, this,
            [this](const QModelIndex& index) { ChooseRow(m_model->RowOf(index.row())); });
    connect(m_field, &QLineEdit::textEdited, this, [this] { Refill(); });
    m_highlightLater.setSingleShot(true);
    m_highlightLater.setInterval(kTypingPauseMs);
    connect(&m_highlightLater, &QTimer::timeout, this, [this] { Highlight(); });
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (m_filling)
            m_highlightLater.start();
        else
            Highlight();
    });
    m_field->installEventFilter(this);
    m_dialog->installEventFilter(this);
}

SearchPopup::~SearchPopup()
{
    m_field->removeEventFilter(this);
    m_dialog->removeEventFilter(this);
}

void SearchPopup::Reload()
{
    Loader load = m_load;
    m_candidates =
        Beside([load] { return std::make_shared<const SearchCandidates>(load()); }).share();
}

const SearchCandidates& SearchPopup::Candidates()
{
    if (!m_candidates.valid())
        Reload();
    return *m_candidates.get();
}

bool SearchPopup::IsLoaded() const
{
    // A load that found no thread runs when the candidates are asked for.
    return m_candidates.valid() &&
           m_candidates.wait_for(std::chrono::seconds(0)) != std::future_status::timeout;
}

void SearchPopup::Refill()
{
    const std::string query = m_field->text().toStdString();
    std::vector<SearchRow> rows;
    if (query.find_first_not_of(" \t") == std::string::npos) {
        // A recent system is chosen only when the user moves to it: Enter on
        // an empty field is OK's.
        if (m_place)
            m_place(std::nullopt);
        // The rows shown point into the systems they were found in, which
        // are let go once the list shows the new ones (the list may read
        // its old rows while they go).
        std::vector<Candidate> recents = m_recents();
        for (const Candidate& recent : recents)
            rows.push_back(SearchRow{&recent, std::string()});
        const std::string heading =
            rows.empty() ? std::string() : MessageText(MessageId::SearchRecentlyUsed);
        Show(heading, std::move(rows), false);
        m_recent = std::move(recents); // the same systems, where the rows point
        return;
    }
    Candidates();
    const std::shared_ptr<const SearchCandidates> searched = m_candidates.get();
    const SearchCandidates& candidates = *searched;
    Finding finding = FindForText(candidates, query, kRowsShown);
    for (Found& found : finding.found)
        rows.push_back(SearchRow{found.candidate, std::move(found.alias)});
    if (m_place)
        m_place(finding.atPlace ? std::optional<std::pair<double, double>>(
                                      {finding.latitude, finding.longitude})
                                : std::nullopt);
    // The best match of words typed, or at a place, is chosen at once.
    const std::string heading =
        finding.atPlace ? MessageWith(MessageId::SearchSystemsAt, finding.placeLabel)
        : rows.empty()  ? MessageWith(MessageId::SearchNoMatch, Quoted(query))
                        : std::string();
    Show(heading, std::move(rows), true);
    m_searched = searched;
}

void SearchPopup::Show(const std::string& heading, std::vector<SearchRow> rows, bool chooseFirst)
{
    // The row first is told of once typing pauses (the list closing tells
    // of none at once).
    m_filling = true;
    if (heading.empty() && rows.empty()) {
        m_model->Set(heading, std::move(rows));
        m_filling = false;
        Hide();
        return;
    }
    m_model->Set(heading, std::move(rows));
    if (m_model->HasHeading())
        m_list->setFirstColumnSpanned(0, QModelIndex(), true);
    const bool first = chooseFirst && !m_model->Rows().empty();
    const QModelIndex current = first ? m_model->index(m_model->ModelRow(0), 0) : QModelIndex();
    // The same row with another system in it is another row to tell of: to
    // the map, and to a screen reader, which hears of a row when it is
    // selected anew (at every keystroke alike, not only when the row moved).
    if (current == m_list->currentIndex()) {
        m_highlightLater.start();
        if (current.isValid()) {
            m_list->selectionModel()->clearSelection();
            m_list->selectionModel()->select(current, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    } else {
        m_list->setCurrentIndex(current);
    }
    m_filling = false;
    m_list->scrollToTop();
    PlaceList();
    m_list->show();
    m_list->raise();
}

std::array<int, SearchListModel::kColumns> SearchPopup::ColumnWidths() const
{
    // Each column as wide as its widest text (the area up to a point).
    const QFontMetrics metrics(m_list->font());
    const int padding = 3 * metrics.averageCharWidth();
    std::array<int, kColumns> widths = m_headerWidths;
    // Measuring every text costs more than the search: measure the few
    // longest of each column, whose widths are the widest.
    constexpr int kMeasured = 4;
    for (int column = 0; column < kColumns; ++column) {
        std::vector<std::pair<std::size_t, int>> longest;
        for (int row = 0; row < static_cast<int>(m_model->Rows().size()); ++row) {
            const int modelRow = m_model->ModelRow(row);
            longest.emplace_back(m_model->TextWidths(modelRow, column), modelRow);
        }
        const auto measured = longest.begin() + std::min<std::ptrdiff_t>(kMeasured, longest.size());
        std::partial_sort(longest.begin(), measured, longest.end(), std::greater<>());
        for (auto it = longest.begin(); it != measured; ++it) {
            const int width =
                m_delegate->TextWidth(m_model->Text(it->second, column), m_list->font());
            widths[column] = std::max(widths[column], width + padding);
        }
    }
    widths[kArea] = std::min(widths[kArea], kAreaColumnMost);
    return widths;
}

void SearchPopup::MeasureHeader()
{
    // Measuring the titles is a good part of a keystroke.
    const QHeaderView* header = m_list->header();
    HeaderLook look{header->font(), header->style(), header->devicePixelRatioF(), {}};
    for (int column = 0; column < kColumns; ++column)
        look.titles.push_back(
            m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    if (m_headerLook && *m_headerLook == look)
        return;
    m_headerLook = std::move(look);
    for (int column = 0; column < kColumns; ++column)
        m_headerWidths[column] = header->sectionSizeHint(column);
    m_headerHeight = header->sizeHint().height();
}

ListPlace SearchPopup::FieldPlace() const
{
    const bool onScreen = WindowsHavePlaces();
    ListPlace place;
    place.area = onScreen ? m_field->screen()->availableGeometry()
                          : QRect(m_dialog->mapToGlobal(QPoint(0, 0)), m_dialog->size());
    place.mayMove = onScreen;
    place.below = m_field->mapToGlobal(QPoint(0, m_field->height() + 2));
    place.fieldTop = m_field->mapToGlobal(QPoint(0, 0)).y();
    place.fieldWidth = m_field->width();
    return place;
}

void SearchPopup::PlaceList()
{
    // Where the room is short, the area and then the name give way.
    MeasureHeader();
    std::array<int, kColumns> widths = ColumnWidths();
    // While it is open, a column keeps its width unless its texts want
    // more, or a good deal less, as the list keeps its own: columns that
    // move with each letter typed are hard to read (and draw the list twice).
    for (int column = 0; column < kColumns; ++column) {
        const int shown = m_columnWidths[column];
        int& width = widths[column];
        if (m_list->isVisible() && width <= shown && width * 4 >= shown * 3)
            width = shown;
    }
    m_columnWidths = widths;
    const int count = m_model->rowCount();
    const int rows = std::min(count, kRowsVisible);
    const int frame = 2 * m_list->frameWidth();
    const int scrollBar =
        count > kRowsVisible ? m_list->style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
    int wanted = frame + scrollBar;
    for (int width : widths)
        wanted += width;
    // While it is open the list keeps its width unless its rows want more,
    // or a good deal less: one that narrows and widens with each letter
    // typed is hard to read (and is drawn whole each time).
    if (m_list->isVisible() && wanted <= m_list->width() && wanted * 4 >= m_list->width() * 3)
        wanted = m_list->width();

    const int rowHeight =
        m_list->sizeHintForRow(0) > 0 ? m_list->sizeHintForRow(0) : m_field->height();
    const QRect rect =
        ListRect(FieldPlace(), wanted, m_headerHeight + rows * rowHeight + frame + 2);
    {
        // Told of a column resized, the view lays itself out and draws the
        // list again a moment later, after the list is drawn with its new
        // rows and columns (twice as the list grows or shrinks): it is laid
        // out and drawn once, here.
        const QSignalBlocker quiet(m_list->header());
        m_list->setGeometry(rect);
        // Short of room, the area of use gives first (down to a third), then the name.
        const int shortBy = std::max(0, wanted - rect.width());
        const int areaGives = std::min(shortBy, widths[kArea] * 2 / 3);
        m_list->setColumnWidth(kName,
                               std::max(widths[kName] - (shortBy - areaGives), widths[kName] / 3));
        m_list->setColumnWidth(kCode, widths[kCode]);
        m_list->setColumnWidth(kKind, widths[kKind]);
        QMetaObject::invokeMethod(m_list, "updateGeometries");
    }
    m_list->viewport()->update();
}

QRect ListRect(const ListPlace& place, int wanted, int height)
{
    const QRect& area = place.area;
    // The room: the area's width where the list may move left, else what
    // lies right of the field.
    const int room = place.mayMove ? area.width() : area.right() + 1 - place.below.x();
    const int width = std::clamp(wanted, std::min(place.fieldWidth, room), room);
    int x = place.below.x();
    int y = place.below.y();
    if (place.mayMove) {
        // Below the field where it fits, else above it.
        x = std::clamp(x, area.left(), area.right() + 1 - width);
        const int above = place.fieldTop - 2 - height;
        if (y + height > area.bottom() + 1 && above >= area.top())
            y = above;
    }
    return QRect(x, y, width, std::min(height, area.bottom() + 1 - y));
}

void SearchPopup::Hide()
{
    m_highlightLater.stop();
    const bool shown = m_list->isVisible();
    m_list->hide();
    if (shown && m_highlight)
        m_highlight(nullptr);
    if (shown && m_place)
        m_place(std::nullopt);
}

void SearchPopup::Highlight()
{
    m_highlightLater.stop();
    const int row = CurrentRow();
    if (m_highlight)
        m_highlight(row >= 0 ? m_model->Rows()[static_cast<std::size_t>(row)].candidate : nullptr);
}

int SearchPopup::CurrentRow() const
{
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() ? m_model->RowOf(current.row()) : -1;
}

void SearchPopup::MoveCurrent(int steps)
{
    const int count = static_cast<int>(m_model->Rows().size());
    if (count == 0)
        return;
    const int row = std::clamp(CurrentRow() + steps, 0, count - 1);
    const QModelIndex index = m_model->index(m_model->ModelRow(row), 0);
    m_list->setCurrentIndex(index);
    m_list->scrollTo(index);
}

void SearchPopup::ChooseRow(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_model->Rows().size())
        return;
    const Candidate chosen = *m_model->Rows()[static_cast<std::size_t>(row)].candidate;
    Hide();
    m_choose(chosen);
}

bool SearchPopup::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_dialog) {
        if ((event->type() == QEvent::Resize || event->type() == QEvent::Move) &&
            m_list->isVisible())
            PlaceList();
        if (event->type() == QEvent::Hide)
            Hide();
        return false;
    }
    switch (event->type()) {
    case QEvent::FocusIn: {
        // The user came to the field (not the dialog opening on it): offer
        // the recent systems.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (m_field->text().isEmpty() &&
            (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
             reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason))
            Refill();
        return false;
    }
    case QEvent::FocusOut: Hide(); return false;
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride: return FieldKey(static_cast<QKeyEvent*>(event));
    default: return false;
    }
}

bool SearchPopup::FieldKey(QKeyEvent* key)
{
    const bool open = m_list->isVisible();
    const bool typed = !m_field->text().isEmpty();
    const bool press = key->type() == QEvent::KeyPress;
    switch (key->key()) {
    case Qt::Key_Escape:
        // Closing the list keeps the dialog open.
        if (!open)
            return false;
        if (press)
            Hide();
        key->accept();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // With words typed, Enter is the search's, never the OK button's;
        // with none and no row chosen, it is the dialog's.
        const int row = open ? CurrentRow() : -1;
        if (!typed && row < 0) {
            if (press)
                Hide();
            return false;
        }
        if (press && row >= 0)
            ChooseRow(row);
        key->accept();
        return true;
    }
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
        if (!press)
            return false;
        if (!open) {
            Refill();
            return true;
        }
        if (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up)
            MoveCurrent(key->key() == Qt::Key_Down ? 1 : -1);
        else
            MoveCurrent(key->key() == Qt::Key_PageDown ? kRowsVisible - 1 : 1 - kRowsVisible);
        return true;
    default: return false;
    }
}
