// CProjectionDlg: the chooser, a view of one SystemChoice. It shows the
// choice in its controls, hands each edit of the user to the choice's rules
// and shows the outcome; on OK it composes the choice into the result. What
// was handed in, what is chosen now and what is handed back are three
// separate values.
#pragma once

#include <future>
#include <string>

#include <QPointer>

#include "catalog/CodeLookup.h"
#include "catalog/Composition.h"
#include "catalog/HeightPart.h"
#include "catalog/SystemChoice.h"
#include "catalog/VerticalSystems.h"
#include "search/SearchCandidates.h"
#include "controls/EditListCtrl.h"
#include "module/Messages.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"

// The chooser's controls.
enum ChooserControl : int {
    IDC_SYSTEM_KIND = 1093,
    IDC_PROJ_CATEGORY = 1062,
    IDC_GEOG_SYSTEM = 1059,
    IDC_PROJ_METHOD = 1055,
    IDC_ZONE = 1058,
    IDC_UNIT = 1061,
    IDC_PARAMETERS = 1091,
    IDC_UNIT_FACTOR = 1092,
    IDC_GEOG_SUMMARY = 1081,
    IDC_ADD_GEOG_SYSTEM = 1060,
    IDC_IMPORT = 1056,
    IDC_SAVE_PRJ = 1057,
    IDC_SEARCH = 1094,
    IDC_SYSTEM_CODE = 1095,
    IDC_AREA_MAP = 1096,
    IDC_HEIGHT = 1097,
    IDC_HEIGHT_NOTE = 1098,
    IDC_HEIGHT_GROUP = 1099,
};

extern const char kGeographicKind[];  // "Geographic Coordinate System"
extern const char kProjectedKind[];   // "Projected Coordinate System"

class AreaMap;
struct Candidate;
class ListFilter;
class QLabel;
class QTimer;
class SearchPopup;

// Why a choice was refused, one line in the current language: the
// parameter at fault, or PROJ's own reason where it gave one.
std::string RefusalText(CompositionProblem problem, const std::string& parameter, const std::string& reason);

class CProjectionDlg : public CDialog {
public:
    explicit CProjectionDlg(unsigned templateId, CWnd* parent = nullptr);
    ~CProjectionDlg() override;

    // Before the dialog runs: the host's system (empty: none), read as the
    // dialog opens once `databaseCheck`, if given, has found PROJ's database
    // usable (else the dialog ends at once, never shown); and whether the
    // host has registered GDAL's drivers itself.
    void SetInput(const std::string& wkt, std::shared_future<std::string> databaseCheck = {})
    {
        m_inputText = wkt;
        m_databaseCheck = std::move(databaseCheck);
    }
    void SetGdalRegistered(bool registered) { m_bGdalRegistered = registered; }
    // Whether the host asks for a height with the system: the height row
    // shows then (and whenever the system handed in has a height).
    void SetHeightOffered(bool offered) { m_heightOffered = offered; }
    // After OK: the chosen system, and its text.
    const SpatialSystem& GetChosenSystem() const { return m_result; }
    const std::string& GetResultWKT() const { return m_result.Text(); }

    // What the dialog shows (for tests and benchmarks: the controls show it too).
    const SystemChoice& GetChoice() const { return m_choice; }
    CEditListCtrl& GetParameterList() { return m_lcParams; }
    SearchPopup* GetSearch() const;
    AreaMap* GetAreaMap() const;
    // The system OK would hand back now; empty, with the reason, when refused.
    ComposedSystem ComposeChoice();
    // Holds `system` and shows it, as an import does (a message when unusable).
    void RestoreSystem(const SpatialSystem& system);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

private:
    // ---- the cascade's handlers ----
    void OnSelchangeSystemKind();
    void OnSelchangeProjCategory();
    void OnSelchangeGeogSystem();
    void OnSelchangeZone();
    void OnSelchangeProjMethod();
    void OnSelchangeUnit();
    void OnParameterEdited(int row, const std::string& text);
    void OnUnitFactorEdited();

    // ---- the view ----
    void ShowChoice();
    void ShowParameters(bool editable);
    void UpdateGeogSummary();
    void EnableControl(int id, bool enable);
    void ShowUnknownSrsMessage();
    // Tells the user, once a process, of a catalogue too large to read or a
    // folder of theirs that others may write in.
    void TellWhatIsNotUsed();

    // ---- geographic side, import and export ----
    void OnBnClickedAddGeogSystem();
    void OnBnClickedImport();
    void OnBnClickedSavePrj();
    void FocusDefaultButton();

    // ---- search, codes and recent systems ----
    void SetUpSearch();
    // The words of each geographic entry the list's typing finds it by.
    std::vector<std::string> GeogListWords();
    void UpdateSystemCodeLater();
    void UpdateSystemCode();
    // The EPSG code of a composed system: remembered when the code line
    // found it, else looked up now.
    std::string EpsgCodeOf(const std::string& wkt);
    void RememberChoice();

    // ---- the map of the area of use ----
    void SetUpAreaMap();
    // Reads the areas of PROJ's database off the UI thread, should the
    // search not have read them.
    void ReadAreasBeside();
    // Shows the current choice's area (once PROJ's database has been read).
    void UpdateAreaMap();
    // While the user is on a row of the search's list: that system's area.
    void ShowCandidateArea(const Candidate* candidate);

    // ---- the height row ----
    // Holds `system`, its height in the row where it has one (the row is
    // then shown); false when the system cannot be held.
    bool HoldWithHeight(const SpatialSystem& system);
    void FillHeightRow();
    // The line under the row: a geoid model the chosen system needs that
    // PROJ cannot find here.
    void OnSelchangeHeight();
    HeightChoice ChosenHeight();
    // What OK hands back for `horizontal`: the system handed in when neither
    // part changed, else `horizontal` with the height chosen; no system when
    // they cannot be joined.
    SpatialSystem WithChosenHeight(const SpatialSystem& horizontal);

    // ---- OK and Cancel ----
    void OnBnClickedOk();
    void OnBnClickedCancel();
    // What OK would hand back now, in `composed`; false, and the user told
    // why under `firstLine`, when the choice is refused.
    bool ComposeOrRefuse(MessageId firstLine, ComposedSystem& composed);

    std::string m_inputText;
    std::shared_future<std::string> m_databaseCheck;  // PROJ's database's problem, empty when none
    SpatialSystem m_input;  // what the host handed in, read; no text: none
    SystemChoice m_choice;
    SpatialSystem m_result;
    bool m_bGdalRegistered = false;

    bool m_heightOffered = false;
    bool m_heightShown = false;
    SpatialSystem m_heldWhole;       // the system held with its height, as it came
    std::string m_heldHorizontal;    // its horizontal part's text, as the choice holds it
    HeightChoice m_heldHeight;
    std::vector<HeightChoice> m_heightEntries;  // the height row's entries, in its order
    std::size_t m_heightOverlapsBefore = 0;     // the entries before it: none, or over the system's area
    std::shared_ptr<const CandidateDatabase> m_heightSystems;  // the vertical and compound systems
    std::vector<const Candidate*> m_verticals;  // EPSG's vertical systems in use among them, by name
    // What typing on the row searches, read at the first key.
    std::unique_ptr<const SearchCandidates> m_heightSearch;
    // The row's entries a text offers, best first, by the search.
    std::vector<int> HeightEntriesFor(const std::string& typed);

    CComboBox m_cbSystemKind;
    CComboBox m_cbProjCategory;
    CComboBox m_cbGeogSystem;
    CComboBox m_cbProjMethod;
    CComboBox m_cbZone;
    CComboBox m_cbUnit;
    CEditListCtrl m_lcParams;

    // The codes of the systems the code line and OK have been asked for.
    CodeLookup m_codes;
    // The EPSG codes the code line and the geographic summary show.
    std::string m_shownCode;
    std::string m_geogCode;

    // Owned by the dialog's window: gone with it.
    QPointer<SearchPopup> m_search;
    QPointer<QTimer> m_codeTimer;
    QPointer<QLabel> m_parameterProblem;  // the line under the parameters: why a value is none
    QPointer<ListFilter> m_geogFilter;    // typing on the geographic list offers its entries by any word
    QPointer<ListFilter> m_heightFilter;  // and on the height row
    QPointer<AreaMap> m_map;
    bool m_mapUpdatePending = false;
    bool m_mapShowsCandidate = false;  // the search's row, not the choice
    // The areas, read off the UI thread should the search not read them.
    std::future<void> m_areasRead;
};
