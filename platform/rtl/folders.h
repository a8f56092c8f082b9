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
// The parent of every folder it creates is forced to disk before it
// returns, so a file saved in the new folder survives a power loss with its
// folder. On failure `error` (when given) receives the system's error number
// of the step that failed; 0 on success.
bool ForceDirectories(std::u16string_view path, int* error = nullptr);
// Forces a folder's entries (names created, renamed, removed in it) to
// disk. A file system that can't sync a folder reports false; the entries
// are then as durable as that file system makes them.
bool SyncFolder(const std::string& nativeFolder);
// Called with each folder SyncFolder forces to disk; none when empty. Lets
// a test see which folders a save made durable.
using TFolderSyncObserver = void (*)(const std::string& nativeFolder);
void SetFolderSyncObserver(TFolderSyncObserver observer);
// True for an existing entry that is not a folder.
bool FileExists(std::u16string_view path);
bool DirectoryExists(std::u16string_view path);
// Deletes a file (not a folder).
bool DeleteFile(std::u16string_view path);
// True when the two names lead to one file: the same name, or two names
// the file system resolves to one file (a name in another case on a
// case-insensitive file system such as a FAT stick, a hard link, a link).
// Two names of which one does not exist are two files.
bool SameFile(std::u16string_view a, std::u16string_view b);
// True when the two names are one entry of a folder, links not followed:
// what a rename onto `b` would replace is `a`. A symbolic link under `b` is
// an entry of its own, which a rename replaces without touching its target.
bool SameEntry(std::u16string_view a, std::u16string_view b);
// Renames, atomically replacing an existing file at `to`.
bool RenameFile(std::u16string_view from, std::u16string_view to);

std::string NativePath(std::u16string_view path);

}  // namespace rtl
