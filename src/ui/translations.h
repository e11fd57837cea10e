#pragma once

#include <QString>
#include <QStringList>

namespace quorvan {

// The languages the desktop asks for, most wanted first, as gettext reads
// them: every entry of LANGUAGE, then the first of LC_ALL, LC_MESSAGES and
// LANG that is set ("de_DE.UTF-8@euro" gives "de_DE"). "C" and "POSIX" ask
// for none.
QStringList DesktopLanguages();

// Installs the window's translation for the first language that has one, and
// Qt's own for the same language where it is installed. English, the
// language the texts are written in, ends the search. Returns the language
// installed, empty for English. A second call replaces the first.
QString InstallTranslations(const QStringList& languages);

// Takes the installed translations out again: every text is English.
void RemoveTranslations();

// Where the program looks for quorvan_LANG.qm: share/quorvan/translations
// beside the installed program, translations/ beside a build's bin/.
QStringList TranslationFolders();

}  // namespace quorvan
