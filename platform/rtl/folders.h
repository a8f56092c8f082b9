#pragma once

// Files and folders on UTF-16 paths with "/" separators; folder results end
// in "/". NativePath gives the UTF-8 form the POSIX calls take.

#include <string>
#include <string_view>

namespace rtl {

// Folder of the running executable.
std::u16string ProgramDir();
// $XDG_DATA_HOME, else $HOME/.local/share; empty when neither is known. A
// relative $XDG_DATA_HOME is ignored, as the XDG rules ask.
std::u16string UserDataDir();

// Creates the folder and any missing parents; an existing folder is fine.
// On failure `error` (when given) receives the system's error number of the
// step that failed; 0 on success.
bool ForceDirectories(std::u16string_view path, int* error = nullptr);
// True for an existing entry that is not a folder.
bool FileExists(std::u16string_view path);
bool DirectoryExists(std::u16string_view path);
// Deletes a file (not a folder).
bool DeleteFile(std::u16string_view path);
// Renames, atomically replacing an existing file at `to`.
bool RenameFile(std::u16string_view from, std::u16string_view to);

std::string NativePath(std::u16string_view path);

}  // namespace rtl
