#include "desktop/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

void install(const QString& name, const QString& folder) {
    auto* translator = new QTranslator(qApp);
    if (translator->load(name, folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

void loadTranslations(const QLocale& locale) {
    // Simplified Chinese is the one translation there is; zh_TW and zh_HK read it better than English.
    if (locale.language() != QLocale::Chinese)
        return;
    install(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    install(QStringLiteral("vimaro_zh_CN"), QStringLiteral(":/translations"));
}
