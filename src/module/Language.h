// The process-wide language setting and the rule that picks templates by it.
#pragma once

#include "OrvaneLanguageSet.h"

extern LanguageSet g_language;

// Template IDs of the resource library.
enum TemplateId : unsigned {
    IDD_CHOOSER_SIMPLIFIED = 135,
    IDD_EDITOR_SIMPLIFIED = 136,
    IDD_CHOOSER_ENGLISH = 137,
    IDD_EDITOR_ENGLISH = 138,
    IDD_CHOOSER_TRADITIONAL = 139,
    IDD_EDITOR_TRADITIONAL = 140,
};

// 0 and 1 are the two Chinese variants; every other value is English.
unsigned ChooserTemplateId(LanguageSet language = g_language);
unsigned EditorTemplateId(LanguageSet language = g_language);

// The locale of Qt's own translations for the dialogs' language: "zh_CN",
// "zh_TW", or empty for English (Qt's own texts).
const char* QtLocaleName(LanguageSet language = g_language);
