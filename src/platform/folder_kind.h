#pragma once

#include <cstdint>
#include <string>

namespace quorvan {

// Whether names in this folder are compared without regard to letter case:
// vfat, exfat, ntfs3 and SMB/CIFS mounts, ext4 or f2fs folders with the
// casefold attribute, and any folder where a name of one of its entries in
// the other letter case reaches that entry. False when the folder cannot be
// examined.
bool IsCaseInsensitiveFolder(const std::string& folder);

// The device and inode of the entry at `path`, without following a symbolic
// link at its end. False when there is none.
bool EntryIdentity(const std::string& path, uint64_t& device, uint64_t& inode);

}  // namespace quorvan
