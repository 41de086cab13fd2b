// Path routines shared by the file list, the file collection and the builds.
// Paths use "/" as separator; the file list shows a path as its directory
// and its file name, and joins them again with one "/".
#pragma once

#include <string>
#include <string_view>

namespace folios {

// The text after the last "/"; empty when the path has none.
std::string FileName(std::string_view path);

// The text before the last "/"; empty when the path has none (or when the
// only "/" is the root, so that Directory + "/" + FileName gives the path back).
std::string Directory(std::string_view path);

// The first two characters of the path.
std::string Drive(std::string_view path);

// The text after the last dot of the file name, in lower case; empty when the
// file name has no dot or only a leading one (".profile").
std::string Extension(std::string_view path);

// Directory + "/" + file name: the full path of a file list row.
std::string JoinRowPath(std::string_view directory, std::string_view file_name);

// A path of at most n characters is returned as it is; a longer one becomes
// its first three characters, "...", and its last n - 5 characters.
// Characters are counted as UTF-8 characters, so none is ever cut in two.
std::string ShortenPath(std::string_view path, int n);

// The path made absolute against the current directory, with "." and ".."
// resolved lexically (symbolic links are not followed) and no trailing "/".
std::string AbsolutePath(std::string_view path);

// ASCII lower case; other bytes are kept.
std::string ToLowerAscii(std::string_view text);

}  // namespace folios
