// The chooser's search field, the code of the current choice, and the
// systems recently confirmed.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>

#include "chooser/ProjectionDlg.h"
#include "search/Identification.h"
#include "search/RecentSystems.h"
#include "search/SearchPopup.h"

namespace {

std::vector<Candidate> RecentCandidates()
{
    std::vector<Candidate> rows;
    for (const std::string& wkt : ReadRecentSystems(RecentSystemsPath())) {
        Candidate candidate;
        if (CandidateOfWkt(wkt, CandidateSource::Recent, candidate))
            rows.push_back(std::move(candidate));
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
            RestoreSystem(CandidateWkt(chosen));
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
    auto later = [codeTimer] { codeTimer->start(0); };
    for (int id : {IDC_SYSTEM_KIND, IDC_PROJ_CATEGORY, IDC_GEOG_SYSTEM, IDC_PROJ_METHOD, IDC_ZONE, IDC_UNIT}) {
        if (auto* combo = qobject_cast<QComboBox*>(FindControl(id)))
            QObject::connect(combo, &QComboBox::currentIndexChanged, codeTimer, later);
    }
    if (auto* table = qobject_cast<QTableWidget*>(FindControl(IDC_PARAMETERS)))
        QObject::connect(table, &QTableWidget::itemChanged, codeTimer, later);
    later();
}

void CProjectionDlg::RestoreSystem(const std::string& wkt)
{
    if (wkt.empty()) {
        ShowUnknownSrsMessage();
        return;
    }
    m_strWKT = wkt;
    m_bUseInputSrs = true;
    InitSelectionFromWKT();
}

std::string CProjectionDlg::CurrentSystemCode() const
{
    const SystemChoice choice = CurrentChoice();
    if (choice.methodName.empty())
        return std::string();
    const OsrHandle srs = NewSpatialReference(ComposeSystem(choice).wkt);
    return srs ? NamedEpsgCode(srs.get()) : std::string();
}

SearchPopup* CProjectionDlg::GetSearch() const
{
    return m_search.data();
}

bool CProjectionDlg::CodesReady() const
{
    return !m_search || m_search->IsLoaded();
}

void CProjectionDlg::UpdateSystemCode()
{
    // Never wait for EPSG's systems on the UI thread: look again shortly.
    if (!CodesReady()) {
        if (m_codeTimer)
            m_codeTimer->start(25);
        return;
    }
    UpdateGeogSummary();
    // The geographic summary shows a geographic system's code.
    const std::string code = m_nSystemKind == kGeographic ? std::string() : CurrentSystemCode();
    if (CWnd* line = GetDlgItem(IDC_SYSTEM_CODE))
        line->SetWindowText(code.empty() ? std::string() : "EPSG:" + code);
}

void CProjectionDlg::RememberChoice()
{
    RememberRecentSystem(RecentSystemsPath(), m_strWKT);
}
