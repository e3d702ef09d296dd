// The chooser's search field, the code of the current choice, and the
// systems recently confirmed.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>
#include <chrono>

#include "catalog/Identification.h"
#include "chooser/ProjectionDlg.h"
#include "map/AreaMap.h"
#include "map/ChoiceArea.h"
#include "module/GdalSupport.h"
#include "search/CandidateSystems.h"
#include "search/RecentSystems.h"
#include "search/SharedDatabase.h"
#include "search_ui/SearchPopup.h"

namespace {

// Where a recent system serves: its code's area, or for one the user
// composed its projection's band within its geographic system's area (as the
// map shows it); none while PROJ's database is being read.
void GiveArea(Candidate& recent)
{
    const std::shared_ptr<const CandidateDatabase> database = DatabaseCandidatesIfRead();
    if (!database)
        return;
    recent.area = AreaOfCandidate(recent, database.get());
    const OGRSpatialReferenceH srs = recent.system.Handle();
    if (recent.area || !srs)
        return;
    const char* geogCode = OSRGetAuthorityCode(srs, "GEOGCS");
    const char* geogAuthority = OSRGetAuthorityName(srs, "GEOGCS");
    const bool epsg = geogCode && geogAuthority && std::string(geogAuthority) == "EPSG";
    const AreaOfUse area =
        AreaToShow(ShapeOfSystem(srs), nullptr, epsg ? database->AreaOfEpsg(geogCode) : nullptr);
    if (area.bounded) {
        recent.ownArea = std::make_shared<const AreaOfUse>(area);
        recent.area = recent.ownArea.get();
    }
}

std::vector<Candidate> RecentCandidates()
{
    std::vector<Candidate> rows;
    for (const std::string& wkt : ReadRecentSystems(RecentSystemsPath())) {
        Candidate candidate;
        if (CandidateOfWkt(wkt, CandidateSource::Recent, candidate)) {
            GiveArea(candidate);
            rows.push_back(std::move(candidate));
        }
    }
    return rows;
}

}  // namespace

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
    codeTimer->start(0);
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
    const auto known = m_codes.find(wkt);
    if (known != m_codes.end())
        return known->second;
    // The code line is at it already: its answer comes sooner than a new search.
    if (m_identification.valid() && m_identifying == wkt)
        return m_codes[wkt] = m_identification.get();
    const OsrHandle srs = NewSpatialReference(wkt);
    return m_codes[wkt] = srs ? ExactEpsgCode(srs.get()) : std::string();
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
        m_codes[wkt] = knownCode;
    const auto known = m_codes.find(wkt);
    if (wkt.empty() || known != m_codes.end()) {
        m_shownCode = wkt.empty() ? std::string() : known->second;
        line->SetWindowText(m_shownCode.empty() ? std::string() : ShownEpsgCode(m_shownCode));
        UpdateAreaMap();
        return;
    }
    // Identifying a system searches PROJ's database for tens of
    // milliseconds: never on the UI thread while the user works. One search
    // at a time; the line looks again when it ends.
    if (m_identification.valid()) {
        if (m_identification.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            m_codeTimer->start(25);
            return;
        }
        m_codes[m_identifying] = m_identification.get();
        UpdateSystemCode();
        return;
    }
    m_identifying = wkt;
    m_identification = std::async(std::launch::async, [wkt] {
        const OsrHandle srs = NewSpatialReference(wkt);
        return srs ? ExactEpsgCode(srs.get()) : std::string();
    });
    m_codeTimer->start(25);
}

void CProjectionDlg::RememberChoice()
{
    RememberRecentSystem(RecentSystemsPath(), m_result.Text());
}
