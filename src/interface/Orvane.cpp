// The exported chooser object: its state and result accessors.
#include "interface/Orvane.h"

#include "interface/ChooserRun.h"
#include "module/Language.h"

struct Orvane::State {
    std::string wkt;      // the host's system; after a confirmed choice, the chosen one
    std::string srsName;  // the chosen system's name
    bool settingOK = false;
    bool gdalRegState = true;
    bool offerHeight = false;
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

void Orvane::OfferHeight(bool offer)
{
    m_state->offerHeight = offer;
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
    m_state->settingOK = false;
    ChooserRun run;
    run.wkt = m_state->wkt;
    run.gdalRegistered = m_state->gdalRegState;
    run.offerHeight = m_state->offerHeight;
    if (RunChooser(run) != 1)
        return 2;
    m_state->wkt = std::move(run.wkt);
    if (!m_state->wkt.empty())
        m_state->srsName = std::move(run.name);
    m_state->settingOK = true;
    return 1;
}
