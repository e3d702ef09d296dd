#include "module/SpatialSystem.h"

#include "module/GdalSupport.h"

SpatialSystem::SpatialSystem(std::string text, SystemText form) : m_text(std::move(text))
{
    OsrHandle srs = NewSpatialReference(m_text, form);
    if (!srs)
        return;
    m_name = DisplayNameOf(srs.get());
    m_srs = std::move(srs);
}

SpatialSystem::SpatialSystem(std::string text, OGRSpatialReferenceH srs)
    : m_text(std::move(text))
{
    if (!srs)
        return;
    OsrHandle own(OSRClone(srs));
    if (!own)
        return;
    m_name = DisplayNameOf(own.get());
    m_srs = std::move(own);
}
