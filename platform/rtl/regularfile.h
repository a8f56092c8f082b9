#pragma once
// The one way the program opens a file by name. A name that turns out to be
// a pipe, a device or a folder is refused instead of opened: opening such a
// thing could wait for ever (a pipe without a writer) or read without end
// (a device), and neither holds a document. Every open is non-blocking for
// that reason, and the kind of file is checked on the open handle, so a
// swap between a check and the open can't slip past.

#include <cstdint>
#include <string>
#include <string_view>

namespace rtl {

// The error number for an entry that exists but is no regular file;
// SystemErrorText gives its text.
inline constexpr int NotRegularFileError = 0x10000;
// The error number for a name that is a symbolic link where a file is
// created (see OpenRegularFile).
inline constexpr int LinkRefusedError = 0x10001;

// Opens the file at `path` with the open(2) `flags` (O_RDONLY, O_WRONLY |
// O_CREAT | O_APPEND, ...) and, for a new file, `mode`. Returns the handle,
// or -1 with `error` holding the system's error number or
// NotRegularFileError. An open that may create the file (O_CREAT) never
// follows a symbolic link at the name: in a folder that others may write
// in, a link planted under a name the program uses would make it create or
// write a file wherever the link points. Such a name is refused with
// LinkRefusedError.
int OpenRegularFile(std::u16string_view path, int flags, int& error, unsigned mode = 0666);
int OpenRegularFile(const std::string& nativePath, int flags, int& error, unsigned mode = 0666);

// Reads the whole regular file at `path` into `bytes`; a file larger than
// `maxBytes` is refused with EFBIG. False with `error` set otherwise (ENOENT
// for a missing file).
bool ReadRegularFile(std::u16string_view path, uint64_t maxBytes, std::string& bytes, int& error);

}  // namespace rtl
