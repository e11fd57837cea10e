#pragma once

#include <string>
#include <vector>

#include "ui/qt_page.h"
#include "ui/source_list_model.h"

class QCheckBox;

namespace quorvan {

// The CD Audio page. It keeps the ticked source files in the order they were
// first ticked, which CD naming pairs with the disc's track titles.
class CCDDBSettingsDlg final : public CQtPage {
    Q_OBJECT
  public:
    explicit CCDDBSettingsDlg(QWidget* parent = nullptr);

    void ClearTrackFiles() { trackOrder_.Clear(); }
    void AddTrackFile(const std::string& path) { trackOrder_.Add(path); }
    void RemoveTrackFile(const std::string& path) { trackOrder_.Remove(path); }
    std::vector<std::string> TrackFiles() const { return trackOrder_.Paths(); }
    // "Rename CD Audio Files" is ticked.
    bool RenameCdAudio() const;

  private:
    CTrackOrder trackOrder_;
    QCheckBox* renameCdAudio_ = nullptr;
};

}  // namespace quorvan
