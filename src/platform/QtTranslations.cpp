#include "platform/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

int g_depth = 0;

}  // namespace

QtTranslationScope::QtTranslationScope(const std::string& locale)
{
    if (g_depth++ > 0 || locale.empty() || !QCoreApplication::instance())
        return;
    // Debian's qt6-translations-l10n puts them here; without it Qt's texts
    // stay English and nothing else changes.
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QStringLiteral("qtbase_") + QString::fromStdString(locale), folder) &&
        QCoreApplication::installTranslator(translator.get()))
        m_installed.push_back(std::move(translator));
}

QtTranslationScope::~QtTranslationScope()
{
    --g_depth;
    for (const auto& translator : m_installed)
        QCoreApplication::removeTranslator(translator.get());
}
