// A spatial reference system as one value: the text as it was given, read
// once into a handle that nothing changes, and its name. Made once where a
// system comes in (the host's text, an import, a search pick, the recent
// list, the editor) and carried from there, never read again on the way.
#pragma once

#include <memory>
#include <string>
#include <type_traits>

#include <ogr_srs_api.h>

#include "module/GdalSupport.h"

class SpatialSystem
{
public:
    // No system.
    SpatialSystem() = default;
    // `text` read as the library reads any system (module/GdalSupport.h's
    // NewSpatialReference); a text that is no system gives a value that
    // keeps the text and has no handle.
    explicit SpatialSystem(std::string text, SystemText form = SystemText::Definition);
    // A system already read (`srs`, which `text` writes): not read again.
    SpatialSystem(std::string text, OGRSpatialReferenceH srs);

    // Whether the text is a system.
    bool IsSystem() const { return m_srs != nullptr; }
    const std::string& Text() const { return m_text; }
    // Shared by every copy and never changed: read it, clone it to change
    // it. GDAL's handles are not to be read from two threads at once: give
    // another thread the text.
    OGRSpatialReferenceH Handle() const { return m_srs.get(); }
    // What the host is told: the system's name, "Unknown" for none.
    const std::string& Name() const { return m_name; }

private:
    std::string m_text;
    std::shared_ptr<std::remove_pointer_t<OGRSpatialReferenceH>> m_srs;
    std::string m_name = kUnknownName;
};
