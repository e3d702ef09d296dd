// The height row: shown when the host asks for a height or hands in a
// system with one; none, the ellipsoid's height, or a vertical system of
// EPSG's (those over the horizontal system's area first). Left alone, the
// system handed in comes back as it came.
#include "chooser/ProjectionDlg.h"

#include <algorithm>
#include <unordered_map>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include <ogr_srs_api.h>

#include "catalog/SystemReading.h"
#include "search/Folding.h"
#include "search/Matching.h"
#include "search/SharedDatabase.h"
#include "search_ui/ListFilter.h"

namespace {

bool operator==(const HeightChoice& a, const HeightChoice& b)
{
    return a.kind == b.kind && a.vertical == b.vertical;
}

// EPSG's vertical systems in use, by name.
std::vector<const Candidate*> VerticalSystemsIn(const CandidateDatabase& heights)
{
    std::vector<const Candidate*> systems;
    for (const Candidate& c : heights.candidates) {
        if (c.kind == CandidateKind::Vertical && c.authority == "EPSG" && !c.deprecated)
            systems.push_back(&c);
    }
    std::stable_sort(systems.begin(), systems.end(),
                     [](const Candidate* a, const Candidate* b) { return a->name < b->name; });
    return systems;
}

}  // namespace

bool CProjectionDlg::HoldWithHeight(const SpatialSystem& system)
{
    HeightChoice height = HeightOf(system);
    SpatialSystem horizontal = height.kind == HeightKind::None ? system : HorizontalPartOf(system);
    // A system whose parts cannot be told apart is held whole, as before.
    if (!horizontal.IsSystem()) {
        horizontal = system;
        height = HeightChoice();
    }
    if (HoldSystem(m_choice, horizontal) != HoldProblem::None)
        return false;
    m_heldWhole = system;
    m_heldHorizontal = horizontal.Text();
    m_heldHeight = height;
    m_heightShown = m_heightShown || m_heightOffered || height.kind != HeightKind::None;
    return true;
}

void CProjectionDlg::FillHeightRow()
{
    QWidget* group = FindControl(IDC_HEIGHT_GROUP);
    auto* row = qobject_cast<QComboBox*>(FindControl(IDC_HEIGHT));
    m_heightShown = m_heightShown || m_heightOffered;
    if (!group || !row)
        return;
    group->setVisible(m_heightShown);
    if (!m_heightShown)
        return;
    if (m_verticals.empty()) {
        m_heightSystems = HeightCandidates();
        m_verticals = VerticalSystemsIn(*m_heightSystems);
    }
    // Those over the horizontal system's area first.
    AreaOfUse area;
    const SpatialSystem horizontal = ComposeChoice().system;
    area.bounded = horizontal.IsSystem() && OSRGetAreaOfUse(horizontal.Handle(), &area.west, &area.south,
                                                            &area.east, &area.north, nullptr) &&
                   area.west > -1000;
    std::vector<const Candidate*> verticals = m_verticals;
    const auto others = std::stable_partition(verticals.begin(), verticals.end(), [&](const Candidate* c) {
        return c->area && c->area->Overlaps(area);
    });
    const auto overlapping = static_cast<std::size_t>(others - verticals.begin());
    m_heightEntries = {HeightChoice{}, HeightChoice{HeightKind::Ellipsoidal, ""}};
    QStringList entries = {QString::fromUtf8(MessageText(MessageId::HeightNone)),
                           QString::fromUtf8(MessageText(MessageId::HeightEllipsoidal))};
    // A held vertical system that is no EPSG system: offered as it came.
    if (m_heldHeight.kind == HeightKind::Vertical && m_heldHeight.vertical.rfind("EPSG:", 0) != 0) {
        const SpatialSystem held(m_heldHeight.vertical);
        m_heightEntries.push_back(m_heldHeight);
        entries << QString::fromStdString(held.IsSystem() ? held.Name() : m_heldHeight.vertical);
    }
    m_heightOverlapsBefore = m_heightEntries.size() + overlapping;
    for (const Candidate* vertical : verticals) {
        m_heightEntries.push_back(HeightChoice{HeightKind::Vertical, CandidateCode(*vertical)});
        entries << QString::fromStdString(vertical->name + " (" + CandidateCode(*vertical) + ")");
    }
    const QSignalBlocker quiet(row);
    row->clear();
    row->addItems(entries);
    int held = 0;
    for (std::size_t i = 0; i < m_heightEntries.size(); ++i) {
        if (m_heightEntries[i] == m_heldHeight)
            held = static_cast<int>(i);
    }
    row->setCurrentIndex(held);
    if (!m_heightFilter)
        m_heightFilter =
            new ListFilter(row, [this](const std::string& typed) { return HeightEntriesFor(typed); });
    OnSelchangeHeight();
}

std::vector<int> CProjectionDlg::HeightEntriesFor(const std::string& typed)
{
    auto* row = qobject_cast<QComboBox*>(FindControl(IDC_HEIGHT));
    const std::string folded = FoldedWords(typed);
    if (!row || folded.empty())
        return {};
    // The row's own entries ("None", the ellipsoid's, one held as it came)
    // by the words of their names, then the vertical systems the search
    // finds: by any name, code, typo, Chinese name or place.
    std::vector<int> entries;
    std::unordered_map<std::string, int> byCode;
    for (std::size_t i = 0; i < m_heightEntries.size(); ++i) {
        const HeightChoice& entry = m_heightEntries[i];
        if (entry.kind == HeightKind::Vertical && entry.vertical.rfind("EPSG:", 0) == 0)
            byCode.emplace(entry.vertical, static_cast<int>(i));
        else if (FoldedWords(row->itemText(static_cast<int>(i)).toStdString())
                     .find(folded.substr(0, folded.size() - 1)) != std::string::npos)
            entries.push_back(static_cast<int>(i));
    }
    if (!m_heightSearch)
        m_heightSearch = std::make_unique<const SearchCandidates>(HeightSearchCandidates());
    const std::size_t own = entries.size();
    for (const Found& found : FindForText(*m_heightSearch, typed, m_heightSearch->Size()).found) {
        const auto entry = found.candidate->kind == CandidateKind::Vertical
                               ? byCode.find(CandidateCode(*found.candidate))
                               : byCode.end();
        if (entry != byCode.end()) {
            entries.push_back(entry->second);
            byCode.erase(entry);  // each once
        }
    }
    // Those over the horizontal system's area first, as the row lists them.
    std::stable_partition(entries.begin() + static_cast<std::ptrdiff_t>(own), entries.end(),
                          [this](int entry) { return static_cast<std::size_t>(entry) < m_heightOverlapsBefore; });
    return entries;
}

void CProjectionDlg::OnSelchangeHeight()
{
    UpdateAreaMap();  // the height's area over the system's
    auto* note = qobject_cast<QLabel*>(FindControl(IDC_HEIGHT_NOTE));
    if (!note)
        return;
    const HeightChoice height = ChosenHeight();
    const std::string missing = height.kind == HeightKind::Vertical && height.vertical.rfind("EPSG:", 0) == 0
                                    ? MissingGeoidModel(height.vertical.substr(5))
                                    : std::string();
    note->setText(QString::fromUtf8(MessageWith(MessageId::HeightNeedsGeoidModel, missing)));
    note->setVisible(!missing.empty());
}

HeightChoice CProjectionDlg::ChosenHeight()
{
    auto* row = qobject_cast<QComboBox*>(FindControl(IDC_HEIGHT));
    // A row not shown holds no height: a system with one shows it.
    if (!m_heightShown || !row || row->currentIndex() < 0 ||
        row->currentIndex() >= static_cast<int>(m_heightEntries.size()))
        return HeightChoice();
    return m_heightEntries[static_cast<std::size_t>(row->currentIndex())];
}

SpatialSystem CProjectionDlg::WithChosenHeight(const SpatialSystem& horizontal)
{
    const HeightChoice height = ChosenHeight();
    // Neither part changed: the system handed in, as it came.
    if (m_heldWhole.IsSystem() && horizontal.Text() == m_heldHorizontal && height == m_heldHeight)
        return m_heldWhole;
    return WithHeight(horizontal, height, false);
}
