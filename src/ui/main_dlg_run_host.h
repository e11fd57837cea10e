#pragma once

// The window's side of a run: what the engine asks of the window. Private to
// the main window's files.
#include <QString>
#include <atomic>
#include <cstdint>
#include <string>

#include "run/run_engine.h"
#include "ui/main_dlg.h"

namespace quorvan {

// What a run asks of the window, answered on the window thread.
class CMainDlg::CWindowRunHost final : public IRunHost {
  public:
    explicit CWindowRunHost(CMainDlg& window) : window_(window) {}

    bool AskYesNo(const std::string& caption, const std::string& text) override;
    void ShowMessage(MessageKind kind, const std::string& caption,
                     const std::string& text) override;
    int32_t BuildFileList() override;
    IRunReporter& Reporter() override;
    bool ShowProgress(int32_t fileCount, std::atomic<uint8_t>& cancelRequested,
                      CCompletionEvent&) override;
    void ShowWait(CCompletionEvent& completion) override;
    void RefreshSourceList() override;

  private:
    CMainDlg& window_;
    bool runEnded_ = false;
    QString noFilesNote_;
};

}  // namespace quorvan
