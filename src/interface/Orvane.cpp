// The exported chooser object: its state and result accessors.
#include "interface/Orvane.h"

#include "chooser/ProjectionDlg.h"
#include "module/GdalSupport.h"
#include "module/Language.h"
#include "module/Messages.h"
#include "module/ProjSupport.h"
#include "platform/Application.h"
#include "platform/Prompt.h"
#include "util/Beside.h"

#include <cstdio>
#include <future>

struct Orvane::State {
    std::string wkt;      // the host's system; after a confirmed choice, the chosen one
    std::string srsName;  // the chosen system's name
    bool settingOK = false;
    bool gdalRegState = true;
};

Orvane::Orvane(const char* wkt) : m_state(std::make_unique<State>())
{
    m_state->wkt = wkt ? wkt : "";
}

Orvane::~Orvane() = default;

void Orvane::SetLanguage(LanguageSet language)
{
    g_language = language;
}

void Orvane::SetGDALRegState(bool registered)
{
    m_state->gdalRegState = registered;
}

bool Orvane::IsSettingOK()
{
    return m_state->settingOK;
}

char* Orvane::GetWKT()
{
    return m_state->settingOK ? m_state->wkt.data() : nullptr;
}

char* Orvane::GetSrsName()
{
    return m_state->settingOK ? m_state->srsName.data() : nullptr;
}

int Orvane::DoModal()
{
    const unsigned templateId = ChooserTemplateId();
    m_state->settingOK = false;
    // PROJ's database is checked while the window is made: on a first open
    // each takes milliseconds. The host's text is read once it passed. Not
    // while the library makes a host its application, though: that may fork
    // (D-Bus starting a session bus), and a fork while another thread holds
    // a lock leaves the child hung on it, and the host waiting for the child.
    const std::shared_future<std::string> databaseCheck =
        HaveWidgetApplication() ? Beside(ProjDatabaseProblem).share()
                                : std::async(std::launch::deferred, ProjDatabaseProblem).share();
    CProjectionDlg dialog(templateId);
    dialog.SetInput(m_state->wkt, databaseCheck);
    dialog.SetGdalRegistered(m_state->gdalRegState);
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
    m_state->wkt = result.Text();
    if (!m_state->wkt.empty())
        m_state->srsName = result.Name();
    m_state->settingOK = true;
    return 1;
}
