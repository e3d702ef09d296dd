// The Qt application that every dialog needs.
#pragma once

#include <memory>
#include <string>

class QApplication;
class QtTranslationScope;

// Gives the dialogs a QApplication for as long as it lives: the host's when
// it has one, else one of the library's own, made here and destroyed here.
//
// Why scoped: an application made on first use and kept in a static would be
// destroyed by exit()'s handlers, after Qt's plugins and statics are gone,
// and crash the host at its very end (losing what it had not flushed yet).
// Made and destroyed around each modal dialog, it lives only while Qt is
// whole, whatever kind of program loaded the library. Scopes nest: an inner
// one (a message box, the editor over the chooser) uses the outer's.
//
// Qt sets the C locale from the environment when it makes an application;
// the host's locale is put back at once, so that the host's own formatting
// of numbers never changes under it.
//
// While the outermost scope lives, Qt's own texts are in the language of
// the library's dialogs (see QtTranslationScope).
class ApplicationScope {
public:
    ApplicationScope();
    ~ApplicationScope();
    ApplicationScope(const ApplicationScope&) = delete;
    ApplicationScope& operator=(const ApplicationScope&) = delete;

    // False when there is none: the host runs only a non-widget Qt
    // application, or no display can be had (Qt would abort the process).
    bool Ready() const { return m_ready; }

private:
    bool m_ready = false;
    std::unique_ptr<QApplication> m_own;
    std::unique_ptr<QtTranslationScope> m_translations;  // goes before the application
};

// True when a widget application exists (the host's or a scope's).
bool HaveWidgetApplication();

// Lets the windows repaint while the caller waits for something else; user
// input waits, so that no handler runs inside another.
void PumpEvents();
