// Message boxes and file dialogs, all through one seam: real Qt dialogs by
// default, scripted answers when a test installs a handler.
#pragma once

#include <string>
#include <vector>

#include "platform/WinTypes.h"

class QWidget;

struct MessagePrompt {
    std::string text;
    std::string caption;
    UINT style = MB_OK;
};

struct FilePrompt {
    bool open = true;
    std::string title;
    std::string filter;  // Windows form: "Desc|*.a;*.b|...||"
    std::string defaultExtension;
    std::string fileName;
    DWORD flags = 0;
};

class PromptHandler {
public:
    virtual ~PromptHandler() = default;
    // Returns IDOK, IDYES, IDNO or IDCANCEL.
    virtual int ShowMessage(QWidget* owner, const MessagePrompt& prompt) = 0;
    // True when the user confirmed a file, whose full path is then in `path`.
    virtual bool ShowFileDialog(QWidget* owner, const FilePrompt& prompt, std::string& path) = 0;
};

// Installs `handler` (null: the real dialogs again); returns the previous one.
PromptHandler* SetPromptHandler(PromptHandler* handler);

// The title the framework gives the library's own message boxes.
const char* ApplicationTitle();

int ShowMessagePrompt(QWidget* owner, const std::string& text, const std::string& caption,
                      UINT style);
// True when the user confirmed a file, whose full path is then in `path`.
bool ShowFilePrompt(QWidget* owner, const FilePrompt& prompt, std::string& path);

// The framework's message box with the application title as caption.
int AfxMessageBox(const std::string& text, UINT type = MB_OK, UINT helpContext = 0);

// Qt's name filters for a filter in the Windows form.
std::vector<std::string> QtNameFilters(const std::string& windowsFilter);
