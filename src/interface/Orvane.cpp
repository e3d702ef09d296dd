// The exported chooser object: its state and result accessors.
#include "interface/Orvane.h"

#include "chooser/ProjectionDlg.h"
#include "module/GdalSupport.h"
#include "module/Language.h"
#include "module/Messages.h"
#include "module/ProjSupport.h"
#include "platform/Prompt.h"

#include <cstdio>

Orvane::Orvane(const char* wkt)
    : m_wkt(wkt ? wkt : ""), m_srsName(), m_settingOK(false), m_gdalRegState(true)
{
}

Orvane::~Orvane() = default;

void Orvane::SetLanguage(LanguageSet language)
{
    g_language = language;
}

void Orvane::SetGDALRegState(bool registered)
{
    m_gdalRegState = registered;
}

bool Orvane::IsSettingOK()
{
    return m_settingOK;
}

char* Orvane::GetWKT()
{
    return m_settingOK ? m_wkt.data() : nullptr;
}

char* Orvane::GetSrsName()
{
    return m_settingOK ? m_srsName.data() : nullptr;
}

namespace {

std::string SystemName(const std::string& wkt)
{
    OsrHandle srs = NewSpatialReference(wkt);
    return srs ? DisplayNameOf(srs.get()) : "Unknown";
}

}  // namespace

int Orvane::DoModal()
{
    const unsigned templateId = ChooserTemplateId();
    m_settingOK = false;
    // Without PROJ's database no system can be read: said, never hung on.
    const std::string database = ProjDatabaseProblem();
    if (!database.empty()) {
        std::fprintf(stderr, "Orvane: %s\n", database.c_str());
        AfxMessageBox(MessageWith(MessageId::ProjDatabaseUnusable, database), MB_ICONERROR | MB_OK);
        return 2;
    }
    CProjectionDlg dialog(templateId);
    dialog.SetInput(m_wkt);
    dialog.SetGdalRegistered(m_gdalRegState);
    if (dialog.DoModal() != IDOK)
        return 2;
    m_wkt = dialog.GetResultWKT();
    if (!m_wkt.empty())
        m_srsName = SystemName(m_wkt);
    m_settingOK = true;
    return 1;
}
