#include "xmlinifile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>

#include "scratchfolder.h"

namespace {

namespace fs = std::filesystem;

constexpr std::u16string_view Header = u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n";

class XmlIniFileTest : public ::testing::Test {
 protected:
  // Writes a document file with the given text after the byte-order mark.
  void WriteDocument(std::u16string_view text) {
    WriteBytes(Dir.Native(u"doc.xml"), Utf16LeBytes(std::u16string(u"\uFEFF").append(text)));
  }
  std::u16string SavedText() { return Utf16LeText(ReadBytes(Dir.Native(u"doc.xml"))); }
  std::unique_ptr<XmlIniFile> Load(bool expected = true) {
    auto document = std::make_unique<XmlIniFile>();
    EXPECT_EQ(document->Open(Path, u"Root", true), expected);
    return document;
  }
  // One key written and read back through a saved file.
  std::u16string StoredText(std::u16string_view value) {
    {
      XmlIniFile document;
      document.Open(Path, u"Root", false);
      document.WriteString(u"S", u"K", value);
    }
    return SavedText();
  }

  TScratchFolder Dir;
  std::u16string Path = Dir.File(u"doc.xml");
};

TEST_F(XmlIniFileTest, SavedDocumentIsByteExact) {
  {
    XmlIniFile document;
    ASSERT_TRUE(document.Open(Path, u"SessionFile", false));
    document.WriteInteger(u"Options", u"BuffLength", 10000);
    document.WriteFloat(u"Options", u"CtrlMass.Value", 1.0);
    document.WriteString(u"Other", u"Name", u"Probe");
    document.WriteFloat(u"Options", u"GWB.Shift", 45.0);
  }
  const std::u16string expected =
      std::u16string(Header) +
      u"<SessionFile>\r\n"
      u"<Options>\r\n"
      u" <BuffLength value = \"2710\"/>\r\n"
      u" <CtrlMass.Value value = \"1.0000000000000000\"/>\r\n"
      u" <GWB.Shift value = \"45.0000000000000000\"/>\r\n"
      u"</Options>\r\n"
      u"<Other>\r\n"
      u" <Name value = \"Probe\"/>\r\n"
      u"</Other>\r\n"
      u"</SessionFile>";
  const std::string bytes = ReadBytes(Dir.Native(u"doc.xml"));
  EXPECT_EQ(bytes, Utf16LeBytes(expected));
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
}

TEST_F(XmlIniFileTest, IntegersAreHexadecimal) {
  XmlIniFile document;
  document.Open(Path, u"Root", false);
  document.WriteInteger(u"S", u"Ten", 10000);
  document.WriteInteger(u"S", u"MinusOne", -1);
  document.WriteInteger(u"S", u"Zero", 0);
  document.WriteInteger(u"S", u"Lowest", INT32_MIN);
  EXPECT_EQ(document.ReadString(u"S", u"Ten", u""), u"2710");
  EXPECT_EQ(document.ReadString(u"S", u"MinusOne", u""), u"ffffffff");
  EXPECT_EQ(document.ReadString(u"S", u"Zero", u""), u"0");
  EXPECT_EQ(document.ReadInteger(u"S", u"Ten", 0), 10000);
  EXPECT_EQ(document.ReadInteger(u"S", u"MinusOne", 0), -1);
  EXPECT_EQ(document.ReadInteger(u"S", u"Lowest", 0), INT32_MIN);
  EXPECT_EQ(document.ReadInteger(u"S", u"Missing", 77), 77);
}

TEST_F(XmlIniFileTest, IntegerTextFollowsTheCLibrary) {
  XmlIniFile document;
  document.Open(Path, u"Root", false);
  const std::pair<std::u16string_view, int32_t> cases[] = {
      {u"10", 16},          {u"abc", 0xabc},     {u"nan", 0},         {u"", 0},
      {u"  1f", 31},        {u"0x1F", 31},       {u"-1", -1},         {u"+a", 10},
      {u"100000000", -1},   {u"-100000000", -1}, {u"7fffffffz", INT32_MAX},
      {u"zz", 0},           {u"0x", 0},
  };
  for (const auto& [text, expected] : cases) {
    document.WriteString(u"S", u"K", text);
    EXPECT_EQ(document.ReadInteger(u"S", u"K", 99), expected) << rtl::Utf16ToUtf8(text);
  }
}

TEST_F(XmlIniFileTest, FloatsRoundTripThroughTheFile) {
  const double values[] = {0.1, -2.5, 3.141592653589793, 1e15, -1e-3};
  {
    XmlIniFile document;
    document.Open(Path, u"Root", false);
    for (size_t i = 0; i < std::size(values); ++i)
      document.WriteFloat(u"F", std::u16string(1, char16_t(u'a' + i)), values[i]);
  }
  auto document = Load();
  for (size_t i = 0; i < std::size(values); ++i)
    EXPECT_EQ(document->ReadFloat(u"F", std::u16string(1, char16_t(u'a' + i)), 0), values[i]);
  EXPECT_EQ(document->ReadFloat(u"F", u"missing", 1.5), 1.5);
}

TEST_F(XmlIniFileTest, FloatTextMustBeAFiniteDecimalNumber) {
  XmlIniFile document;
  document.Open(Path, u"Root", false);
  const std::pair<std::u16string_view, double> cases[] = {
      {u"abc", 0.0},      {u"nan", 0.0},      {u"inf", 0.0},        {u"-INFINITY", 0.0},
      {u"0x1p3", 0.0},    {u"1e999", 0.0},    {u" -2.5e3xyz", -2500}, {u"1,5", 1.0},
      {u".5", 0.5},       {u"5.", 5.0},       {u"+7", 7.0},         {u"2e", 2.0},
      {u"", 0.0},         {u".", 0.0},
  };
  for (const auto& [text, expected] : cases) {
    document.WriteString(u"S", u"K", text);
    EXPECT_EQ(document.ReadFloat(u"S", u"K", 99.0), expected) << rtl::Utf16ToUtf8(text);
  }
}

TEST_F(XmlIniFileTest, QuoteAmpersandAndLessThanRoundTrip) {
  const std::u16string value = u"say \"hi\" & <b>&amp;</b>";
  const std::u16string text = StoredText(value);
  EXPECT_NE(text.find(u"value = \"say &quot;hi&quot; &amp; &lt;b>&amp;amp;&lt;/b>\""),
            std::u16string::npos);
  EXPECT_EQ(Load()->ReadString(u"S", u"K", u""), value);
}

TEST_F(XmlIniFileTest, OtherAmpersandTextReadsAsItStands) {
  WriteDocument(u"<Root><Forms> <Caption value = \"Tom &amp; Jerry &copy; & &amp &#65;\"/></Forms></Root>");
  EXPECT_EQ(Load()->ReadString(u"Forms", u"Caption", u""), u"Tom & Jerry &copy; & &amp &#65;");
}

TEST_F(XmlIniFileTest, StringReadsAreBounded) {
  XmlIniFile document;
  document.Open(Path, u"Root", false);
  document.WriteString(u"S", u"K", u"abcdef");
  document.WriteString(u"S", u"Pair", u"ab\U0001F600");
  EXPECT_EQ(document.ReadString(u"S", u"K", u"", 3), u"abc");
  EXPECT_EQ(document.ReadString(u"S", u"K", u"", 0), u"abcdef");
  EXPECT_EQ(document.ReadString(u"S", u"Missing", u"defaults", 3), u"def");
  // Cutting inside a surrogate pair drops the pair's first half too.
  EXPECT_EQ(document.ReadString(u"S", u"Pair", u"", 3), u"ab");
  EXPECT_EQ(document.ReadString(u"S", u"Pair", u"", 4), u"ab\U0001F600");
}

TEST_F(XmlIniFileTest, EightBitStringsAreWindows1252Text) {
  XmlIniFile document;
  document.Open(Path, u"Root", false);
  document.WriteStringA(u"S", u"Unit", "Größe €");
  document.WriteStringA(u"S", u"Foreign", "日本");
  EXPECT_EQ(document.ReadString(u"S", u"Unit", u""), u"Größe €");
  EXPECT_EQ(document.ReadStringA(u"S", u"Unit", ""), "Größe €");
  EXPECT_EQ(document.ReadStringA(u"S", u"Unit", "", 3), "Grö");
  EXPECT_EQ(document.ReadStringA(u"S", u"Foreign", ""), "??");
  document.WriteString(u"S", u"Wide", u"a\u0101b");
  EXPECT_EQ(document.ReadStringA(u"S", u"Wide", ""), "a?b");
  EXPECT_EQ(document.ReadStringA(u"S", u"Missing", "größer", 4), "größ");
}

TEST_F(XmlIniFileTest, NamesAreCaseSensitive) {
  WriteDocument(u"<Root><config> <Language value = \"x\"/></config></Root>");
  auto document = Load();
  EXPECT_EQ(document->ReadString(u"Config", u"Language", u"default"), u"default");
  EXPECT_EQ(document->ReadString(u"config", u"language", u"default"), u"default");
  EXPECT_EQ(document->ReadString(u"config", u"Language", u"default"), u"x");
}

TEST_F(XmlIniFileTest, MoreThan256KeysAndSections) {
  {
    XmlIniFile document;
    document.Open(Path, u"Language", false);
    for (int i = 0; i < 1000; ++i) document.WriteInteger(u"Forms", u"Text" + rtl::Utf8ToUtf16(std::to_string(i)), i);
    for (int i = 0; i < 300; ++i) document.WriteInteger(u"Section" + rtl::Utf8ToUtf16(std::to_string(i)), u"K", i);
  }
  XmlIniFile document;
  ASSERT_TRUE(document.Open(Path, u"Language", true));
  for (int i = 0; i < 1000; ++i)
    ASSERT_EQ(document.ReadInteger(u"Forms", u"Text" + rtl::Utf8ToUtf16(std::to_string(i)), -1), i);
  for (int i = 0; i < 300; ++i)
    ASSERT_EQ(document.ReadInteger(u"Section" + rtl::Utf8ToUtf16(std::to_string(i)), u"K", -1), i);
  // Keys stay in the order they were first written.
  const std::u16string text = SavedText();
  EXPECT_LT(text.find(u"<Text999 "), text.find(u"</Forms>"));
  EXPECT_LT(text.find(u"<Text99 "), text.find(u"<Text100 "));
  EXPECT_LT(text.find(u"<Section298>"), text.find(u"<Section299>"));
}

TEST_F(XmlIniFileTest, LayoutVariantsLoadTheSame) {
  const std::u16string variants[] = {
      u"<Root>\r\n<S>\r\n <A value = \"1\"/>\r\n <B value = \"2\"/>\r\n</S>\r\n</Root>",
      u"<Root>\n<S>\n\t<A\tvalue=\"1\"/>\n\t<B\tvalue=\"2\"/>\n</S>\n</Root>",
      u"<Root><S><A v=\"1\"/><B other = \"2\" /></S></Root>",
  };
  for (const std::u16string& text : variants) {
    WriteDocument(text);
    auto document = Load();
    EXPECT_EQ(document->ReadInteger(u"S", u"A", 0), 1) << rtl::Utf16ToUtf8(text);
    EXPECT_EQ(document->ReadInteger(u"S", u"B", 0), 2) << rtl::Utf16ToUtf8(text);
  }
}

TEST_F(XmlIniFileTest, RepeatedSectionNamesAreAllSearched) {
  WriteDocument(u"<Root><S> <A value = \"1\"/></S><S> <A value = \"5\"/> <B value = \"2\"/></S></Root>");
  auto document = Load();
  EXPECT_EQ(document->ReadInteger(u"S", u"A", 0), 1);
  EXPECT_EQ(document->ReadInteger(u"S", u"B", 0), 2);
}

TEST_F(XmlIniFileTest, MalformedDocumentsFailAndKeepWhatWasRead) {
  const std::u16string cases[] = {
      u"<Other><S> <A value = \"1\"/></S></Other>",                 // no opening root tag
      u"<Root><S> <A value = \"1\"/></S>",                          // no closing root tag
      u"<Root><S> <A value = \"1\"/></S><T</Root>",                 // section start without ">"
      u"<Root><S> <A value = \"1\"/></S><T> <B value = \"2\"/></Root>",  // section never closed
      u"<Root><S> <A value = \"1\"/></S><T> <B value = \"2\"</T></Root>",  // key without ">"
      u"<Root><S> <A value = \"1\"/></S><T> <B/></T></Root>",       // key without value
      u"<Root><S> <A value = \"1\"/></S><T> <B value = \"2/></T></Root>",  // unterminated value
      u"<Root><S> <A value = \"1\"/></S><a<b> </a<b></Root>",       // "<" in a section name
  };
  for (const std::u16string& text : cases) {
    WriteDocument(text);
    auto document = Load(false);
    const bool rootFound = text.find(u"<Root>") != std::u16string::npos &&
                           text.find(u"</Root>") != std::u16string::npos;
    EXPECT_EQ(document->ReadInteger(u"S", u"A", 0), rootFound ? 1 : 0) << rtl::Utf16ToUtf8(text);
  }
}

TEST_F(XmlIniFileTest, EmptyFileIsMalformedAndMissingFileIsEmpty) {
  WriteBytes(Dir.Native(u"doc.xml"), "");
  Load(false);
  fs::remove(Dir.Native(u"doc.xml"));
  auto document = Load(true);
  EXPECT_EQ(document->ReadInteger(u"S", u"A", 5), 5);
  EXPECT_FALSE(document->Modified());
}

TEST_F(XmlIniFileTest, WhatIsNoRegularFileIsRefusedWithoutWaiting) {
  // A pipe would block a reader until some writer opened it.
  ASSERT_EQ(::mkfifo(Dir.Native(u"doc.xml").c_str(), 0600), 0);
  ::alarm(10);  // a reader that waits ends the suite here
  Load(false);
  ::alarm(0);
  fs::remove(Dir.Native(u"doc.xml"));
  fs::create_directory(Dir.Native(u"doc.xml"));
  Load(false);
}

TEST_F(XmlIniFileTest, SectionsWithoutKeysVanishOnSaving) {
  WriteDocument(u"<Root><Empty></Empty><S> <A value = \"1\"/></S></Root>");
  {
    auto document = Load();
    document->WriteInteger(u"S", u"B", 2);
  }
  EXPECT_EQ(SavedText(), std::u16string(Header) +
                             u"<Root>\r\n<S>\r\n <A value = \"1\"/>\r\n <B value = \"2\"/>\r\n</S>\r\n</Root>");
}

TEST_F(XmlIniFileTest, LoadedDocumentKeepsOtherSectionsAndOrder) {
  WriteDocument(u"<Root><B> <x value = \"1\"/></B><A> <y value = \"2\"/> <z value = \"3\"/></A></Root>");
  {
    auto document = Load();
    document->WriteInteger(u"A", u"y", 7);
    document->WriteInteger(u"A", u"new", 8);
    document->WriteInteger(u"C", u"w", 9);
  }
  EXPECT_EQ(SavedText(), std::u16string(Header) +
                             u"<Root>\r\n<B>\r\n <x value = \"1\"/>\r\n</B>\r\n"
                             u"<A>\r\n <y value = \"7\"/>\r\n <z value = \"3\"/>\r\n <new value = \"8\"/>\r\n</A>\r\n"
                             u"<C>\r\n <w value = \"9\"/>\r\n</C>\r\n</Root>");
}

TEST_F(XmlIniFileTest, LoadingWithoutWritingLeavesTheFileUntouched) {
  const std::u16string text = u"<Root>\n<S>\n\t<A\tvalue=\"1\"/>\n</S>\n</Root>";
  WriteDocument(text);
  const std::string before = ReadBytes(Dir.Native(u"doc.xml"));
  Load();
  EXPECT_EQ(ReadBytes(Dir.Native(u"doc.xml")), before);
}

TEST_F(XmlIniFileTest, AFileThatCannotBeReadIsAFailureAndOpeningChangesNoPermission) {
  // A link that leads to itself exists but can't be opened, for every user.
  ASSERT_EQ(::symlink("doc.xml", Dir.Native(u"doc.xml").c_str()), 0);
  auto unreadable = Load(false);
  EXPECT_EQ(unreadable->LoadErrorNumber(), ELOOP);
  EXPECT_FALSE(unreadable->Save());
  EXPECT_TRUE(fs::is_symlink(Dir.Native(u"doc.xml")));
  fs::remove(Dir.Native(u"doc.xml"));

  WriteDocument(u"<Root><S> <A value = \"1\"/></S></Root>");
  const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read;
  fs::permissions(Dir.Native(u"doc.xml"), readOnly);
  EXPECT_EQ(Load()->ReadInteger(u"S", u"A", 0), 1);
  EXPECT_EQ(fs::status(Dir.Native(u"doc.xml")).permissions(), readOnly);
}

TEST_F(XmlIniFileTest, SaveReplacesTheFileWhole) {
  WriteDocument(u"<Root><S> <A value = \"1\"/></S></Root>");
  const std::string before = ReadBytes(Dir.Native(u"doc.xml"));
  fs::permissions(Dir.Native(u"doc.xml"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // A second name for the old file: a save that rewrote the file in place
  // would change what it shows, a replacing save leaves it whole.
  fs::create_hard_link(Dir.Native(u"doc.xml"), Dir.Native(u"old.xml"));
  auto document = Load();
  document->WriteInteger(u"S", u"B", 2);
  ASSERT_TRUE(document->Save());
  EXPECT_FALSE(document->Modified());
  EXPECT_EQ(ReadBytes(Dir.Native(u"old.xml")), before);
  EXPECT_EQ(Load()->ReadInteger(u"S", u"B", 0), 2);
  EXPECT_EQ(fs::status(Dir.Native(u"doc.xml")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // Nothing but the two names is left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir.Path), fs::directory_iterator()), 2);
}

TEST_F(XmlIniFileTest, FailedSaveIsReportedAndLeavesTheOldFile) {
  // The document's name is taken by a folder: the replacement can't be put
  // in its place (this holds for every user, the super-user too).
  fs::create_directory(Dir.Native(u"doc.xml"));
  {
    XmlIniFile document;
    document.Open(Path, u"Root", false);
    document.WriteInteger(u"S", u"A", 1);
    EXPECT_FALSE(document.Save());
    EXPECT_TRUE(document.Modified());
  }
  EXPECT_TRUE(fs::is_directory(Dir.Native(u"doc.xml")));
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir.Path), fs::directory_iterator()), 1);

  XmlIniFile elsewhere;
  elsewhere.Open(Dir.File(u"missing/doc.xml"), u"Root", false);
  elsewhere.WriteInteger(u"S", u"A", 1);
  EXPECT_FALSE(elsewhere.Save());
}

TEST_F(XmlIniFileTest, DestructorSavesOnlyAChangedDocument) {
  {
    XmlIniFile document;
    document.Open(Path, u"Root", false);
    document.WriteInteger(u"S", u"A", 1);
  }
  EXPECT_EQ(Load()->ReadInteger(u"S", u"A", 0), 1);
  {
    XmlIniFile document;
    document.Open(Path, u"Root", false);
    document.WriteInteger(u"S", u"A", 2);
    ASSERT_TRUE(document.Save());
    fs::remove(Dir.Native(u"doc.xml"));
  }
  EXPECT_FALSE(fs::exists(Dir.Native(u"doc.xml")));
}

TEST_F(XmlIniFileTest, ParseAppendsToTheDocument) {
  XmlIniFile document;
  document.Open(Path, u"Root", false);
  EXPECT_TRUE(document.Parse(Utf16LeBytes(u"<Root><S> <A value = \"1\"/></S></Root>")));
  EXPECT_EQ(document.ReadInteger(u"S", u"A", 0), 1);
  // An odd last byte is not a whole unit and is ignored.
  EXPECT_TRUE(document.Parse(Utf16LeBytes(u"<Root><T> <B value = \"2\"/></T></Root>") + "x"));
  EXPECT_EQ(document.ReadInteger(u"T", u"B", 0), 2);
  EXPECT_FALSE(document.Modified());
}

}  // namespace
