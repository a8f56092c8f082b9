#include "logfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "filesystemcalls.h"
#include "folders.h"
#include "pathfunctions.h"
#include "regularfile.h"
#include "systemerror.h"
#include "textconv.h"

namespace {

namespace fs = std::filesystem;

// A day's log is a few kilobytes; a file far larger is not one, and is not
// read into memory.
constexpr uint64_t MaxLogDayBytes = 64 * 1024 * 1024;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : Days[month - 1];
}

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

// The digits of text[from, from + count) as a number; -1 when one is not a
// digit.
int Digits(std::u16string_view text, size_t from, size_t count) {
  int value = 0;
  for (size_t i = from; i < from + count; ++i) {
    if (text[i] < u'0' || text[i] > u'9') return -1;
    value = value * 10 + (text[i] - u'0');
  }
  return value;
}

std::u16string Padded(int value, size_t width) {
  std::u16string text = rtl::AsciiToUtf16(std::to_string(value));
  if (text.size() < width) text.insert(0, width - text.size(), u'0');
  return text;
}

std::u16string OpenErrorText(int error) {
  // The lock stands for a second writer, as a sharing violation would.
  if (error == EWOULDBLOCK) return u"The process cannot access the file because it is being used by another process.";
  return rtl::SystemErrorText(error);
}

// Continuation bytes of a UTF-8 sequence and the smallest code point it may
// encode; 0 for a byte that cannot start one.
int SequenceLength(unsigned char lead, uint32_t& minimum, uint32_t& value) {
  if (lead < 0x80) {
    value = lead;
    minimum = 0;
    return 1;
  }
  if ((lead & 0xE0) == 0xC0) {
    value = lead & 0x1F;
    minimum = 0x80;
    return 2;
  }
  if ((lead & 0xF0) == 0xE0) {
    value = lead & 0x0F;
    minimum = 0x800;
    return 3;
  }
  if ((lead & 0xF8) == 0xF0) {
    value = lead & 0x07;
    minimum = 0x10000;
    return 4;
  }
  return 0;
}

}  // namespace

std::u16string LogDayFileName(const TLogDay& day) {
  return Padded(day.Year, 4) + Padded(day.Month, 2) + Padded(day.Day, 2) + u".txt";
}

std::optional<TLogDay> LogDayOfFileName(std::u16string_view name) {
  if (name.size() != 12 || rtl::StrCmpIW(name.substr(8), u".txt") != 0) return std::nullopt;
  const int year = Digits(name, 0, 4);
  const int month = Digits(name, 4, 2);
  const int day = Digits(name, 6, 2);
  if (year < 0 || month < 0 || day < 0 || !IsValidDate(year, month, day)) return std::nullopt;
  return TLogDay{static_cast<int16_t>(year), static_cast<int16_t>(month), static_cast<int16_t>(day)};
}

std::vector<TLogDay> ListLogDays(std::u16string_view folder) {
  std::vector<TLogDay> days;
  std::error_code error;
  fs::directory_iterator it(rtl::NativePath(folder), error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    if (!it->is_regular_file(error)) continue;
    if (auto day = LogDayOfFileName(rtl::Utf8ToUtf16(it->path().filename().string()))) days.push_back(*day);
  }
  std::sort(days.begin(), days.end());
  // "20240105.txt" and "20240105.TXT" name the same day.
  days.erase(std::unique(days.begin(), days.end()), days.end());
  return days;
}

std::u16string LogDayText(const TLogDay& day) {
  return Padded(day.Year, 4) + u"-" + Padded(day.Month, 2) + u"-" + Padded(day.Day, 2);
}

bool IsValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    uint32_t minimum = 0, value = 0;
    const int length = SequenceLength(static_cast<unsigned char>(bytes[i]), minimum, value);
    if (length == 0 || i + static_cast<size_t>(length) > bytes.size()) return false;
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
      value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    i += static_cast<size_t>(length);
  }
  return true;
}

std::optional<std::u16string> ReadLogDayFile(std::u16string_view path, int* error) {
  std::string text;
  int failure = 0;
  if (!rtl::ReadRegularFile(path, MaxLogDayBytes, text, failure)) {
    if (error) *error = failure;
    return std::nullopt;
  }
  return IsValidUtf8(text) ? rtl::Utf8ToUtf16(text) : rtl::Windows1252ToUtf16(text);
}

TLogFile::~TLogFile() { Close(); }

std::u16string TLogFile::Open(std::u16string_view path) {
  Close();
  int error = 0;
  const int handle = rtl::OpenRegularFile(path, O_WRONLY | O_CREAT | O_APPEND, error, 0644);
  if (handle < 0) return OpenErrorText(error);
  // On a file system without locks the day's file is written without one:
  // the instance guard of the data folder still keeps a second writer out.
  int lockError = 0;
  const rtl::TLockResult result = rtl::TryLockFile(handle, LOCK_EX, lockError);
  if (result != rtl::TLockResult::Locked && result != rtl::TLockResult::NoLocks) {
    ::close(handle);
    return OpenErrorText(lockError);
  }
  FHandle = handle;
  return {};
}

bool IsLogFileHeld(std::u16string_view path) {
  int error = 0;
  const int handle = rtl::OpenRegularFile(path, O_RDONLY | O_NOFOLLOW, error);
  if (handle < 0) return false;
  // A shared lock on an open file of its own conflicts with a writer's.
  const bool held = rtl::TryLockFile(handle, LOCK_SH, error) == rtl::TLockResult::Busy;
  ::close(handle);
  return held;
}

void TLogFile::Close() {
  if (FHandle < 0) return;
  ::close(FHandle);
  FHandle = -1;
}

int TLogFile::Append(std::u16string_view text) {
  if (FHandle < 0) return 0;
  const std::string bytes = rtl::Utf16ToUtf8(text);
  size_t done = 0;
  // A write may be cut short by a signal; the rest follows, bounded by the
  // text's length since every round writes at least one byte or stops.
  while (done < bytes.size()) {
    const ssize_t n = ::write(FHandle, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    done += static_cast<size_t>(n);
  }
  ::fdatasync(FHandle);
  return 0;
}
