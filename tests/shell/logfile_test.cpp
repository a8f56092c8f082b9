// Day files: names, the date-ordered day list, reading old code-page files,
// one writer per file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "logfile.h"
#include "shelltestsupport.h"
#include "textconv.h"

namespace {

using shelltest::TTempFolder;

TEST(LogFileNames, OnlyValidDatesAreDays) {
  EXPECT_EQ(LogDayFileName({2024, 3, 7}), u"20240307.txt");
  EXPECT_EQ(LogDayOfFileName(u"20240229.txt"), (TLogDay{2024, 2, 29}));
  EXPECT_EQ(LogDayOfFileName(u"20240101.TXT"), (TLogDay{2024, 1, 1}));
  for (const char16_t* name : {u"20230229.txt", u"20241301.txt", u"20240100.txt", u"2024011.txt", u"abcd0101.txt",
                               u"20240101.log", u"20240101.txt.bak", u"", u"-2024010.txt"})
    EXPECT_FALSE(LogDayOfFileName(name)) << shelltest::Narrow(name);
  EXPECT_EQ(LogDayText({2024, 3, 7}), u"2024-03-07");
}

TEST(LogDayList, OrderedByDateWithOtherFilesLeftOut) {
  TTempFolder folder;
  for (const char* name : {"20240110.txt", "20231231.txt", "20240109.txt", "notes.txt", "20241399.txt"})
    shelltest::WriteBytes(folder.File(name), "x");
  std::filesystem::create_directory(folder.File("20240201.txt"));
  const std::vector<TLogDay> days = ListLogDays(folder.PathW());
  EXPECT_EQ(days, (std::vector<TLogDay>{{2023, 12, 31}, {2024, 1, 9}, {2024, 1, 10}}));
}

TEST(LogDayList, EmptyAndMissingFolders) {
  TTempFolder folder;
  EXPECT_TRUE(ListLogDays(folder.PathW()).empty());
  EXPECT_TRUE(ListLogDays(folder.PathW() + u"/missing").empty());
}

TEST(LogDayFile, Utf8OrWindows1252) {
  TTempFolder folder;
  shelltest::WriteBytes(folder.File("utf8.txt"), "[10:00:00] Phase: 90\xC2\xB0\r\n");
  EXPECT_EQ(ReadLogDayFile(folder.PathW() + u"/utf8.txt"), u"[10:00:00] Phase: 90°\r\n");
  // Written by the older program in the Windows code page.
  shelltest::WriteBytes(folder.File("ansi.txt"), "Phase: 90\xB0 \x80 Caf\xE9\r\n");
  EXPECT_EQ(ReadLogDayFile(folder.PathW() + u"/ansi.txt"), u"Phase: 90° € Café\r\n");
  EXPECT_FALSE(ReadLogDayFile(folder.PathW() + u"/missing.txt"));
}

TEST(LogDayFile, StrictUtf8) {
  EXPECT_TRUE(IsValidUtf8("plain \xC2\xB0 \xE2\x82\xAC \xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xB0"));          // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut short
  EXPECT_FALSE(IsValidUtf8("\xB0"));
}

TEST(LogFileWriter, AppendsUtf8AndKeepsOneWriter) {
  TTempFolder folder;
  const std::u16string path = folder.PathW() + u"/20240307.txt";
  shelltest::WriteBytes(folder.File("20240307.txt"), "old\r\n");
  TLogFile first;
  ASSERT_EQ(first.Open(path), u"");
  first.Append(u"[10:00:00] Phase: 90°\r\n");

  TLogFile second;
  EXPECT_NE(second.Open(path), u"");
  EXPECT_FALSE(second.IsOpen());
  second.Append(u"lost\r\n");

  first.Close();
  ASSERT_EQ(second.Open(path), u"");
  second.Append(u"next\r\n");
  EXPECT_EQ(shelltest::ReadBytes(folder.File("20240307.txt")), "old\r\n[10:00:00] Phase: 90\xC2\xB0\r\nnext\r\n");
}

TEST(LogFileWriter, UnopenableFileGivesTheSystemText) {
  TTempFolder folder;
  TLogFile file;
  EXPECT_NE(file.Open(folder.PathW() + u"/missing/20240307.txt"), u"");
  EXPECT_FALSE(file.IsOpen());
}

TEST(LogFileWriter, APipeNamedLikeTheDayIsRefusedWithoutWaiting) {
  TTempFolder folder;
  ASSERT_EQ(::mkfifo(folder.File("20240307.txt").c_str(), 0600), 0);
  const std::u16string path = folder.PathW() + u"/20240307.txt";
  TLogFile file;
  ::alarm(10);  // a writer or reader that waits ends the suite here
  const std::u16string error = file.Open(path);
  const bool read = ReadLogDayFile(path).has_value();
  ::alarm(0);
  EXPECT_EQ(error, u"The file is not a regular file (a folder, a pipe or a device).");
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(read);
}

}  // namespace
