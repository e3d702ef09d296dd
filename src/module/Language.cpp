#include "module/Language.h"

LanguageSet g_language = LANGUAGE_SIMPLIFIED_CHINESE;

unsigned ChooserTemplateId(LanguageSet language)
{
    switch (static_cast<int>(language)) {
    case 0: return IDD_CHOOSER_SIMPLIFIED;
    case 1: return IDD_CHOOSER_TRADITIONAL;
    default: return IDD_CHOOSER_ENGLISH;
    }
}

unsigned EditorTemplateId(LanguageSet language)
{
    switch (static_cast<int>(language)) {
    case 0: return IDD_EDITOR_SIMPLIFIED;
    case 1: return IDD_EDITOR_TRADITIONAL;
    default: return IDD_EDITOR_ENGLISH;
    }
}

const char* QtLocaleName(LanguageSet language)
{
    switch (static_cast<int>(language)) {
    case 0: return "zh_CN";
    case 1: return "zh_TW";
    default: return "";
    }
}
