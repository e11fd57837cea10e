#include "ui/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>
#include <vector>

namespace quorvan {
namespace {

std::vector<std::unique_ptr<QTranslator>>& Installed() {
    static std::vector<std::unique_ptr<QTranslator>> installed;
    return installed;
}

// "de_DE.UTF-8@euro" -> "de_DE"; empty for the C locale.
QString LanguageOf(QString locale) {
    locale = locale.section(QLatin1Char('@'), 0, 0).section(QLatin1Char('.'), 0, 0).trimmed();
    if (locale == QLatin1String("C") || locale == QLatin1String("POSIX")) {
        return {};
    }
    return locale;
}

}  // namespace

QStringList DesktopLanguages() {
    QStringList languages;
    const QString list = qEnvironmentVariable("LANGUAGE");
    for (const QString& entry : list.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (const QString language = LanguageOf(entry); !language.isEmpty()) {
            languages << language;
        }
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty()) {
            if (const QString language = LanguageOf(value); !language.isEmpty()) {
                languages << language;
            }
            break;
        }
    }
    return languages;
}

QStringList TranslationFolders() {
    const QString program = QCoreApplication::applicationDirPath();
    return {QDir::cleanPath(program + QLatin1String("/../share/quorvan/translations")),
            QDir::cleanPath(program + QLatin1String("/../translations"))};
}

QString InstallTranslations(const QStringList& languages) {
    RemoveTranslations();
    for (const QString& language : languages) {
        if (language == QLatin1String("en") || language.startsWith(QLatin1String("en_"))) {
            return {};
        }
        auto own = std::make_unique<QTranslator>();
        bool found = false;
        for (const QString& folder : TranslationFolders()) {
            // "quorvan_de_DE" falls back to "quorvan_de".
            if (own->load(QLatin1String("quorvan_") + language, folder)) {
                found = true;
                break;
            }
        }
        if (!found) {
            continue;
        }
        QCoreApplication::installTranslator(own.get());
        Installed().push_back(std::move(own));
        // Qt's own texts (Yes, No, Cancel, the file dialog), where installed.
        auto qt = std::make_unique<QTranslator>();
        if (qt->load(QLatin1String("qtbase_") + language,
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qt.get());
            Installed().push_back(std::move(qt));
        }
        return language.section(QLatin1Char('_'), 0, 0);
    }
    return {};
}

void RemoveTranslations() {
    for (const auto& translator : Installed()) {
        QCoreApplication::removeTranslator(translator.get());
    }
    Installed().clear();
}

}  // namespace quorvan
