#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quorvan {

// Attribute bits of the attribute byte.
constexpr uint8_t kAttrReadOnly = 0x01;
constexpr uint8_t kAttrHidden = 0x02;
constexpr uint8_t kAttrSystem = 0x04;
constexpr uint8_t kAttrArchive = 0x20;

// What the file-status query gives: the attribute byte and three times as
// seconds since the epoch (whole seconds).
struct FileStatus {
    uint8_t attributes = 0;
    int64_t creationTime = 0;
    int64_t modificationTime = 0;
    int64_t lastAccessTime = 0;
};

// Which parts of FileStatus a caller needs; the query skips the others.
enum FileStatusParts : unsigned {
    kStatusExists = 0,
    kStatusAttributes = 1,
    kStatusTimes = 2,
    kStatusAll = 3,
};

// The file-status query. False when no entry has this path (or it cannot be
// reached). Follows symbolic links unless `followLinks` is false, when a link
// gives its own mode and times. The attribute byte comes from the
// "user.DOSATTRIB" extended attribute when there is one, else read-only means
// the owner has no write permission; a name beginning with "." reads as hidden.
// A zero or missing creation time and a zero last-access time read as the
// modification time; times before 1900 read as 0.
bool GetFileStatus(const std::string& path, FileStatus& status, unsigned parts = kStatusAll,
                   bool followLinks = true);

// True when a directory entry of any kind (a dangling link too) has this path.
bool EntryExists(const std::string& path);

// mkdir with mode 0777 (the umask applies). True when it was created.
bool MakeFolder(const std::string& path);

// Creates every missing level of `folder`, owner-only (0700) for what is
// new, as a per-user state folder must be. 0, or an errno value (ENOTDIR
// when something else has the name).
int MakePrivateFolders(const std::string& folder);

// One entry of a folder listing.
struct FolderEntry {
    std::string name;
    bool isFolder = false;  // a real folder, not a link to one
    bool isLinkToFolder = false;
    bool isRegularFile = false;  // a plain file, known from the listing alone
};

// Lists one folder in the order the file system returns its entries, without
// "." and "..". On failure returns false and sets `error` to the errno value.
bool ListFolder(const std::string& folder, const std::function<void(const FolderEntry&)>& visit,
                int& error);

// The (device, inode) identity of a folder, for loop detection; false when it
// cannot be read.
bool FolderIdentity(const std::string& folder, uint64_t& device, uint64_t& inode);

// Writes all `size` bytes, retrying short and interrupted writes. Returns 0 or
// an errno value.
int WriteAll(int fd, const char* data, size_t size);

// Opens a file that must be a regular one without waiting: a FIFO or a
// device at its name would otherwise hold the program for ever. The
// descriptor (blocking again), or -1 with the reason in `error` (EISDIR,
// kErrorNotRegularFile, or the open's errno).
int OpenRegularFile(const std::string& path, int flags, int& error);

// Reads the whole of the regular file `path` (opened as OpenRegularFile
// does) into `text`, refusing one of more than `limit` bytes. The size is
// checked as the data comes, not by fstat alone: a file may grow while it is
// read, and some report no size at all. 0, kErrorFileTooLarge, or another
// reason OpenRegularFile or read gives.
int ReadSmallFile(const std::string& path, size_t limit, std::string& text);

// Reasons of the program's own, beside the errno values; ErrorText explains
// them too.
constexpr int kErrorNotRegularFile = 1001;
constexpr int kErrorSymbolicLink = 1002;
constexpr int kErrorFileTooLarge = 1003;    // over what such a file may hold
constexpr int kErrorLineTooLong = 1004;     // a settings line over its limit
constexpr int kErrorNotAFolder = 1005;      // a file where a folder is to be made
constexpr int kErrorFolderReplaced = 1006;  // a folder of a run swapped since it was planned

// The system's message for an errno value, or the text of one of the reasons
// above.
std::string ErrorText(int error);

}  // namespace quorvan
