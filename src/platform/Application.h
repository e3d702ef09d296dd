// The Qt application that every dialog needs.
#pragma once

#include <memory>
#include <string>

class QApplication;
class QWidget;
class QtTranslationScope;

// Gives the dialogs a QApplication: the host's when it has one, else the
// library's own, made on the first dialog and kept for the process's life.
//
// Why for life: destroying an application closes Qt's connection to the
// display, and an X server left without clients resets and refuses the next
// connection for a moment; the next dialog's application, made then, made
// Qt end the process. Why never destroyed at exit: exit()'s handlers would
// destroy it after Qt's plugins and statics are gone and crash the host at
// its very end; the process's end takes it whole instead. It is let go only
// when it cannot serve: Qt's own connection failed where the check's had not
// (Qt then falls back on a platform without a display instead of ending the
// process, and the dialog fails with the reason), or the X server dropped
// its connection since the last dialog (Qt would end the process at the
// next event); the next dialog makes another.
//
// Before the library makes its application, it checks that a platform can
// be had (see DisplayCheck); when none can, Ready() is false and the reason
// is told on standard error, as Qt would have told it before aborting.
//
// Qt sets the C locale from the environment when it makes an application;
// the host's locale is put back at once, so that the host's own formatting
// of numbers never changes under it.
//
// While the outermost scope lives, Qt's own texts are in the language of
// the library's dialogs (see QtTranslationScope). Scopes nest: an inner one
// (a message box, the editor over the chooser) uses the outer's.
class ApplicationScope
{
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
    bool m_outermost = false;
    std::unique_ptr<QtTranslationScope> m_translations;
};

// Why no dialog can be shown in this process; empty when one can (the
// host's application, the library's, or a platform that can be reached).
std::string WhyNoDialogs();
// Why the last dialog was not shown for want of a display (the check's
// reason, or Qt's own connection failing where the check's had not); empty
// when it was shown.
std::string WhyTheLastDialogFailed();

// True when a widget application exists (the host's or a scope's).
bool HaveWidgetApplication();

// Why a dialog cannot be shown from the calling thread although a display
// may be had: the program's Qt application has no widgets (`noDialogs` set),
// or belongs to another thread (a dialog shown here would never see an
// event). Empty when nothing stands in the way here.
std::string WhyNoDialogsFromHere(bool& noDialogs);

// Makes the library's own application now, when the program has none and a
// display can be had; true when dialogs can then be shown. A host that
// will call the library from several threads makes it first, from the
// thread its dialogs are to be shown from: making it may fork (D-Bus
// starting a session bus), and a fork while another thread holds a lock
// leaves the child waiting on it for ever.
bool PrepareApplication();

// The widget at `address` when it is a live widget of this process's
// application; else null (a host's stale or foreign pointer is never used).
QWidget* LiveWidgetAt(const void* address);

// Lets the windows repaint while the caller waits for something else; user
// input waits, so that no handler runs inside another.
void PumpEvents();
