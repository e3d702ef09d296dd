// The chooser's search field, the code of the current choice, and the
// systems recently confirmed.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>
#include <unordered_map>

#include "catalog/Identification.h"
#include "chooser/ProjectionDlg.h"
#include "map/AreaMap.h"
#include "search/CandidateSystems.h"
#include "search/RecentCandidates.h"
#include "search/RecentSystems.h"
#include "search_ui/ListFilter.h"
#include "search_ui/SearchPopup.h"

void CProjectionDlg::SetUpSearch()
{
    auto* field = qobject_cast<QLineEdit*>(FindControl(IDC_SEARCH));
    QWidget* dialog = field ? field->window() : nullptr;
    if (!dialog)
        return;
    field->setClearButtonEnabled(true);
    m_search = new SearchPopup(
        field, dialog, [] { return AllCandidates(ShippedGeogSystems(), UserGeogSystems()); }, RecentCandidates,
        [this, field](const Candidate& chosen) {
            field->clear();
            RestoreSystem(CandidateSystem(chosen));
        });
    m_search->SetOnHighlight([this](const Candidate* candidate) { ShowCandidateArea(candidate); });
    m_search->SetOnPlace([this](std::optional<std::pair<double, double>> place) {
        if (AreaMap* map = GetAreaMap())
            map->SetMarker(place);
    });
    if (auto* geographic = qobject_cast<QComboBox*>(FindControl(IDC_GEOG_SYSTEM)))
        m_geogFilter = new ListFilter(geographic, [this] { return GeogListWords(); });
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), dialog);
    QObject::connect(find, &QShortcut::activated, field, [field] {
        field->setFocus(Qt::ShortcutFocusReason);
        field->selectAll();
    });
    // Any change to the choice shows its code anew, once per burst of changes.
    auto* codeTimer = new QTimer(dialog);
    m_codeTimer = codeTimer;
    codeTimer->setSingleShot(true);
    QObject::connect(codeTimer, &QTimer::timeout, dialog, [this] { UpdateSystemCode(); });
}

std::vector<std::string> CProjectionDlg::GeogListWords()
{
    // The search's other names of each entry ("CGCS2000"), once it has read
    // them; the names alone until then, and the words asked again later.
    std::vector<std::string> words;
    const bool loaded = m_search && m_search->IsLoaded();
    if (!loaded && m_geogFilter)
        m_geogFilter->Stale();
    std::unordered_map<std::string, const Candidate*> byName;
    if (loaded) {
        // The list's entries are the catalogues', each standing for the
        // database's system of its code, where there is one.
        for (const Candidate& entry : m_search->Candidates().own)
            byName.emplace(entry.name, &entry);
    }
    for (const std::string& name : GeogEntries(m_choice)) {
        std::string more;
        const auto found = byName.find(name);
        if (found != byName.end()) {
            const Candidate& entry = *found->second;
            for (const Candidate* c : {&entry, entry.standsFor}) {
                if (!c)
                    continue;
                more += c->words;
                for (const std::string& alias : c->aliasWords)
                    more += alias;
            }
        }
        words.push_back(std::move(more));
    }
    return words;
}

SearchPopup* CProjectionDlg::GetSearch() const
{
    return m_search.data();
}

void CProjectionDlg::UpdateSystemCodeLater()
{
    if (m_codeTimer)
        m_codeTimer->start(0);
}

std::string CProjectionDlg::EpsgCodeOf(const std::string& wkt)
{
    return m_codes.CodeOf(wkt);
}

void CProjectionDlg::UpdateSystemCode()
{
    CWnd* line = GetDlgItem(IDC_SYSTEM_CODE);
    if (!line)
        return;
    // The geographic summary shows a geographic system's code.
    std::string knownCode;
    const std::string wkt = m_choice.shown.projected ? ComposeWithoutIdentity(m_choice, &knownCode) : std::string();
    // What OK would find without a search (a Gauss-Krueger zone as listed)
    // is what the line shows.
    if (!knownCode.empty())
        m_codes.Remember(wkt, knownCode);
    const std::optional<std::string> code =
        wkt.empty() ? std::string()
                    : m_codes.CodeIfFound(wkt, IsUnchanged(m_choice) ? m_choice.held.system.Handle() : nullptr);
    // Never a wait on the UI thread while the user works: the line looks
    // again shortly.
    if (!code) {
        m_codeTimer->start(25);
        return;
    }
    m_shownCode = *code;
    line->SetWindowText(m_shownCode.empty() ? std::string() : ShownEpsgCode(m_shownCode));
    UpdateAreaMap();
}

void CProjectionDlg::RememberChoice()
{
    RememberRecentSystem(RecentSystemsPath(), m_result);
}
