// A system as a search candidate holds it: its text, and the system read
// from it where it has been read already.
#pragma once

#include <string>
#include <utility>

#include "module/SpatialSystem.h"

// The catalogues' entries stay texts until one is chosen: reading their
// hundreds would add tens of milliseconds to every search's start. A
// recent system is read to be listed, and chosen as read.
class DeferredSystem
{
public:
    // No system (a database's, made from its code when chosen).
    DeferredSystem() = default;
    // A text not read yet.
    explicit DeferredSystem(std::string text) : m_text(std::move(text)) {}
    // A system read already (a text that is no system stays a text).
    explicit DeferredSystem(SpatialSystem read)
    {
        if (read.IsSystem())
            m_read = std::move(read);
        else
            m_text = read.Text();
    }

    const std::string& Text() const { return m_read.IsSystem() ? m_read.Text() : m_text; }
    // The system's handle where it has been read, else null: never to be
    // read from two threads at once (a recent system is read, listed and
    // chosen on the UI thread).
    OGRSpatialReferenceH Handle() const { return m_read.Handle(); }
    // The system: as read, or read now.
    SpatialSystem Read() const { return m_read.IsSystem() ? m_read : SpatialSystem(m_text); }

private:
    std::string m_text; // while not read
    SpatialSystem m_read;
};
