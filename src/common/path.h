#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvan {

// The folder that holds `path` and the name it has there, as dirname and
// basename take them: "/" ending a path is not part of it, a name right below
// the root is in "/" ("/x": "/" and "x"), and a bare name is in "" ("x": ""
// and "x"). The root is its own folder and has the name "".
std::string_view FolderOf(std::string_view path);
std::string_view NameOf(std::string_view path);

// Where a name's extension begins: its last ".", unless only dots come before
// it (.bashrc has no extension, .config.bak has .bak); npos when it has none.
size_t ExtensionDot(std::string_view name);

// The extension of a bare file name, "" when it has no dot.
std::string_view ExtensionOf(std::string_view name);

// folder + "/" + name with exactly one separator between them.
std::string JoinPath(std::string_view folder, std::string_view name);

// The only root path is "/".
bool IsRootPath(std::string_view path);

// True for the root or when a directory entry (of any kind) has this path.
bool PathExists(const std::string& path);

// Creates every missing level of a folder path. False when a parent could not
// be made; whether the last level itself was created is not looked at.
bool CreateFolderPath(const std::string& path);

// One of " * / : < > ? \ | (which file names must not hold on Windows shares).
bool IsInvalidNameCharacter(char c);
// A text from elsewhere (a CD title, a tag) as part of a file name: those
// characters and control characters become "_"; a text longer than
// `maxBytes` is cut at a character boundary; blanks and dots at the end go.
std::string SafeNameText(std::string_view text, size_t maxBytes);

// An absolute path without "." and ".." components, doubled separators or a
// trailing separator (other than the root itself). Symbolic links are kept.
// A relative path without a working folder to take it from is given back.
std::string MakeAbsolutePath(std::string_view path);

// A relative path prefixed with the working folder, nothing else changed (a
// ".." stays for the system to resolve, links and all); an absolute path as
// it is.
std::string AbsoluteFromWorkingFolder(std::string_view path);

// The real path of an existing entry (symbolic links and ".." resolved as the
// system does, relative paths taken from the working folder); for a path that
// does not exist, MakeAbsolutePath. Empty stays empty.
std::string CanonicalPath(const std::string& path);

}  // namespace quorvan
