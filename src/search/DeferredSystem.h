// A system as a search candidate holds it: its text, and the system read
// from it where it has been read already.
#pragma once

#include <memory>
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
    explicit DeferredSystem(std::string text)
        : m_held(std::make_shared<const Held>(Held{std::move(text), SpatialSystem()}))
    {
    }
    // A system read already (a text that is no system stays a text).
    explicit DeferredSystem(SpatialSystem read)
    {
        m_held = read.IsSystem() ? std::make_shared<const Held>(Held{std::string(), std::move(read)})
                                 : std::make_shared<const Held>(Held{read.Text(), SpatialSystem()});
    }

    const std::string& Text() const
    {
        static const std::string none;
        return !m_held ? none : m_held->read.IsSystem() ? m_held->read.Text() : m_held->text;
    }
    // The system's handle where it has been read, else null: never to be
    // read from two threads at once (a recent system is read, listed and
    // chosen on the UI thread).
    OGRSpatialReferenceH Handle() const { return m_held ? m_held->read.Handle() : nullptr; }
    // The system: as read, or read now.
    SpatialSystem Read() const
    {
        return m_held && m_held->read.IsSystem() ? m_held->read : SpatialSystem(Text());
    }

private:
    struct Held {
        std::string text; // while not read
        SpatialSystem read;
    };
    // Shared, never changed once made: the tens of thousands of database
    // systems hold none, at the cost of a pointer each.
    std::shared_ptr<const Held> m_held;
};
