#include "platform/cdrom.h"

#include <fcntl.h>
#include <glob.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <climits>  // linux/cdrom.h needs it first in C++

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fstream>

#include "platform/file_system.h"

namespace quorvan {

namespace {

constexpr int kMaxTracks = 99;
// Minute 99, second 59, frame 74: the largest position MSF can express.
constexpr int32_t kMaxFrame = 99 * 4500 + 59 * 75 + 74;

// A table of contents of 99 tracks is a few kilobytes.
constexpr size_t kMaxTocSize = size_t{1} << 20;

bool ParseFrame(std::string_view word, int32_t& value) {
    if (word.empty()) {
        return false;
    }
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size() && value >= 0 &&
           value <= kMaxFrame;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
            ++i;
        }
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            ++i;
        }
        if (i > start) {
            words.push_back(line.substr(start, i - start));
        }
    }
    return words;
}

int32_t FromMsf(const cdrom_msf0& msf) {
    return (msf.minute * 60 + msf.second) * 75 + msf.frame;
}

int ReadDeviceTracks(const std::string& device, std::vector<CdTrackFacts>& tracks) {
    int fd = open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = 0;
    int status = ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
    if (status != CDS_DISC_OK) {
        error = status < 0 ? errno : ENOMEDIUM;
        close(fd);
        return error;
    }
    cdrom_tochdr header{};
    if (ioctl(fd, CDROMREADTOCHDR, &header) != 0) {
        error = errno;
        close(fd);
        return error;
    }
    std::vector<int32_t> starts;
    for (int t = header.cdth_trk0; t <= header.cdth_trk1 + 1 && error == 0; ++t) {
        cdrom_tocentry entry{};
        entry.cdte_track = t > header.cdth_trk1 ? CDROM_LEADOUT : t;
        entry.cdte_format = CDROM_MSF;
        if (ioctl(fd, CDROMREADTOCENTRY, &entry) != 0) {
            error = errno;
            break;
        }
        starts.push_back(FromMsf(entry.cdte_addr.msf));
        if (entry.cdte_track != CDROM_LEADOUT) {
            CdTrackFacts facts;
            facts.audio = (entry.cdte_ctrl & CDROM_DATA_TRACK) == 0;
            tracks.push_back(facts);
        }
    }
    close(fd);
    if (error != 0) {
        tracks.clear();
        return error;
    }
    for (size_t i = 0; i < tracks.size(); ++i) {
        tracks[i].start = starts[i];
        tracks[i].length = starts[i + 1] - starts[i];
    }
    if (!tracks.empty()) {
        --tracks.back().length;
    }
    return 0;
}

}  // namespace

bool ParseTocText(const std::string& text, std::vector<CdTrackFacts>& tracks) {
    tracks.clear();
    std::vector<CdTrackFacts> read;
    bool leadOutSeen = false;
    int32_t leadOut = 0;
    std::string_view rest(text);
    while (!rest.empty()) {
        size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        std::vector<std::string_view> words = Words(line);
        if (words.empty() || words[0][0] == '#') {
            continue;
        }
        if (leadOutSeen) {
            return false;  // nothing may follow the lead-out
        }
        CdTrackFacts facts;
        if (words[0] == "leadout") {
            if (words.size() != 2 || !ParseFrame(words[1], leadOut)) {
                return false;
            }
            leadOutSeen = true;
            continue;
        }
        if (words.size() > 2 || !ParseFrame(words[0], facts.start)) {
            return false;
        }
        if (words.size() == 2) {
            if (words[1] != "data") {
                return false;
            }
            facts.audio = false;
        }
        if (!read.empty() && facts.start <= read.back().start) {
            return false;
        }
        if (read.size() == kMaxTracks) {
            return false;
        }
        read.push_back(facts);
    }
    if (!leadOutSeen || read.empty() || leadOut <= read.back().start) {
        return false;
    }
    for (size_t i = 0; i < read.size(); ++i) {
        int32_t next = i + 1 < read.size() ? read[i + 1].start : leadOut;
        read[i].length = next - read[i].start;
    }
    --read.back().length;
    tracks = std::move(read);
    return true;
}

int ReadCdTracks(const std::string& drive, std::vector<CdTrackFacts>& tracks) {
    tracks.clear();
    struct stat st {};
    if (stat(drive.c_str(), &st) != 0) {
        return errno;
    }
    if (S_ISBLK(st.st_mode)) {
        return ReadDeviceTracks(drive, tracks);
    }
    if (!S_ISREG(st.st_mode)) {
        return ENOTBLK;
    }
    std::string text;
    if (int error = ReadSmallFile(drive, kMaxTocSize, text)) {
        return error;
    }
    return ParseTocText(text, tracks) ? 0 : EBADMSG;
}

std::vector<CdDrive> ListCdDrives() {
    std::vector<CdDrive> drives;
    std::ifstream info("/proc/sys/dev/cdrom/info");
    std::string line;
    while (std::getline(info, line)) {
        if (line.rfind("drive name:", 0) != 0) {
            continue;
        }
        for (std::string_view name : Words(std::string_view(line).substr(11))) {
            drives.push_back({"/dev/" + std::string(name)});
        }
    }
    if (drives.empty()) {
        glob_t found{};
        if (glob("/dev/sr[0-9]*", 0, nullptr, &found) == 0) {
            for (size_t i = 0; i < found.gl_pathc; ++i) {
                drives.push_back({found.gl_pathv[i]});
            }
        }
        globfree(&found);
    } else {
        // The kernel lists the newest drive first.
        std::reverse(drives.begin(), drives.end());
    }
    if (const char* toc = getenv("QUORVAN_CDROM_TOC"); toc != nullptr && *toc != '\0') {
        drives.push_back({toc});
    }
    return drives;
}

}  // namespace quorvan
