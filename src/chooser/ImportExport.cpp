// Importing a system from a .prj file or a raster, and saving one to a .prj.
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QWidget>

#include "catalog/ImportFile.h"
#include "chooser/ProjectionDlg.h"
#include "module/Messages.h"
#include "platform/Application.h"
#include "platform/FileDialog.h"
#include "platform/Prompt.h"
#include "util/LockedFile.h"

namespace {

// Built on first use and kept for the life of the process.
const std::string& ImportFilter()
{
    static const std::string filter =
        "Source File|*.prj;*.img;*.tif|Prj File(*.prj)|*.prj|ERDAS Imagine(*.img)|*.img|"
        "TIFF Format(*.tif)|*.tif|ALL File(*.*)|*.*||";
    return filter;
}

const std::string& ExportFilter()
{
    static const std::string filter = "Projection File(*.prj)|*.prj||";
    return filter;
}

}  // namespace

void CProjectionDlg::OnBnClickedImport()
{
    CFileDialog dialog(TRUE, "", "", OFN_HIDEREADONLY, ImportFilter().c_str());
    dialog.m_title = MessageText(MessageId::ImportTitle);
    if (dialog.DoModal() != IDOK)
        return;
    const ImportedFile imported = ReadImportFile(dialog.GetPathName(), m_bGdalRegistered);
    if (!imported.problem.empty()) {
        AfxMessageBox(imported.problem);
        return;
    }
    RestoreSystem(imported.system);
    FocusDefaultButton();
}

void CProjectionDlg::FocusDefaultButton()
{
    // After a file dialog, Enter confirms the choice rather than opening
    // another file.
    if (QWidget* ok = FindControl(IDOK))
        ok->setFocus(Qt::OtherFocusReason);
}

void CProjectionDlg::OnBnClickedSavePrj()
{
    // What OK would hand back; the choice itself stays as it is.
    ComposedSystem composed;
    if (!ComposeOrRefuse(MessageId::CannotSavePrj, composed))
        return;
    CFileDialog dialog(FALSE, ".prj", "My.prj", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       ExportFilter().c_str());
    dialog.m_title = MessageText(MessageId::SavePrjTitle);
    if (dialog.DoModal() != IDOK)
        return;
    // Saved means every byte written and the file closed: anything less is
    // reported, and leaves no half-written file under the chosen name.
    if (SaveFileUnderLock(dialog.GetPathName(), composed.wkt, PumpEvents)) {
        AfxMessageBox(MessageText(MessageId::SaveSucceeded));
        FocusDefaultButton();
        return;
    }
    const std::string why = errno == ETIMEDOUT ? MessageText(MessageId::SaveLockBusy)
                            : errno                ? std::strerror(errno)
                                                   : std::string();
    AfxMessageBox(std::string(MessageText(MessageId::SaveFailed)) + "\n" +
                  FileProblem(MessageId::CannotWriteFile, dialog.GetPathName(), why));
}
