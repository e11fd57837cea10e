#include "ui/metadata_progress.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <thread>

#include "rules/template_names.h"
#include "ui/user_dialogs.h"

namespace quorvan {

namespace {

// lupdate, told that Tr spells tr, files these texts under the namespace.
QString Tr(const char* text) {
    return QCoreApplication::translate("quorvan", text);
}

}  // namespace

bool ReadTemplateMetadata(QWidget* parent, const CRenameRules& rules) {
    const RenameSettings& settings = rules.Settings();
    if (!settings.More.UseTemplate) {
        return true;
    }
    std::string error = NameTemplateError(settings);
    if (!error.empty()) {
        Dialogs().Message(parent, QMessageBox::Warning, Tr("Error..."),
                          QString::fromStdString(error), QMessageBox::Ok);
        return false;
    }
    NameTemplate parsed;
    size_t offset = 0;
    ParseNameTemplate(settings.More.Template, parsed, error, offset);
    if (parsed.needs == kNeedNone) {
        return true;
    }
    std::vector<std::string> paths;
    paths.reserve(rules.PlanEntries().size());
    for (const auto& entry : rules.PlanEntries()) {
        paths.push_back(entry.first);
    }

    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    std::atomic<size_t> done{0};
    std::thread reader([&] {
        ReadAllMetadata(paths, parsed.needs, ProgramMetadataCache(), &cancel,
                        [&](size_t count) { done.store(count, std::memory_order_relaxed); });
        finished.store(true);
    });

    // A short reading shows no dialog at all.
    QProgressDialog progress(Tr("Reading dates and tags from the files..."), Tr("Cancel"), 0,
                             static_cast<int>(paths.size()), parent);
    progress.setWindowTitle(Tr("Preview"));
    progress.setMinimumDuration(400);
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoReset(false);
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        progress.setValue(static_cast<int>(done.load(std::memory_order_relaxed)));
        if (progress.wasCanceled()) {
            cancel.store(true);
        }
        if (finished.load()) {
            loop.quit();
        }
    });
    tick.start(30);
    loop.exec();
    reader.join();
    return !cancel.load();
}

}  // namespace quorvan
