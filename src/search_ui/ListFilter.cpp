#include "search_ui/ListFilter.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QListView>
#include <QStandardItemModel>

#include "search/Folding.h"

namespace
{

// A pause this long starts a new word, as a list's own type-ahead does.
constexpr qint64 kNewWordAfterMs = 1000;
constexpr int kName = 0, kWords = 1;

} // namespace

ListFilter::ListFilter(QComboBox* list, Words words)
    : QObject(list), m_list(list), m_words(std::move(words)),
      m_entries(new QStandardItemModel(0, 2, this)), m_completer(new QCompleter(this))
{
    m_completer->setModel(m_entries);
    m_completer->setWidget(list);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setFilterMode(Qt::MatchContains);
    // Matched by the words, shown by the names.
    m_completer->setCompletionColumn(kWords);
    if (auto* view = qobject_cast<QListView*>(m_completer->popup()))
        view->setModelColumn(kName);
    m_completer->popup()->setAccessibleName(list->accessibleName());
    connect(m_completer, QOverload<const QModelIndex&>::of(&QCompleter::activated), this,
            [this](const QModelIndex& index) { Take(index); });
    list->installEventFilter(this);
    // Closed (Escape, or an entry taken), the offer forgets what was typed.
    m_completer->popup()->installEventFilter(this);
}

QStringList ListFilter::Offered() const
{
    QStringList names;
    if (!m_completer->popup()->isVisible())
        return names;
    QAbstractItemModel* shown = m_completer->completionModel();
    for (int row = 0; row < shown->rowCount(); ++row)
        names << shown->index(row, kName).data().toString();
    return names;
}

bool ListFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_completer->popup() && event->type() == QEvent::Hide && !m_offering)
        m_typed.clear();
    // Keys come to the list, or to the offer while it shows (it holds the
    // keyboard, and would hand the list its letters past this filter).
    const bool offer = watched == m_completer->popup();
    if ((watched != m_list && !offer) || event->type() != QEvent::KeyPress || m_list->view()->isVisible())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    const QString text = key->text();
    if (key->key() == Qt::Key_Backspace && !m_typed.isEmpty()) {
        m_typed.chop(1);
    } else if (plain && !text.isEmpty() && text.at(0).isPrint()) {
        if (!m_lastKey.isValid() || m_lastKey.elapsed() > kNewWordAfterMs)
            m_typed.clear();
        m_typed += text;
    } else {
        return false;
    }
    m_lastKey.start();
    Offer();
    return true;
}

ListFilter::ListFilter(QComboBox* list, Ranking ranking) : ListFilter(list, Words())
{
    m_ranking = std::move(ranking);
}

bool ListFilter::OfferRanked()
{
    const std::vector<int> rows = m_ranking(m_typed.toStdString());
    m_entries->removeRows(0, m_entries->rowCount());
    for (const int row : rows) {
        if (row >= 0 && row < m_list->count())
            m_entries->appendRow({new QStandardItem(m_list->itemText(row)), new QStandardItem()});
    }
    // Every entry ranked is offered, in the ranking's order.
    m_completer->setCompletionPrefix(QString());
    return m_entries->rowCount() > 0;
}

bool ListFilter::OfferByWords()
{
    if (m_stale || m_entries->rowCount() != m_list->count()) {
        m_stale = false; // the words may say they are not all there yet
        const std::vector<std::string> words = m_words();
        m_entries->removeRows(0, m_entries->rowCount());
        for (int i = 0; i < m_list->count(); ++i) {
            const std::string& more = static_cast<std::size_t>(i) < words.size() ? words[static_cast<std::size_t>(i)]
                                                                                 : std::string();
            m_entries->appendRow({new QStandardItem(m_list->itemText(i)),
                                  new QStandardItem(QString::fromStdString(
                                      FoldedWords(m_list->itemText(i).toStdString()) + more))});
        }
    }
    // A word's start: the folded words have a blank before each. Nothing
    // found yet keeps what was typed, for the next key to mend.
    const std::string typed = FoldedWords(m_typed.toStdString());
    if (!typed.empty())
        m_completer->setCompletionPrefix(QString::fromStdString(typed.substr(0, typed.size() - 1)));
    return !typed.empty() && m_completer->completionCount() > 0;
}

void ListFilter::Offer()
{
    if (!(m_ranking ? OfferRanked() : OfferByWords())) {
        m_offering = true;
        m_completer->popup()->hide();
        m_offering = false;
        return;
    }
    m_completer->complete(m_list->rect());
    m_completer->popup()->setCurrentIndex(m_completer->completionModel()->index(0, kName));
}

void ListFilter::Take(const QModelIndex& index)
{
    const int at = m_list->findText(index.sibling(index.row(), kName).data().toString());
    m_typed.clear();
    if (at < 0)
        return;
    m_list->setCurrentIndex(at);
    // As if chosen from the list itself.
    Q_EMIT m_list->activated(at);
}
