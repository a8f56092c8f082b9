#pragma once

// The path and string helpers the data files use, on UTF-16 paths with "/"
// separators. The program binds them by name at start-up from the export
// table below, as it would bind a system library.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rtl {

// Adds "/" to a path that does not end in one; an empty path stays empty.
void PathAddBackslashW(std::u16string& path);
// Adds the extension (".xml") when the file name has none; true when the
// name has an extension afterwards.
bool PathAddExtensionW(std::u16string& path, std::u16string_view extension);
// Appends a relative part with exactly one "/" between; a leading "/" of
// `more` does not make it absolute. "." and ".." components of the result are
// resolved as text (see PathCombineW).
void PathAppendW(std::u16string& path, std::u16string_view more);
// `file` when it is absolute, else `folder` and `file` joined; "." components
// are dropped and ".." removes the component before it (never the root).
std::u16string PathCombineW(std::u16string_view folder, std::u16string_view file);
// Shortens a path to at most maxChars characters by putting "..." in place
// of folders before the file name; true when the result fits.
bool PathCompactPathW(std::u16string& path, size_t maxChars);
// The extension of the file name with its "." (".xml"), or empty. A blank
// after the last "." means there is none.
std::u16string_view PathFindExtensionW(std::u16string_view path);
// The last component (a trailing "/" stays with it).
std::u16string_view PathFindFileNameW(std::u16string_view path);
// A file or folder of that name exists.
bool PathFileExistsW(std::u16string_view path);
bool PathIsDirectoryW(std::u16string_view path);
void PathRemoveExtensionW(std::u16string& path);
// Removes the file name and the "/" before it ("/a/b" gives "/a", "/a" gives
// "/", "a/" gives "a"); true when something was removed.
bool PathRemoveFileSpecW(std::u16string& path);
// Replaces the extension, or adds it when there is none.
void PathRenameExtensionW(std::u16string& path, std::u16string_view extension);
// Case-insensitive comparison (ToUpperUtf16): -1, 0 or 1.
int StrCmpIW(std::u16string_view a, std::u16string_view b);
// "532 bytes", "1.45 KB", "12.3 MB", ...: three significant digits, truncated.
std::u16string StrFormatByteSizeW(int64_t size);
// Position of the first occurrence of `find` in `text`, or npos.
size_t StrStrW(std::u16string_view text, std::u16string_view find);

// One named entry point. The address is stored type-erased, as a dynamic
// library's symbol would be; the binder casts it back to the declared type.
using TAnyFunction = void (*)();
struct TPathFunctionExport {
  std::string_view Name;
  TAnyFunction Address;
};

// The fifteen functions above, by name.
std::span<const TPathFunctionExport> PathFunctionExports();

}  // namespace rtl
