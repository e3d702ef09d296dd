// The geographic side of the chooser: the catalogue, its summary, adding a
// system, and the linear units.
#include <cmath>

#include <QWidget>

#include "chooser/ProjectionDlg.h"
#include "gcs_editor/AddGCSDlg.h"
#include "module/Language.h"
#include "module/Messages.h"
#include "module/Module.h"
#include "platform/Application.h"
#include "platform/Prompt.h"
#include "search/Identification.h"
#include "search/SearchPopup.h"
#include "util/Text.h"

void CProjectionDlg::LoadGeographicSystems()
{
    LoadCatalogSection(kGeogSection, g_geogSystems);
}

void CProjectionDlg::LoadLengthUnits()
{
    m_units.clear();
    m_units.push_back(CustomLengthUnit());
    ReadLengthUnits(GetGdalDataFolder(), m_units);
}

void CProjectionDlg::OnSelchangeGeogSystem()
{
    UpdateData(TRUE);
    UpdateGeogSummary();
    UpdateData(FALSE);
}

void CProjectionDlg::UpdateGeogSummary()
{
    auto entry = g_geogSystems.find(m_cbGeogSystem.GetWindowText());
    if (entry == g_geogSystems.end())
        return;
    OsrHandle srs = NewSpatialReference(entry->second);
    if (!srs)
        return;
    const std::string summary = AttrValue(srs.get(), "GEOGCS") + "\r\nDatum: " +
                                AttrValue(srs.get(), "DATUM") + "\r\nSpheroid: " +
                                AttrValue(srs.get(), "SPHEROID");
    const std::string code = CodesReady() ? NamedEpsgCode(srs.get()) : OwnEpsgCode(srs.get());
    const std::string summaryWithCode = code.empty() ? summary : summary + "\r\nEPSG:" + code;
    if (CWnd* box = GetDlgItem(IDC_GEOG_SUMMARY))
        box->SetWindowText(summaryWithCode);
}

void CProjectionDlg::OnBnClickedAddGeogSystem()
{
    CAddGCSDlg editor(EditorTemplateId());
    const INT_PTR result = editor.DoModal();
    // Back on the list the new system joins, so that Enter means OK again
    // (a focused New… button would take Enter for itself).
    if (QWidget* list = FindControl(IDC_GEOG_SYSTEM))
        list->setFocus(Qt::OtherFocusReason);
    if (result != IDOK)
        return;
    const std::string name = editor.GetSystemName();
    const std::string wkt = editor.GetWKT();
    g_geogSystems[name] = wkt;
    // An overwritten system is listed once.
    const int count = m_cbGeogSystem.GetCount();
    bool listed = false;
    for (int i = 0; i < count && !listed; ++i)
        listed = m_cbGeogSystem.GetLBText(i) == name;
    if (!listed)
        m_cbGeogSystem.AddString(name);
    SelectComboString(m_cbGeogSystem, name);
    UpdateGeogSummary();
    StoreProblem problem = StoreProblem::None;
    const bool stored = StoreGeogSystem(name, wkt, &problem, PumpEvents);
    // The search offers the user's systems as the file holds them.
    if (SearchPopup* search = GetSearch())
        search->Reload();
    if (stored)
        return;
    const MessageId reason = problem == StoreProblem::NoHome     ? MessageId::StoreNoHome
                             : problem == StoreProblem::LockBusy ? MessageId::StoreLockBusy
                                                                 : MessageId::StoreCannotWrite;
    const std::string path = GetUserCatalogPath();
    MessageBox(std::string(MessageText(MessageId::CannotStoreGeogSystem)) + "\n" + MessageText(reason) +
                   (path.empty() ? "" : "\n" + path),
               ApplicationTitle(), MB_ICONEXCLAMATION | MB_OK);
}

bool CProjectionDlg::SelectLinearUnit(const std::string& name, double metresPerUnit)
{
    std::string wanted = LowerAscii(name);
    if (wanted == "meter")
        wanted = "metre";
    bool found = false;
    for (std::size_t i = 0; i < m_units.size() && !found; ++i) {
        if (LowerAscii(m_units[i].name) == wanted &&
            std::fabs(metresPerUnit - m_units[i].value) < 0.01) {
            m_cbUnit.SetCurSel(static_cast<int>(i));
            found = true;
        }
    }
    if (!found) {
        // Selected, so that the system is shown and composed in its own unit.
        m_units.push_back(RefEntry{0, wanted, metresPerUnit});
        m_cbUnit.SetCurSel(m_cbUnit.AddString(wanted));
    }
    OnSelchangeUnit();
    return true;
}

void CProjectionDlg::AddGeogSystemIfMissing(const std::string& name, OGRSpatialReferenceH srs)
{
    if (g_geogSystems.count(name))
        return;
    OsrHandle geographic(OSRNewSpatialReference(nullptr));
    std::string wkt;
    {
        QuietGdalErrors quiet;
        OSRCopyGeogCSFrom(geographic.get(), srs);
        wkt = ExportToWkt(geographic.get());
    }
    if (!wkt.empty())
        g_geogSystems[name] = wkt;
}
