// The chooser's life: construction, opening on what the host handed in, OK
// and Cancel.
#include "chooser/ProjectionDlg.h"
#include "catalog/SystemReading.h"
#include "search_ui/SearchPopup.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>

#include "module/Messages.h"
#include "module/Module.h"
#include "platform/DataExchange.h"
#include "platform/Prompt.h"
#include "search/RecentSystems.h"
#include "util/FileIO.h"
#include "util/Profile.h"

#include <sys/stat.h>

#include <set>

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
    if (!m_input.Text().empty() && HoldSystem(m_choice, m_input) != HoldProblem::None)
        ShowUnknownSrsMessage();
    SetUpAreaMap();
    ShowChoice();
    SetUpSearch();
    TellWhatIsNotUsed();
    return TRUE;
}

void CProjectionDlg::TellWhatIsNotUsed()
{
    // Each once a process: the user knows it the first time.
    static std::set<std::string> told;
    std::vector<std::string> notes;
    const auto note = [&](const std::string& text) {
        if (told.insert(text).second)
            notes.push_back(text);
    };
    for (const std::string& catalogue : {GetCatalogPath(), GetUserCatalogPath()}) {
        struct stat st;
        if (!catalogue.empty() && stat(catalogue.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            static_cast<std::size_t>(st.st_size) > kMaxProfileBytes)
            note(MessageWith(MessageId::CatalogueTooLarge, catalogue));
    }
    struct stat recent;
    if (stat(RecentSystemsPath().c_str(), &recent) == 0 && S_ISREG(recent.st_mode) &&
        static_cast<std::size_t>(recent.st_size) > kMaxRecentSystemsBytes)
        note(MessageWith(MessageId::RecentTooLarge, RecentSystemsPath()));
    const std::string userFolder = GetUserCatalogPath().empty() ? std::string() : FolderOf(GetUserCatalogPath());
    struct stat st;
    if (!userFolder.empty() && lstat(userFolder.c_str(), &st) == 0 && !IsPrivateFolder(userFolder))
        note(MessageWith(MessageId::FolderNotPrivate, userFolder));
    if (notes.empty())
        return;
    std::string text;
    for (const std::string& line : notes)
        text += (text.empty() ? "" : "\n") + line;
    MessageBox(text, ApplicationTitle(), MB_ICONEXCLAMATION | MB_OK);
}

void CProjectionDlg::RestoreSystem(const SpatialSystem& system)
{
    if (!system.IsSystem() || HoldSystem(m_choice, system) != HoldProblem::None)
        ShowUnknownSrsMessage();
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

void CProjectionDlg::OnBnClickedOk()
{
    // The metres per unit that is no number gets the framework's own prompt.
    if (!UpdateData(TRUE))
        return;
    const ComposedSystem composed = ComposeChoice();
    if (composed.wkt.empty()) {
        ShowRefusal(MessageText(MessageId::CoordinateSetError), composed);
        return;
    }
    m_result = composed.system;
    RememberChoice();
    CDialog::OnOK();
}

void CProjectionDlg::OnBnClickedCancel()
{
    CDialog::OnCancel();
}

void CProjectionDlg::ShowRefusal(const std::string& firstLine, const ComposedSystem& refusal)
{
    AfxMessageBox(firstLine + "\n" + RefusalText(refusal.problem, refusal.parameter, refusal.reason));
}
