// Qt's own texts (the buttons of file dialogs and message boxes, context
// menus) in the language of the library's dialogs.
#pragma once

#include <memory>
#include <string>
#include <vector>

class QTranslator;

// Installs Qt's translation for `locale` ("zh_CN", "zh_TW"; empty: none,
// Qt's texts stay English) for as long as it lives. Installed over the
// host's translators and removed after, so that a host with a language of
// its own has it back. Scopes nest: the outermost installs, the inner ones
// use it.
class QtTranslationScope {
public:
    explicit QtTranslationScope(const std::string& locale);
    ~QtTranslationScope();
    QtTranslationScope(const QtTranslationScope&) = delete;
    QtTranslationScope& operator=(const QtTranslationScope&) = delete;

private:
    std::vector<std::unique_ptr<QTranslator>> m_installed;
};
