// The chooser shown for a host and its result taken.
#include "interface/ChooserRun.h"

#include <cstdio>
#include <future>

#include "chooser/ProjectionDlg.h"
#include "module/Language.h"
#include "module/Messages.h"
#include "module/ProjSupport.h"
#include "platform/Application.h"
#include "platform/Prompt.h"
#include "util/Beside.h"

int RunChooser(ChooserRun& run)
{
    run.problem = WhyNoDialogsFromHere(run.noDialogs);
    if (!run.problem.empty())
        return 2;
    const unsigned templateId = ChooserTemplateId();
    // PROJ's database is checked while the window is made: on a first open
    // each takes milliseconds. The host's text is read once it passed. Not
    // while the library makes a host its application, though: that may fork
    // (D-Bus starting a session bus), and a fork while another thread holds
    // a lock leaves the child hung on it, and the host waiting for the child.
    const std::shared_future<std::string> databaseCheck =
        HaveWidgetApplication() ? Beside(ProjDatabaseProblem).share()
                                : std::async(std::launch::deferred, ProjDatabaseProblem).share();
    // A host's widget is its window only while it lives in this process.
    CWnd hostWindow(LiveWidgetAt(run.parentWidget));
    CProjectionDlg dialog(templateId, hostWindow.GetWidget() ? &hostWindow : nullptr);
    if (!hostWindow.GetWidget())
        dialog.SetForeignOwner(run.parentWindow);
    dialog.SetInput(run.wkt, databaseCheck);
    dialog.SetGdalRegistered(run.gdalRegistered);
    dialog.SetHeightOffered(run.offerHeight);
    const INT_PTR chosen = dialog.DoModal();
    // Without PROJ's database no system can be read: said, never hung on.
    const std::string database = databaseCheck.get();
    if (!database.empty()) {
        std::fprintf(stderr, "Orvane: %s\n", database.c_str());
        AfxMessageBox(MessageWith(MessageId::ProjDatabaseUnusable, database), MB_ICONERROR | MB_OK);
        return 2;
    }
    if (chosen != IDOK)
        return 2;
    // The result as the dialog holds it: its name is not read again.
    const SpatialSystem& result = dialog.GetChosenSystem();
    run.wkt = result.Text();
    if (!run.wkt.empty())
        run.name = result.Name();
    return 1;
}
