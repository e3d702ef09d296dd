// Defining a new geographic system with the editor.
#include <QWidget>

#include "chooser/ProjectionDlg.h"
#include "gcs_editor/AddGCSDlg.h"
#include "module/Language.h"
#include "module/Messages.h"
#include "module/Module.h"
#include "platform/Application.h"
#include "platform/Prompt.h"
#include "search_ui/SearchPopup.h"
#include "util/FileIO.h"

void CProjectionDlg::OnBnClickedAddGeogSystem()
{
    CAddGCSDlg editor(EditorTemplateId());
    editor.SetExistingSystems(&m_choice.catalogues.geographic);
    const INT_PTR result = editor.DoModal();
    // Back on the list the new system joins, so that Enter means OK again
    // (a focused New… button would take Enter for itself).
    if (QWidget* list = FindControl(IDC_GEOG_SYSTEM))
        list->setFocus(Qt::OtherFocusReason);
    if (result != IDOK)
        return;
    const std::string name = editor.GetSystemName();
    const std::string wkt = editor.GetWKT();
    AddGeogSystem(m_choice, name, wkt);
    ShowChoice();
    StoreProblem problem = StoreProblem::None;
    const bool stored = StoreGeogSystem(name, wkt, &problem, PumpEvents);
    // The search offers the user's systems as the file holds them.
    if (SearchPopup* search = GetSearch())
        search->Reload();
    if (stored)
        return;
    const std::string path = GetUserCatalogPath();
    const std::string reason = problem == StoreProblem::NoHome     ? MessageText(MessageId::StoreNoHome)
                               : problem == StoreProblem::LockBusy ? MessageText(MessageId::StoreLockBusy)
                               : problem == StoreProblem::NotPrivate
                                   ? MessageWith(MessageId::StoreNotPrivate, FolderOf(path))
                                   : MessageText(MessageId::StoreCannotWrite);
    MessageBox(std::string(MessageText(MessageId::CannotStoreGeogSystem)) + "\n" + reason +
                   (path.empty() ? "" : "\n" + path),
               ApplicationTitle(), MB_ICONEXCLAMATION | MB_OK);
}
