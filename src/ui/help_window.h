#pragma once

#include <QDialog>

class QTextBrowser;

namespace quorvan {

// The user manual, opened on its contents page.
class CHelpWindow final : public QDialog {
    Q_OBJECT
  public:
    explicit CHelpWindow(QWidget* parent = nullptr);
    // Shows the contents page.
    void ShowContents();
    QTextBrowser* Browser() const { return browser_; }

    static QUrl ContentsUrl();

  private:
    QTextBrowser* browser_ = nullptr;
};

// Makes the pictures and the manual built into the program available.
void InitResources();

}  // namespace quorvan
