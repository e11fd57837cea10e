#pragma once

#include <QDialog>
#include <QLabel>
#include <QUrl>
#include <cstdint>

class QPushButton;

namespace quorvan {

// The maker's addresses shown in the About box and on the start-up screen.
namespace links {
inline constexpr const char* kWebSite = "https://www.example.com/quorvan/";
inline constexpr const char* kWebSiteText = "www.example.com/quorvan";
inline constexpr const char* kMail = "mailto:quorvan@example.com";
inline constexpr const char* kDownloads = "https://www.example.com/downloads/";
}  // namespace links

// A text that opens an address when clicked: underlined, coloured, with the
// hand pointer over it. The colour is made lighter or darker where the
// palette's background would make it hard to read.
class CLinkLabel final : public QLabel {
    Q_OBJECT
  public:
    CLinkLabel(const QString& text, const QUrl& target, const QColor& colour,
               QWidget* parent = nullptr);
    const QUrl& Target() const { return target_; }

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void ApplyColour();

    QUrl target_;
    QColor colour_;
    bool applyingColour_ = false;
};

// The product, its version, the three usage counters and the maker's links:
// the start-up screen before the main window, and the About box.
class CProductInfoDlg : public QDialog {
    Q_OBJECT
  public:
    enum class Kind { StartupScreen, AboutBox };

    CProductInfoDlg(Kind kind, QWidget* parent = nullptr);
    void SetCounters(int32_t startCount, int32_t timesUsed, int32_t filesProcessed);

    QString CounterText(int row) const;
    QLabel* CounterField(int row) const { return counters_[row]; }
    CLinkLabel* Link(int row) const { return links_[row]; }
    QPushButton* OkButton() const { return ok_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // The banner at `bannerHeight` (its own height at most), sharp on the
    // screen.
    void ShowBanner(int bannerHeight);

    QLabel* logo_ = nullptr;
    QLabel* counters_[3] = {};
    CLinkLabel* links_[3] = {};
    QPushButton* ok_ = nullptr;
};

// "About Quorvan".
class CAboutDlg final : public CProductInfoDlg {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* parent = nullptr) : CProductInfoDlg(Kind::AboutBox, parent) {}
};

}  // namespace quorvan
