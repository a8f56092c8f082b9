#pragma once
// The files of the daily log: one file per day in the log folder, named
// "yyyymmdd.txt", lines ending in carriage return and line feed, only ever
// appended to. Written in UTF-8; a day file that is not valid UTF-8 (written
// by an older program in the Windows code page) is read as Windows-1252.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TLogDay {
  int16_t Year = 0, Month = 0, Day = 0;
  friend auto operator<=>(const TLogDay&, const TLogDay&) = default;
};

// "yyyymmdd.txt".
std::u16string LogDayFileName(const TLogDay& day);
// The day of a name "yyyymmdd.txt" (extension in any case) holding a valid
// calendar date; nothing for every other name.
std::optional<TLogDay> LogDayOfFileName(std::u16string_view name);
// The days of the day files in the folder, oldest first; empty for an empty
// or missing folder. Other files are left out.
std::vector<TLogDay> ListLogDays(std::u16string_view folder);
// The day as the day list shows it: "yyyy-mm-dd".
std::u16string LogDayText(const TLogDay& day);

// The text of a day file, CR LF kept; nothing when it can't be read, and
// `error` (when given) receives the system's error number.
std::optional<std::u16string> ReadLogDayFile(std::u16string_view path, int* error = nullptr);
// Strict UTF-8: no overlong forms, surrogates or values above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// True when another writer holds the day file at `path` open now (a
// program instance on the same data folder).
bool IsLogFileHeld(std::u16string_view path);

// The open day file of the writer. One writer per file: a second program
// instance that opens the same day's file is refused, as the log is not
// shared for writing; readers are not affected.
class TLogFile {
 public:
  TLogFile() = default;
  ~TLogFile();
  TLogFile(const TLogFile&) = delete;
  TLogFile& operator=(const TLogFile&) = delete;

  // Opens the file for appending, creating it when missing. Empty on
  // success, else the system's text for the error.
  std::u16string Open(std::u16string_view path);
  void Close();
  bool IsOpen() const { return FHandle >= 0; }
  // Writes the text as UTF-8 in one write and flushes it to the disk. The
  // system's error number of a write that failed (a full disk), else 0.
  int Append(std::u16string_view text);

 private:
  int FHandle = -1;
};
