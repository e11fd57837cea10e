// Makes folders of small tagged photos or songs for the metadata benchmark:
//   quorvan-make-media photos|songs DIR COUNT
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/media_files.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: %s photos|songs DIR COUNT\n", argv[0]);
        return 2;
    }
    const std::string kind = argv[1];
    const std::string dir = argv[2];
    const int count = std::atoi(argv[3]);
    char name[64];
    for (int i = 0; i < count; ++i) {
        if (kind == "photos") {
            // Two cameras, one trip: the dates are a second apart.
            int s = i % 60, m = (i / 60) % 60, h = (i / 3600) % 24, d = 1 + i / 86400;
            char date[32];
            snprintf(date, sizeof date, "2024:06:%02d %02d:%02d:%02d", d, h, m, s);
            snprintf(name, sizeof name, i % 2 ? "IMG_%05d.JPG" : "DSC_%05d.jpg", i);
            quorvan::test::WriteJpeg(dir + "/" + name, {date, "", i % 2 ? "Canon" : "NIKON",
                                                        i % 2 ? "EOS R6" : "Z 6", "", 100});
        } else {
            snprintf(name, sizeof name, "track%05d.mp3", i);
            quorvan::test::WriteSong(
                dir + "/" + name, quorvan::test::SongKind::Id3v24,
                {"Artist " + std::to_string(i % 97), "", "Album", "Title " + std::to_string(i),
                 "Pop", std::to_string(1 + i % 20), "", 2001});
        }
    }
    return 0;
}
