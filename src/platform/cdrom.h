#pragma once

#include <string>
#include <vector>

namespace quorvan {

// One track as the drive reports it, in frames (75 a second).
struct CdTrackFacts {
    int32_t start = 0;   // absolute start, 150 for a first track at 0:02:00
    int32_t length = 0;  // frames up to the next track's start; for the last
                         // track one frame short of the lead-out
    bool audio = true;
};

// A drive of the "CD Drive:" list: a CD-ROM device such as /dev/sr0, or a
// table-of-contents file named by QUORVAN_CDROM_TOC.
struct CdDrive {
    std::string path;
};

// The CD-ROM devices the kernel lists (/proc/sys/dev/cdrom/info, else
// /dev/sr*), in order, then the file named by QUORVAN_CDROM_TOC when set.
std::vector<CdDrive> ListCdDrives();

// Reads the tracks of the disc in `drive`: a block device through the CD-ROM
// ioctls, a regular file as a table-of-contents text. Returns 0 or an errno
// value (ENOMEDIUM without a disc, EBADMSG for a malformed file).
int ReadCdTracks(const std::string& drive, std::vector<CdTrackFacts>& tracks);

// A table-of-contents text: one line per track in disc order holding the
// track's absolute start frame, optionally followed by "data"; then a line
// "leadout" with the lead-out's absolute frame. Blank lines and lines starting
// with "#" are ignored. False when the text is not of that form or the starts
// do not ascend.
bool ParseTocText(const std::string& text, std::vector<CdTrackFacts>& tracks);

}  // namespace quorvan
