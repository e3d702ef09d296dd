// The chooser's search: a field, and under it a floating list of the
// systems the typed words find, or those used at a typed place, or the
// recent ones for an empty field. Keys stay in the field: arrows move in the
// list, Enter chooses, Escape closes the list; a click on a row chooses it.
#pragma once

#include <array>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <QFont>
#include <QObject>
#include <QRect>
#include <QStringList>
#include <QTimer>

#include "search/SearchCandidates.h"
#include "search_ui/SearchList.h"

class QKeyEvent;
class QStyle;
class QLineEdit;
class QTreeView;
class QWidget;

// Where the list stands, given where the field is. `area` is where the list
// may stand: the screen, or where windows have no known place on it
// (Wayland) the dialog; `mayMove` says the list may leave the field's line
// to stay there (on a screen: left of the field, above it).
struct ListPlace {
    QRect area;
    bool mayMove = true;
    QPoint below; // under the field's left end, two pixels down
    int fieldTop = 0;
    int fieldWidth = 0;
};

class SearchPopup : public QObject
{
    Q_OBJECT
public:
    using Loader = std::function<SearchCandidates()>;
    using Recents = std::function<std::vector<Candidate>()>;
    using Chooser = std::function<void(const Candidate&)>;
    // Told of the row the user is on (null: none, or the list closed): at
    // once when the user moves to it, once typing pauses when the words
    // typed put it first.
    using Highlighter = std::function<void(const Candidate*)>;

    // `load` runs on a thread of its own once Reload is called (the chooser
    // calls it once its first frame is shown: the list is ready by the time
    // the user types), or when the candidates are first needed. It must not
    // touch the dialog.
    SearchPopup(QLineEdit* field, QWidget* dialog, Loader load, Recents recents, Chooser choose);
    ~SearchPopup() override;

    void SetOnHighlight(Highlighter highlight) { m_highlight = std::move(highlight); }
    // Told of the place the text names (latitude, longitude), or of none,
    // as the list is filled; of none when it closes.
    using PlaceTeller = std::function<void(std::optional<std::pair<double, double>>)>;
    void SetOnPlace(PlaceTeller tell) { m_place = std::move(tell); }
    // Reads the candidates beside the UI: the first time, or anew (the
    // user's catalogue changed).
    void Reload();
    // The list: a window of its own, as wide as the names need (up to the
    // screen), over the dialog and below the field.
    QTreeView* List() const { return m_list; }
    const SearchListModel& ListModel() const { return *m_model; }
    // The candidates, waiting for the load to end.
    const SearchCandidates& Candidates();
    // Whether the load has ended (the database's systems are known); false
    // before it started.
    bool IsLoaded() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refill();
    // A key typed in the field: whether the list took it.
    bool FieldKey(QKeyEvent* key);
    // Shows `heading` (when not empty) over `rows`; with `chooseFirst` the
    // first row is chosen at once.
    void Show(const std::string& heading, std::vector<SearchRow> rows, bool chooseFirst);
    void PlaceList();
    // How wide each column's texts want it, the header's titles included.
    std::array<int, SearchListModel::kColumns> ColumnWidths() const;
    // Measures the header's titles (their widths, the header's height)
    // when they, their font, the style or the pixel density changed.
    void MeasureHeader();
    // Where the field stands, for placing the list.
    ListPlace FieldPlace() const;
    void Hide();
    void MoveCurrent(int steps);
    void ChooseRow(int row);
    int CurrentRow() const;
    // Tells of the row the user is on.
    void Highlight();

    QLineEdit* m_field;
    QWidget* m_dialog;
    QTreeView* m_list;
    SearchListModel* m_model;
    SearchRowDelegate* m_delegate;
    Loader m_load;
    Recents m_recents;
    Chooser m_choose;
    Highlighter m_highlight;
    // While rows are filled in as words are typed, the row first is told of
    // once typing pauses: each letter would draw the map anew, at a sixth
    // of the keystroke's cost, for an area no one has the time to see.
    bool m_filling = false;
    QTimer m_highlightLater;
    PlaceTeller m_place;
    std::shared_future<std::shared_ptr<const SearchCandidates>> m_candidates;
    // What the rows point into: the candidates searched, the recent systems.
    std::shared_ptr<const SearchCandidates> m_searched;
    std::vector<Candidate> m_recent;
    // What m_headerWidths and m_headerHeight were measured for.
    struct HeaderLook {
        QFont font;
        const QStyle* style;
        qreal ratio;
        QStringList titles;
        bool operator==(const HeaderLook& other) const
        {
            return font == other.font && style == other.style && ratio == other.ratio &&
                   titles == other.titles;
        }
    };
    std::optional<HeaderLook> m_headerLook;
    std::array<int, SearchListModel::kColumns> m_headerWidths = {};
    int m_headerHeight = 0;
    // The columns' widths as their texts wanted them when last placed.
    std::array<int, SearchListModel::kColumns> m_columnWidths = {};
};

// The list's rectangle for a list that wants `wanted` × `height` pixels:
// as wide as the field at least, cut to the room there is.
QRect ListRect(const ListPlace& place, int wanted, int height);
