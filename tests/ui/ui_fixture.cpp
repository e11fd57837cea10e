#include "ui_fixture.h"

#include <QDialog>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

namespace quorvan::test {

QMessageBox::StandardButton CScriptedDialogs::Message(QWidget*, QMessageBox::Icon icon,
                                                      const QString& caption, const QString& text,
                                                      QMessageBox::StandardButtons buttons,
                                                      const QString& details) {
    shown.push_back({icon, caption, text, details});
    if (!answers.empty()) {
        const QMessageBox::StandardButton answer = answers.front();
        answers.pop_front();
        return answer;
    }
    for (int bit = 0; bit < 32; ++bit) {
        const auto button = static_cast<QMessageBox::StandardButton>(1u << bit);
        if (buttons.testFlag(button)) {
            return button;
        }
    }
    return QMessageBox::NoButton;
}

std::vector<std::string> CScriptedDialogs::Texts() const {
    std::vector<std::string> texts;
    for (const Shown& message : shown) {
        texts.push_back(message.text.toStdString());
    }
    return texts;
}

QString CScriptedDialogs::NextChoice() {
    if (choices.empty()) {
        return {};
    }
    QString choice = choices.front();
    choices.pop_front();
    return choice;
}

QString CScriptedDialogs::ChooseFolder(QWidget*, const QString& title, const QString& startFolder) {
    chooserTitles.push_back(title);
    chooserStarts.push_back(startFolder);
    return NextChoice();
}

int CScriptedDialogs::Exec(QDialog& dialog) {
    dialogTitles.push_back(dialog.windowTitle());
    return onDialog ? onDialog(dialog) : QDialog::Rejected;
}

QString CScriptedDialogs::ChooseOpenFile(QWidget*, const QString&, const QString&) {
    return NextChoice();
}

QString CScriptedDialogs::ChooseSaveFile(QWidget*, const QString&, const QString&) {
    return NextChoice();
}

WindowFixture::WindowFixture(const std::string& folder)
    : window_(std::make_unique<CMainDlg>(rules, filter)) {
    window_->SetInitialFolder(folder);
    window_->Initialise();
}

WindowFixture::WindowFixture(const StartPaths& start)
    : window_(std::make_unique<CMainDlg>(rules, filter)) {
    window_->SetInitialPaths(start.paths);
    window_->Initialise();
}

WindowFixture::WindowFixture(TestDir& dir, const std::vector<std::string>& files)
    : window_(std::make_unique<CMainDlg>(rules, filter)) {
    dir.CreateFiles(files);
    window_->SetInitialFolder(dir.Path());
    window_->Initialise();
}

WindowFixture::WindowFixture(const std::string& folder,
                             const std::function<void(WindowFixture&)>& beforeOpening) {
    beforeOpening(*this);
    window_ = std::make_unique<CMainDlg>(rules, filter);
    window_->SetInitialFolder(folder);
    window_->Initialise();
}

std::vector<std::string> WindowFixture::SourceRows() const {
    std::vector<std::string> rows;
    for (int i = 0; i < window_->SourceModel().Count(); ++i) {
        rows.push_back(window_->SourceModel().Path(i));
    }
    return rows;
}

std::vector<std::string> WindowFixture::PreviewRows() const {
    std::vector<std::string> rows;
    for (int i = 0; i < window_->PreviewModel().Count(); ++i) {
        rows.push_back(window_->PreviewModel().Name(i));
    }
    return rows;
}

std::vector<bool> WindowFixture::Ticks() const {
    std::vector<bool> ticks;
    for (int i = 0; i < window_->SourceModel().Count(); ++i) {
        ticks.push_back(window_->SourceModel().IsTicked(i));
    }
    return ticks;
}

void WindowFixture::ClickRow(int row) {
    CSourceListModel& model = window_->SourceModel();
    const QModelIndex index = model.index(row);
    const bool ticked = model.IsTicked(row);
    // The view's check-box click ends in setData with the new state.
    model.setData(index, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

void WindowFixture::Click(WindowButton which) {
    window_->Button(which)->click();
}

Strings Numbered(const std::string& stem, int count, const std::string& extension) {
    Strings names;
    for (int i = 0; i < count; ++i) {
        names.push_back(stem + std::to_string(i) + extension);
    }
    return names;
}

void UsePrefix(CMainDlg& window, const std::string& prefix) {
    Click(window.RenamePage(), "addPrefixCheckBox");
    SetText(window.RenamePage(), "prefixLineEdit", prefix);
}

void ShowAndWait(QWidget& widget, bool active) {
    widget.show();
    if (active) {
        widget.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&widget));
    } else {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    }
}

DragResult Drag(QWidget& window, const QList<QUrl>& urls, Qt::DropActions offered) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    return {enter.isAccepted(), enter.dropAction()};
}

DragResult Drop(QWidget& window, const QList<QUrl>& urls, Qt::DropActions offered) {
    QMimeData data;
    data.setUrls(urls);
    QDropEvent drop(QPointF(10, 10), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
    QCoreApplication::processEvents();
    return {drop.isAccepted(), drop.dropAction()};
}

QUrl FileUrl(const std::string& path) {
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
}

QPalette DarkPalette() {
    QPalette dark;
    const QColor window(53, 53, 53);
    const QColor text(230, 230, 230);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, QColor(25, 25, 25));
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::Link, QColor(42, 130, 218));
    dark.setColor(QPalette::Mid, QColor(80, 80, 80));
    // Left-out rows are dimmed with it.
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(85, 85, 85));
    return dark;
}

EnvScope::EnvScope(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
        saved_ = old;
    }
    if (value) {
        setenv(name, value->c_str(), 1);
    } else {
        unsetenv(name);
    }
}

EnvScope::~EnvScope() {
    if (saved_) {
        setenv(name_, saved_->c_str(), 1);
    } else {
        unsetenv(name_);
    }
}

}  // namespace quorvan::test
