// The map of where the current choice, or the search's candidate the user
// is on, may be used.
#include <QLayout>
#include <QTimer>
#include <QVBoxLayout>

#include "chooser/ProjectionDlg.h"
#include "map/AreaMap.h"
#include "map/ChoiceArea.h"
#include "search/SharedDatabase.h"
#include "util/Beside.h"

void CProjectionDlg::SetUpAreaMap()
{
    QWidget* place = FindControl(IDC_AREA_MAP);
    if (!place)
        return;
    auto* layout = new QVBoxLayout(place);
    layout->setContentsMargins(0, 0, 0, 0);
    m_map = new AreaMap(place);
    layout->addWidget(m_map);
}

void CProjectionDlg::ReadAreasBeside()
{
    // Closing the dialog waits for this read (tens of milliseconds) should
    // it still run: nothing of it outlives the dialog.
    if (m_map && !DatabaseCandidatesIfRead() && !m_areasRead.valid())
        m_areasRead = Beside([] { DatabaseCandidates(); });
}

AreaMap* CProjectionDlg::GetAreaMap() const
{
    return m_map.data();
}

void CProjectionDlg::UpdateAreaMap()
{
    // The search's row the user is on keeps the map until the list closes.
    if (!m_map || m_mapShowsCandidate)
        return;
    // The areas are read with the search's candidates, on a thread of its
    // own: until then the map waits rather than the user.
    const std::shared_ptr<const CandidateDatabase> database = DatabaseCandidatesIfRead();
    if (!database) {
        if (!m_mapUpdatePending) {
            m_mapUpdatePending = true;
            QTimer::singleShot(50, m_map, [this] {
                m_mapUpdatePending = false;
                UpdateAreaMap();
            });
        }
        return;
    }
    const AreaOfUse* geogArea = database->AreaOfEpsg(m_geogCode);
    const ProjectionShape shape = ShapeOfChoice(m_choice);
    m_map->SetArea(AreaToShow(shape, database->AreaOfEpsg(m_shownCode), geogArea));
    m_map->SetNote(CentreOutsideNote(shape, m_choice.shown.geogName, geogArea));
    // The height's area over it: a vertical system's own, read with the row.
    const HeightChoice height = ChosenHeight();
    const bool epsgHeight = height.kind == HeightKind::Vertical && height.vertical.rfind("EPSG:", 0) == 0;
    const std::shared_ptr<const CandidateDatabase> heights = epsgHeight ? HeightCandidates() : nullptr;
    const AreaOfUse* heightArea = heights ? heights->AreaOfEpsg(height.vertical.substr(5)) : nullptr;
    m_map->SetHeightArea(heightArea ? *heightArea : AreaOfUse());
}

void CProjectionDlg::ShowCandidateArea(const Candidate* candidate)
{
    m_mapShowsCandidate = candidate != nullptr;
    if (!candidate) {
        UpdateAreaMap();
        return;
    }
    if (!m_map)
        return;
    const std::shared_ptr<const CandidateDatabase> database = DatabaseCandidatesIfRead();
    const AreaOfUse* area = AreaOfCandidate(*candidate, database.get());
    m_map->SetArea(area ? *area : AreaOfUse());
    m_map->SetHeightArea(AreaOfUse());  // the candidate's alone
    m_map->SetNote(std::string());  // the note is the choice's
}
