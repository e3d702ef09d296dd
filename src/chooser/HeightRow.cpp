// The height row: shown when the host asks for a height or hands in a
// system with one; none, the ellipsoid's height, or a vertical system of
// EPSG's (those over the horizontal system's area first). Left alone, the
// system handed in comes back as it came.
#include "chooser/ProjectionDlg.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include <ogr_srs_api.h>

#include "catalog/SystemReading.h"
#include "search/Folding.h"
#include "search_ui/ListFilter.h"

namespace {

bool operator==(const HeightChoice& a, const HeightChoice& b)
{
    return a.kind == b.kind && a.vertical == b.vertical;
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
    if (m_verticals.empty())
        m_verticals = ReadVerticalSystems();
    // Those over the horizontal system's area first.
    double west = 0, south = 0, east = 0, north = 0;
    const SpatialSystem horizontal = ComposeChoice().system;
    std::vector<VerticalSystem> verticals = m_verticals;
    if (horizontal.IsSystem() &&
        OSRGetAreaOfUse(horizontal.Handle(), &west, &south, &east, &north, nullptr) && west > -1000)
        verticals = OverlappingFirst(std::move(verticals), west, south, east, north);
    m_heightEntries = {HeightChoice{}, HeightChoice{HeightKind::Ellipsoidal, ""}};
    QStringList entries = {QString::fromUtf8(MessageText(MessageId::HeightNone)),
                           QString::fromUtf8(MessageText(MessageId::HeightEllipsoidal))};
    // A held vertical system that is no EPSG system: offered as it came.
    if (m_heldHeight.kind == HeightKind::Vertical && m_heldHeight.vertical.rfind("EPSG:", 0) != 0) {
        const SpatialSystem held(m_heldHeight.vertical);
        m_heightEntries.push_back(m_heldHeight);
        entries << QString::fromStdString(held.IsSystem() ? held.Name() : m_heldHeight.vertical);
    }
    for (const VerticalSystem& vertical : verticals) {
        m_heightEntries.push_back(HeightChoice{HeightKind::Vertical, "EPSG:" + vertical.code});
        entries << QString::fromStdString(vertical.name + " (EPSG:" + vertical.code + ")");
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
    if (!m_heightFilter) {
        m_heightFilter = new ListFilter(row, [this] {
            std::vector<std::string> words;
            if (auto* list = qobject_cast<QComboBox*>(FindControl(IDC_HEIGHT)))
                for (int i = 0; i < list->count(); ++i)
                    words.push_back(FoldedWords(list->itemText(i).toStdString()));
            return words;
        });
    }
    m_heightFilter->Stale();
    OnSelchangeHeight();
}

void CProjectionDlg::OnSelchangeHeight()
{
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
