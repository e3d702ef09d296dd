// Answers the library's prompts in tests (and fuzzers) instead of a user.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Prompt.h"

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
    // Drops the answers no prompt has taken yet.
    void ClearAnswers()
    {
        m_messageAnswers.clear();
        m_fileAnswers.clear();
    }

    int ShowMessage(QWidget* owner, const MessagePrompt& prompt) override;
    bool ShowFileDialog(QWidget* owner, const FilePrompt& prompt, std::string& path) override;

private:
    PromptHandler* m_previous;
    std::deque<int> m_messageAnswers;
    std::deque<std::string> m_fileAnswers;
    std::vector<MessagePrompt> m_messages;
    std::vector<FilePrompt> m_fileDialogs;
};
