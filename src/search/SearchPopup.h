// The chooser's search: a field, and under it a floating list of the
// systems the typed words find (or the recent ones, for an empty field).
// Keys stay in the field: arrows move in the list, Enter chooses, Escape
// closes the list; a click on a row chooses it.
#pragma once

#include <functional>
#include <future>
#include <memory>
#include <vector>

#include <QObject>

#include "search/Candidates.h"

class QLineEdit;
class QTreeWidget;
class QWidget;

class SearchPopup : public QObject {
    Q_OBJECT
public:
    using Loader = std::function<CandidateList()>;
    using Recents = std::function<std::vector<Candidate>()>;
    using Chooser = std::function<void(const Candidate&)>;

    // Starts `load` on a thread of its own at once: the list is ready by the
    // time the user types. `load` must not touch the dialog.
    SearchPopup(QLineEdit* field, QWidget* dialog, Loader load, Recents recents, Chooser choose);
    ~SearchPopup() override;

    // Reads the candidates anew (the user's catalogue changed).
    void Reload();
    QTreeWidget* List() const { return m_list; }
    // The candidates, waiting for the load to end.
    const CandidateList& Candidates();
    // Whether the load has ended (EPSG's systems are known to the process).
    bool IsLoaded() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refill();
    void Show(std::vector<Candidate> rows, bool chooseFirst);
    void Place();
    void Hide();
    void MoveCurrent(int steps);
    void ChooseRow(int row);

    QLineEdit* m_field;
    QWidget* m_dialog;
    QTreeWidget* m_list;
    Loader m_load;
    Recents m_recents;
    Chooser m_choose;
    std::shared_future<std::shared_ptr<const CandidateList>> m_candidates;
    std::vector<Candidate> m_rows;
};

// The list's text for a candidate's code column: "EPSG:n", or where it
// comes from when it has no code.
std::string CodeColumnText(const Candidate& candidate);
