#include "support/ScriptedPrompts.h"

ScriptedPrompts::ScriptedPrompts() : m_previous(SetPromptHandler(this)) {}

ScriptedPrompts::~ScriptedPrompts()
{
    SetPromptHandler(m_previous);
}

void ScriptedPrompts::Clear()
{
    m_messages.clear();
    m_fileDialogs.clear();
}

int ScriptedPrompts::ShowMessage(QWidget*, const MessagePrompt& prompt)
{
    m_messages.push_back(prompt);
    if (!m_messageAnswers.empty()) {
        int answer = m_messageAnswers.front();
        m_messageAnswers.pop_front();
        return answer;
    }
    return (prompt.style & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

bool ScriptedPrompts::ShowFileDialog(QWidget*, const FilePrompt& prompt, std::string& path)
{
    m_fileDialogs.push_back(prompt);
    if (m_fileAnswers.empty())
        return false;
    path = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    return !path.empty();
}
