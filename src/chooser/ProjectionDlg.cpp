// The chooser's life: construction, opening on what the host handed in, OK
// and Cancel.
#include "chooser/ProjectionDlg.h"
#include "catalog/SystemReading.h"
#include "search_ui/SearchPopup.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include "module/Messages.h"
#include "module/Module.h"
#include "module/StartupNotes.h"
#include "platform/DataExchange.h"
#include "platform/FirstFrame.h"
#include "platform/Prompt.h"
#include "search/RecentSystems.h"

namespace
{

// A line of text right under `widget`, in the layout cell it held; hidden
// while it has nothing to say. Null when the widget is in no grid.
QLabel* LineUnder(QWidget* widget)
{
    QWidget* parent = widget->parentWidget();
    auto* grid = parent ? qobject_cast<QGridLayout*>(parent->layout()) : nullptr;
    const int index = grid ? grid->indexOf(widget) : -1;
    if (index < 0)
        return nullptr;
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    auto* holder = new QWidget(parent);
    auto* stack = new QVBoxLayout(holder);
    stack->setContentsMargins(0, 0, 0, 0);
    grid->removeWidget(widget);
    stack->addWidget(widget, 1);
    auto* line = new QLabel(holder);
    line->setWordWrap(true);
    line->hide();
    stack->addWidget(line);
    grid->addWidget(holder, row, column, rowSpan, columnSpan);
    return line;
}

} // namespace

const char kGeographicKind[] = "Geographic Coordinate System";
const char kProjectedKind[] = "Projected Coordinate System";

CProjectionDlg::CProjectionDlg(unsigned templateId, CWnd* parent) : CDialog(templateId, parent)
{
    OnClicked(IDOK, [this] { OnBnClickedOk(); });
    OnClicked(IDCANCEL, [this] { OnBnClickedCancel(); });
    OnClicked(IDC_ADD_GEOG_SYSTEM, [this] { OnBnClickedAddGeogSystem(); });
    OnClicked(IDC_IMPORT, [this] { OnBnClickedImport(); });
    OnClicked(IDC_SAVE_PRJ, [this] { OnBnClickedSavePrj(); });
    OnSelChange(IDC_SYSTEM_KIND, [this] { OnSelchangeSystemKind(); });
    OnSelChange(IDC_PROJ_CATEGORY, [this] { OnSelchangeProjCategory(); });
    OnSelChange(IDC_GEOG_SYSTEM, [this] { OnSelchangeGeogSystem(); });
    OnSelChange(IDC_PROJ_METHOD, [this] { OnSelchangeProjMethod(); });
    OnSelChange(IDC_ZONE, [this] { OnSelchangeZone(); });
    OnSelChange(IDC_UNIT, [this] { OnSelchangeUnit(); });
    OnSelChange(IDC_HEIGHT, [this] { OnSelchangeHeight(); });
}

CProjectionDlg::~CProjectionDlg()
{
    // The window goes while the choice and the map it shows are still here:
    // closing it hides the search's list, which tells the map.
    if (m_search)
        m_search->SetOnHighlight({});
    DestroyWindow();
}

void CProjectionDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PROJ_METHOD, m_cbProjMethod);
    DDX_Control(dx, IDC_ZONE, m_cbZone);
    DDX_Control(dx, IDC_GEOG_SYSTEM, m_cbGeogSystem);
    DDX_Control(dx, IDC_UNIT, m_cbUnit);
    DDX_Control(dx, IDC_SYSTEM_KIND, m_cbSystemKind);
    DDX_Control(dx, IDC_PROJ_CATEGORY, m_cbProjCategory);
    DDX_Control(dx, IDC_PARAMETERS, m_lcParams);
    // The factor is the choice's; reading it back only gives a text that is
    // no number the framework's own prompt.
    if (dx->m_bSaveAndValidate) {
        double factor = 0.0;
        DDX_Text(dx, IDC_UNIT_FACTOR, factor);
    }
}

BOOL CProjectionDlg::OnInitDialog()
{
    if (m_databaseCheck.valid() && !m_databaseCheck.get().empty()) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_input = SpatialSystem(m_inputText);
    CDialog::OnInitDialog();
    m_choice = NewChoice(LoadChoiceCatalogues(GetGdalDataFolder()));
    m_lcParams.SetExtendedStyle(m_lcParams.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    m_lcParams.InsertColumn(0, "Parameters", LVCFMT_LEFT, 150);
    m_lcParams.InsertColumn(1, "Value", LVCFMT_LEFT, 180);
    // Room to read: the values take the list's free width, and the summary
    // wraps a long datum name rather than hiding it behind a scroll bar.
    if (auto* table = qobject_cast<QTableWidget*>(FindControl(IDC_PARAMETERS))) {
        table->horizontalHeader()->setStretchLastSection(true);
        // Named as its first heading says, for a screen reader.
        table->setAccessibleName(QStringLiteral("Parameters"));
        m_parameterProblem = LineUnder(table);
    }
    if (QWidget* codeLine = FindControl(IDC_SYSTEM_CODE))
        codeLine->setAccessibleName(QString::fromUtf8(MessageText(MessageId::SystemCodeLineName)));
    if (auto* summary = qobject_cast<QPlainTextEdit*>(FindControl(IDC_GEOG_SUMMARY))) {
        summary->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        summary->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    m_lcParams.SetEditedHandler([this](int row, const std::string& text) { OnParameterEdited(row, text); });
    if (auto* factor = qobject_cast<QLineEdit*>(FindControl(IDC_UNIT_FACTOR)))
        QObject::connect(factor, &QLineEdit::textEdited, factor, [this] { OnUnitFactorEdited(); });
    if (!m_input.Text().empty() && !HoldWithHeight(m_input))
        ShowUnknownSrsMessage();
    FillHeightRow();
    SetUpAreaMap();
    ShowChoice();
    SetUpSearch();
    // Work beside the user's thread waits for the first frame.
    AfterFirstFrame(GetWidget(), [this] {
        if (m_search)
            m_search->Reload();
        ReadAreasBeside();
        UpdateSystemCodeLater();
    });
    TellWhatIsNotUsed();
    return TRUE;
}

void CProjectionDlg::TellWhatIsNotUsed()
{
    const std::string notes =
        StartupNotesNotYetTold({{RecentSystemsPath(), kMaxRecentSystemsBytes, MessageId::RecentTooLarge}});
    if (!notes.empty())
        MessageBox(notes, ApplicationTitle(), MB_ICONEXCLAMATION | MB_OK);
}

void CProjectionDlg::RestoreSystem(const SpatialSystem& system)
{
    if (!system.IsSystem() || !HoldWithHeight(system))
        ShowUnknownSrsMessage();
    FillHeightRow();
    ShowChoice();
}

void CProjectionDlg::ShowUnknownSrsMessage()
{
    MessageBox(MessageText(MessageId::UnknownSrs), MessageText(MessageId::UnknownSrsCaption),
               MB_ICONEXCLAMATION | MB_OK);
}

ComposedSystem CProjectionDlg::ComposeChoice()
{
    return ComposeSystem(m_choice, [this](const std::string& wkt) { return EpsgCodeOf(wkt); });
}

bool CProjectionDlg::ComposeOrRefuse(MessageId firstLine, ComposedSystem& composed)
{
    // The metres per unit that is no number gets the framework's own prompt.
    if (!UpdateData(TRUE))
        return false;
    composed = ComposeChoice();
    // With its height, where the row has one: what OK hands back and Save writes.
    if (!composed.wkt.empty()) {
        composed.system = WithChosenHeight(composed.system);
        composed.wkt = composed.system.Text();
    }
    if (composed.wkt.empty()) {
        AfxMessageBox(std::string(MessageText(firstLine)) + "\n" +
                      RefusalText(composed.problem, composed.parameter, composed.reason));
        // Back to the value the refusal names, to mend it there.
        const ChoiceParameters& parameters = m_choice.shown.parameters;
        for (std::size_t r = 0; !composed.parameter.empty() && r < parameters.size(); ++r) {
            if (parameters[r].name == composed.parameter)
                m_lcParams.FocusCell(static_cast<int>(r), 1);
        }
        return false;
    }
    return true;
}

void CProjectionDlg::OnBnClickedOk()
{
    ComposedSystem composed;
    if (!ComposeOrRefuse(MessageId::CoordinateSetError, composed))
        return;
    m_result = composed.system;
    RememberChoice();
    CDialog::OnOK();
}

void CProjectionDlg::OnBnClickedCancel()
{
    CDialog::OnCancel();
}
