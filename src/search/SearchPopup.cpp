#include "search/SearchPopup.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTreeWidget>

#include "module/Messages.h"
#include "search/Matching.h"

namespace {

// More rows than anyone reads; few enough to fill the list at once.
constexpr std::size_t kRowsShown = 200;
constexpr int kRowsVisible = 12;

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

const char* KindText(CandidateKind kind)
{
    return MessageText(kind == CandidateKind::Projected ? MessageId::SearchProjected : MessageId::SearchGeographic);
}

}  // namespace

std::string CodeColumnText(const Candidate& candidate)
{
    if (!candidate.code.empty())
        return "EPSG:" + candidate.code;
    switch (candidate.source) {
    case CandidateSource::Catalogue:
        return MessageText(MessageId::SearchCatalogue);
    case CandidateSource::User:
        return MessageText(MessageId::SearchUser);
    case CandidateSource::Recent:
        return MessageText(MessageId::SearchRecent);
    case CandidateSource::Epsg:
        break;
    }
    return std::string();
}

SearchPopup::SearchPopup(QLineEdit* field, QWidget* dialog, Loader load, Recents recents, Chooser choose)
    : QObject(field), m_field(field), m_dialog(dialog), m_list(new QTreeWidget(dialog)), m_load(std::move(load)),
      m_recents(std::move(recents)), m_choose(std::move(choose))
{
    m_list->hide();
    m_list->setColumnCount(4);
    m_list->setHeaderLabels({MessageText(MessageId::SearchColumnName), MessageText(MessageId::SearchColumnCode),
                             MessageText(MessageId::SearchColumnKind), MessageText(MessageId::SearchColumnArea)});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setFrameShape(QFrame::Box);
    // Keys stay with the field; the list only shows and takes clicks.
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->header()->setStretchLastSection(true);
    connect(m_list, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { ChooseRow(m_list->indexOfTopLevelItem(item)); });
    connect(m_field, &QLineEdit::textEdited, this, [this] { Refill(); });
    m_field->installEventFilter(this);
    m_dialog->installEventFilter(this);
    Reload();
}

SearchPopup::~SearchPopup()
{
    m_field->removeEventFilter(this);
    m_dialog->removeEventFilter(this);
}

void SearchPopup::Reload()
{
    Loader load = m_load;
    m_candidates = std::async(std::launch::async, [load] { return std::make_shared<const CandidateList>(load()); })
                       .share();
}

const CandidateList& SearchPopup::Candidates()
{
    return *m_candidates.get();
}

bool SearchPopup::IsLoaded() const
{
    return m_candidates.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

void SearchPopup::Refill()
{
    const std::string query = m_field->text().toStdString();
    std::vector<Candidate> rows;
    const bool typed = query.find_first_not_of(" \t") != std::string::npos;
    if (!typed) {
        rows = m_recents();
    } else {
        const CandidateList& candidates = Candidates();
        for (std::size_t i : MatchCandidates(candidates, query, kRowsShown))
            rows.push_back(candidates[i]);
    }
    // The best match of words typed is chosen at once; a recent system only
    // when the user moves to it: Enter on an empty field is OK's.
    Show(std::move(rows), typed);
}

void SearchPopup::Show(std::vector<Candidate> rows, bool chooseFirst)
{
    m_rows = std::move(rows);
    m_list->clear();
    if (m_rows.empty()) {
        Hide();
        return;
    }
    QList<QTreeWidgetItem*> items;
    for (const Candidate& candidate : m_rows) {
        items.append(new QTreeWidgetItem(QStringList{Text(candidate.name), Text(CodeColumnText(candidate)),
                                                     KindText(candidate.kind), Text(candidate.area)}));
    }
    m_list->addTopLevelItems(items);
    if (chooseFirst)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    else
        m_list->setCurrentItem(nullptr);
    Place();
    m_list->show();
    m_list->raise();
}

void SearchPopup::Place()
{
    const QPoint below = m_field->mapTo(m_dialog, QPoint(0, m_field->height()));
    const int margin = below.y() > 0 ? 8 : 0;
    const int width = m_dialog->width() - 2 * margin;
    const int rows = std::min(static_cast<int>(m_rows.size()), kRowsVisible);
    const int rowHeight = m_list->sizeHintForRow(0) > 0 ? m_list->sizeHintForRow(0) : m_field->height();
    const int wanted = m_list->header()->sizeHint().height() + rows * rowHeight + 2 * m_list->frameWidth() + 2;
    const int height = std::max(0, std::min(wanted, m_dialog->height() - below.y() - margin));
    m_list->setGeometry(margin, below.y() + 2, width, height);
    m_list->setColumnWidth(0, width * 45 / 100);
    m_list->setColumnWidth(1, width * 14 / 100);
    m_list->setColumnWidth(2, width * 12 / 100);
}

void SearchPopup::Hide()
{
    m_list->hide();
}

void SearchPopup::MoveCurrent(int steps)
{
    const int count = m_list->topLevelItemCount();
    if (count == 0)
        return;
    const int row = std::clamp(m_list->indexOfTopLevelItem(m_list->currentItem()) + steps, 0, count - 1);
    m_list->setCurrentItem(m_list->topLevelItem(row));
    m_list->scrollToItem(m_list->topLevelItem(row));
}

void SearchPopup::ChooseRow(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size())
        return;
    const Candidate chosen = m_rows[static_cast<std::size_t>(row)];
    Hide();
    m_choose(chosen);
}

bool SearchPopup::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_dialog) {
        if (event->type() == QEvent::Resize && m_list->isVisible())
            Place();
        return false;
    }
    switch (event->type()) {
    case QEvent::FocusIn: {
        // The user came to the field (not the dialog opening on it): offer
        // the recent systems.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (m_field->text().isEmpty() && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                                          reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason))
            Refill();
        return false;
    }
    case QEvent::FocusOut:
        Hide();
        return false;
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        break;
    default:
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const bool open = m_list->isVisible();
    const bool typed = !m_field->text().isEmpty();
    const bool press = event->type() == QEvent::KeyPress;
    switch (key->key()) {
    case Qt::Key_Escape:
        // Closing the list keeps the dialog open.
        if (!open)
            return false;
        if (press)
            Hide();
        event->accept();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // With words typed, Enter is the search's, never the OK button's;
        // with none and no row chosen, it is the dialog's.
        const int row = open ? m_list->indexOfTopLevelItem(m_list->currentItem()) : -1;
        if (!typed && row < 0) {
            if (press)
                Hide();
            return false;
        }
        if (press && row >= 0)
            ChooseRow(row);
        event->accept();
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
    default:
        return false;
    }
}
