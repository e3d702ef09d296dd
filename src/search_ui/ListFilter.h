// Typing on a closed list box offers the entries with a word starting so,
// in their names or their other names: "CGCS" offers China Geodetic
// Coordinate System 2000, "wgs" the WGS systems. A list of hundreds is not
// searched by its first letters alone.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QCompleter;
class QModelIndex;
class QStandardItemModel;

class ListFilter : public QObject
{
    Q_OBJECT

public:
    // The words of each entry of the list, in its order, folded (see
    // FoldedWords): its name's and its other names'. Asked again when the
    // list has changed or the words may have (`Stale`).
    using Words = std::function<std::vector<std::string>()>;
    ListFilter(QComboBox* list, Words words);
    // Or the entries a text offers, by their positions in the list, best
    // first (a search's ranking rather than the words').
    using Ranking = std::function<std::vector<int>(const std::string& typed)>;
    ListFilter(QComboBox* list, Ranking ranking);
    // The words are asked for anew before the next offer.
    void Stale() { m_stale = true; }
    // The entries offered now, by name; none while nothing is offered.
    QStringList Offered() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Offer();
    // Fill the offer; false when it has nothing.
    bool OfferRanked();
    bool OfferByWords();
    void Take(const QModelIndex& index);
    QComboBox* m_list;
    Words m_words;
    Ranking m_ranking;
    QStandardItemModel* m_entries;
    QCompleter* m_completer;
    QString m_typed;
    QElapsedTimer m_lastKey;
    bool m_stale = true;
    bool m_offering = false; // hiding an offer that found nothing, not closing it
};
