// The exported chooser object: its state and result accessors.
#include "interface/Orvane.h"

#include "module/Language.h"

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
