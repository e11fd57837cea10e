#pragma once

#include <QDialog>
#include <vector>

#include "cdaudio/musicbrainz_reply.h"

class QTreeWidget;

namespace quorvan {

// "Choose a release": the releases that hold the disc, one row each (artist,
// title, year, country, format); OK takes the selected one.
class CReleaseChoiceDlg final : public QDialog {
    Q_OBJECT
  public:
    CReleaseChoiceDlg(const std::vector<MusicBrainzRelease>& releases, QWidget* parent = nullptr);

    // The row chosen, -1 for none.
    int Chosen() const;
    QTreeWidget* View() const { return view_; }

  private:
    QTreeWidget* view_ = nullptr;
};

}  // namespace quorvan
