// The framework's file dialog, shown through the prompts' seam.
#pragma once

#include <string>

#include "platform/Prompt.h"

class CWnd;

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
