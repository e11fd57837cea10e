// The window in the desktop's language: German and French where asked for,
// English otherwise, with every button's mnemonic still its own.
#include "ui/translations.h"

#include <QKeySequence>
#include <cstdlib>
#include <map>

#include "cdaudio/get_names.h"
#include "history/run_history.h"
#include "ui/core_texts.h"
#include "ui/path_label.h"
#include "ui_fixture.h"

namespace quorvan::test {
namespace {

using Environment = std::map<std::string, std::string>;

// Sets the locale variables for one test and puts them back after it.
class LocaleScope {
  public:
    explicit LocaleScope(const Environment& values) {
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
            const auto it = values.find(name);
            scopes_.push_back(std::make_unique<EnvScope>(
                name, it == values.end() ? std::nullopt : std::optional(it->second)));
        }
    }
    ~LocaleScope() { RemoveTranslations(); }

  private:
    std::vector<std::unique_ptr<EnvScope>> scopes_;
};

TEST(Translations, TheDesktopsLanguageIsLoadedWithEnglishAsTheFallback) {
    struct Case {
        Environment environment;
        QStringList languages;
        QString installed;
    };
    const std::vector<Case> cases = {
        {{{"LANGUAGE", "de"}}, {"de"}, "de"},
        {{{"LANG", "fr_FR.UTF-8"}}, {"fr_FR"}, "fr"},
        {{{"LANG", "de_AT.UTF-8@euro"}, {"LC_MESSAGES", "fr_CA.UTF-8"}}, {"fr_CA"}, "fr"},
        {{{"LC_ALL", "C"}, {"LANG", "de_DE.UTF-8"}}, {}, ""},
        {{{"LANGUAGE", "pt_BR:fr:de"}, {"LANG", "C.UTF-8"}}, {"pt_BR", "fr", "de"}, "fr"},
        {{{"LANGUAGE", "en_GB:de"}}, {"en_GB", "de"}, ""},
        {{{"LANG", "ja_JP.UTF-8"}}, {"ja_JP"}, ""},
        {{}, {}, ""},
    };
    for (const Case& c : cases) {
        LocaleScope scope(c.environment);
        const QStringList languages = DesktopLanguages();
        EXPECT_EQ(languages, c.languages) << languages.join(':').toStdString();
        EXPECT_EQ(InstallTranslations(languages), c.installed) << languages.join(':').toStdString();
    }
}

TEST(Translations, WithLanguageDeTheWindowsButtonsAndTheRenamePageSpeakGerman) {
    LocaleScope scope(Environment{{"LANGUAGE", "de"}});
    ASSERT_EQ(InstallTranslations(DesktopLanguages()), "de");
    WindowFixture f;
    CMainDlg& w = f.Window();
    EXPECT_EQ(w.Button(kStart)->text(), "&Starten");
    EXPECT_EQ(w.SelectionLabel(), "(0 von 0 Dateien ausgewählt)");
    CRenameSettingsDlg* rename = w.RenamePage();
    EXPECT_EQ(Text(rename, "addPrefixCheckBox"), "Präfix:");
    EXPECT_EQ(On<QAbstractButton>(rename, "addPrefixCheckBox")->toolTip(),
              "Gibt das Präfix an, das vor die Dateinamen gesetzt wird");
    // The core's fixed messages too; any other text comes through as it is.
    EXPECT_EQ(CoreText(CRunEngine::kCompleteText), "Umbenennen abgeschlossen.");
    EXPECT_EQ(CoreText("Rename process complete. 2 files failed."),
              "Rename process complete. 2 files failed.");
}

TEST(Translations, EveryFixedTextOfTheCoreIsTranslatedWhereTheWindowShowsIt) {
    std::vector<const char*> fixed = {CRunEngine::kNoFilesText,
                                      CRunEngine::kCompleteText,
                                      CRunEngine::kAbortedText,
                                      CRunEngine::kBusyText,
                                      CRunEngine::kLockedText,
                                      CRunEngine::kThreadFailedText,
                                      CRunEngine::kIssueCaption,
                                      CRunEngine::kCreateFolderCaption,
                                      CRunEngine::kCreateFolderText,
                                      kErrorCaption,
                                      kCdInfoError,
                                      kNoDriveSelected};
    for (RunState state :
         {RunState::Complete, RunState::Cancelled, RunState::Aborted, RunState::Interrupted,
          RunState::Running, RunState::Undone, RunState::PartlyUndone, RunState::Kept}) {
        fixed.push_back(RunStateName(state));
    }
    LocaleScope scope(Environment{{"LANGUAGE", "fr"}});
    ASSERT_EQ(InstallTranslations(DesktopLanguages()), "fr");
    for (const char* text : fixed) {
        EXPECT_NE(CoreText(text), QString::fromUtf8(text)) << text;
    }
}

// On every tab at the smallest window size, in every language: each label
// and button shows its text whole (longer texts widen the window), and each
// button in view has a mnemonic of its own. Only the pairs the window
// resolves (the page's button wins while its page shows) may share one.
TEST(Translations, EveryTabShowsItsTextsWholeWithAMnemonicPerButton) {
    for (const char* language : {"en", "de", "fr"}) {
        LocaleScope scope(Environment{{"LANGUAGE", language}});
        InstallTranslations(DesktopLanguages());
        WindowFixture f;
        CMainDlg& w = f.Window();
        const std::set<std::pair<QWidget*, QWidget*>> shared = {
            {w.Button(CMainDlg::kDeselectAll), w.CdAudioPage()->MoveDownButton()},
            {w.Button(kBrowse), On<QAbstractButton>(w.ExtendedPage(), "destinationBrowseButton")},
        };
        w.show();
        w.resize(w.minimumSize());
        for (int tab = 0; tab < w.Tabs()->count(); ++tab) {
            w.Tabs()->setCurrentIndex(tab);
            QApplication::processEvents();
            std::map<int, QWidget*> owners;
            for (QWidget* widget : w.findChildren<QWidget*>()) {
                auto* label = qobject_cast<QLabel*>(widget);
                auto* button = qobject_cast<QAbstractButton*>(widget);
                if ((label == nullptr && button == nullptr) || !widget->isVisible() ||
                    qobject_cast<CPathLabel*>(widget) != nullptr ||
                    (label != nullptr && (label->wordWrap() || label->text().isEmpty()))) {
                    continue;
                }
                const std::string text = (label ? label->text() : button->text()).toStdString();
                EXPECT_GE(widget->width(), widget->sizeHint().width()) << language << ": " << text;
                EXPECT_GE(widget->height(), widget->sizeHint().height())
                    << language << ": " << text;
                // A label's mnemonic moves to its buddy, a button's presses it.
                const bool hasMnemonic = button || (label && label->buddy());
                const QKeySequence key = QKeySequence::mnemonic(hasMnemonic ? text.c_str() : "");
                if (!key.isEmpty()) {
                    const auto [it, added] = owners.emplace(key[0].toCombined(), widget);
                    EXPECT_TRUE(added || shared.count({it->second, widget}) ||
                                shared.count({widget, it->second}))
                        << language << ": " << text << " and "
                        << it->second->objectName().toStdString();
                }
            }
        }
    }
}

}  // namespace
}  // namespace quorvan::test
