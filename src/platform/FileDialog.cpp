#include "platform/FileDialog.h"

#include "platform/Wnd.h"

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExtension, const char* fileName,
                         DWORD flags, const char* filter, CWnd* parent)
    : m_parent(parent)
{
    m_prompt.open = openFileDialog != FALSE;
    m_prompt.defaultExtension = defaultExtension ? defaultExtension : "";
    m_prompt.fileName = fileName ? fileName : "";
    m_prompt.flags = flags;
    m_prompt.filter = filter ? filter : "";
}

INT_PTR CFileDialog::DoModal()
{
    m_prompt.title = m_title;
    std::string path;
    QWidget* owner = m_parent ? m_parent->GetWidget() : nullptr;
    if (!ShowFilePrompt(owner, m_prompt, path))
        return IDCANCEL;
    m_path = path;
    return IDOK;
}
