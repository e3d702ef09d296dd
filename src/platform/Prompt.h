// Message boxes and file dialogs, all through one seam: real Qt dialogs by
// default, scripted answers when a test installs a handler.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Wnd.h"

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

// Answers prompts from a script and records every prompt shown. A message
// with no scripted answer gets its first button (IDOK, or IDYES); a file
// dialog with none is cancelled.
class ScriptedPrompts : public PromptHandler {
public:
    ScriptedPrompts();
    ~ScriptedPrompts() override;

    void AnswerMessage(int result) { m_messageAnswers.push_back(result); }
    void AnswerFile(const std::string& path) { m_fileAnswers.push_back(path); }
    void CancelFile() { m_fileAnswers.push_back(std::string()); }

    const std::vector<MessagePrompt>& Messages() const { return m_messages; }
    const std::vector<FilePrompt>& FileDialogs() const { return m_fileDialogs; }
    void Clear();

    int ShowMessage(QWidget* owner, const MessagePrompt& prompt) override;
    bool ShowFileDialog(QWidget* owner, const FilePrompt& prompt, std::string& path) override;

private:
    PromptHandler* m_previous;
    std::deque<int> m_messageAnswers;
    std::deque<std::string> m_fileAnswers;
    std::vector<MessagePrompt> m_messages;
    std::vector<FilePrompt> m_fileDialogs;
};

// The title the framework gives the library's own message boxes.
const char* ApplicationTitle();

int ShowMessagePrompt(QWidget* owner, const std::string& text, const std::string& caption,
                      UINT style);

// The framework's message box with the application title as caption.
int AfxMessageBox(const std::string& text, UINT type = MB_OK, UINT helpContext = 0);

// Qt's name filters for a filter in the Windows form.
std::vector<std::string> QtNameFilters(const std::string& windowsFilter);

class CFileDialog {
public:
    CFileDialog(BOOL openFileDialog, const char* defaultExtension = nullptr,
                const char* fileName = nullptr, DWORD flags = 0, const char* filter = nullptr,
                CWnd* parent = nullptr);

    std::string m_title;  // the dialog's title (m_ofn.lpstrTitle on Windows)

    INT_PTR DoModal();
    std::string GetPathName() const { return m_path; }

private:
    FilePrompt m_prompt;
    CWnd* m_parent;
    std::string m_path;
};
