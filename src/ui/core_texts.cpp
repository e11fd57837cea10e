#include "ui/core_texts.h"

#include <QCoreApplication>

#include "ui/qt_text.h"

namespace quorvan {
namespace {

constexpr const char* kContext = "quorvan::CoreTexts";

// The core's fixed texts, as the core spells them, for lupdate to find; a
// test holds them against the core's own constants.
[[maybe_unused]] constexpr const char* kFixedTexts[] = {
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "Info..."),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "Error..."),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "Issue..."),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "Create folder?"),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts",
                      "The destination folder for the rename does not exist.\n"
                      "Do you wish to create this folder?"),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "There are no files to process."),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "Rename process complete."),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "Rename process aborted."),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "Unable to create processing thread."),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts",
                      "The previous rename process is still finishing. Please try again in a "
                      "moment."),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts",
                      "Another rename run is working in this folder. Try again when it has "
                      "finished."),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "Unable to get this CD's information."),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "No CD drive is selected."),
    // How a run stands, in the history.
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "complete"),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "cancelled"),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "aborted"),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "interrupted"),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "running"),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "undone"),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "partly undone"),
    QT_TRANSLATE_NOOP("quorvan::CoreTexts", "kept"),
};

}  // namespace

QString CoreText(const std::string& text) {
    const QString translated = QCoreApplication::translate(kContext, text.c_str());
    // No translation: the text as the window shows any other, invalid bytes
    // and all.
    return translated == QString::fromUtf8(text) ? ToQt(text) : translated;
}

}  // namespace quorvan
