// The text lookup: what a language file answers, how "|" and "###" are
// read, the two call forms, and lookups without an open document.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <array>

#include "languageservice.h"
#include "shelltestsupport.h"

namespace {

using shelltest::TTempFolder;

class LanguageServiceTest : public testing::Test {
 protected:
  void SetUp() override {
    path = folder.File("Test.xml");
    shelltest::WriteLanguageFile(path, {
                                           {u"Forms", u"Close", u"Close"},
                                           {u"Forms", u"TwoWords", u"Two|Words"},
                                           {u"Forms", u"TwoBars", u"A||B"},
                                           {u"Forms", u"Hashes", u"###"},
                                           {u"Forms", u"Empty", u""},
                                           {u"Forms", u"Long", std::u16string(300, u'x')},
                                       });
    ASSERT_TRUE(service.Open(rtl_path()));
  }
  std::u16string rtl_path() const { return std::u16string(path.begin(), path.end()); }

  TTempFolder folder;
  std::string path;
  TLanguageService service;
};

TEST_F(LanguageServiceTest, FindsKeysAndTurnsBarsIntoLineFeeds) {
  TLangText close = service.GetLangText(u"Forms", u"Close");
  EXPECT_TRUE(close.Found);
  EXPECT_EQ(close.Text, u"Close");
  EXPECT_EQ(service.GetLangText(u"Forms", u"TwoWords").Text, u"Two\nWords");
  EXPECT_EQ(service.GetLangText(u"Forms", u"TwoBars").Text, u"A\n\nB");
  // An empty value is a text like any other.
  TLangText empty = service.GetLangText(u"Forms", u"Empty");
  EXPECT_TRUE(empty);
  EXPECT_EQ(empty.Text, u"");
}

TEST_F(LanguageServiceTest, MissingSectionsKeysAndTheMissingMarkAnswerHashes) {
  for (const auto& [section, key] : {std::pair{u"Form", u"Close"}, std::pair{u"Forms", u"close"},
                                     std::pair{u"Forms", u"Nowhere"}, std::pair{u"Forms", u"Hashes"}}) {
    TLangText text = service.GetLangText(section, key);
    EXPECT_FALSE(text) << shelltest::Narrow(key);
    EXPECT_EQ(text.Text, u"###");
  }
}

TEST_F(LanguageServiceTest, BufferFormIsBoundedAndTerminated) {
  std::array<char16_t, LangBufferSize + 8> buffer;
  buffer.fill(u'#');
  // The caller's buffer is the first LangBufferSize units; what follows must
  // stay untouched.
  EXPECT_TRUE(service.GetLangText(nullptr, std::span(buffer.data(), LangBufferSize), u"Forms", u"Long"));
  EXPECT_EQ(std::u16string(buffer.data()), std::u16string(LangBufferSize - 1, u'x'));
  EXPECT_EQ(buffer[LangBufferSize], u'#');

  std::array<char16_t, 4> small;
  EXPECT_FALSE(service.GetLangText(nullptr, small, u"Forms", u"Missing"));
  EXPECT_EQ(std::u16string(small.data()), u"###");
  EXPECT_FALSE(service.GetLangText(nullptr, std::span<char16_t>(), u"Forms", u"Missing"));
}

TEST(LanguageService, BufferFormNeverSplitsASurrogatePair) {
  TTempFolder folder;
  const std::string path = folder.File("Pairs.xml");
  // "ab" then U+1F600 (two units): a buffer of 4 holds "ab" and the
  // terminator, not half the pair.
  shelltest::WriteLanguageFile(path, {{u"Forms", u"Smile", u"ab\U0001F600"}});
  TLanguageService service;
  service.Open(std::u16string(path.begin(), path.end()));
  std::array<char16_t, 4> buffer{};
  EXPECT_TRUE(service.GetLangText(nullptr, buffer, u"Forms", u"Smile"));
  EXPECT_EQ(std::u16string(buffer.data()), u"ab");
}

TEST_F(LanguageServiceTest, LookupsAfterCloseAndWithoutAServiceMiss) {
  service.Close();
  TLangText text = service.GetLangText(u"Forms", u"Close");
  EXPECT_FALSE(text);
  EXPECT_EQ(text.Text, u"###");

  SetLanguageService(nullptr);
  EXPECT_EQ(LangText({u"Forms", u"Close"}).Text, u"###");
  {
    TLanguageService current;
    current.Open(rtl_path());
    SetLanguageService(&current);
    EXPECT_EQ(LangText({u"Forms", u"Close"}).Text, u"Close");
  }
  // The service left without being unset: the windows' lookups must not
  // reach it.
  EXPECT_EQ(LanguageService(), nullptr);
  EXPECT_FALSE(LangText({u"Forms", u"Close"}));
}

TEST(LanguageService, MissingOrDamagedFiles) {
  TTempFolder folder;
  TLanguageService service;
  // No language chosen: an empty path, every text "###".
  EXPECT_TRUE(service.Open(u""));
  EXPECT_FALSE(service.GetLangText(u"Forms", u"Close"));
  EXPECT_TRUE(service.Open(folder.PathW() + u"/None.xml"));
  EXPECT_FALSE(service.GetLangText(u"About", u"Name"));

  const std::string damaged = folder.File("Damaged.xml");
  shelltest::WriteBytes(damaged, std::string("\xFF\xFE<\0?\0", 6));
  EXPECT_FALSE(service.Open(std::u16string(damaged.begin(), damaged.end())));
  EXPECT_EQ(service.GetLangText(u"About", u"Name").Text, u"###");
}

TEST(LanguageService, APipeNamedLikeTheFileIsRefusedWithoutWaiting) {
  TTempFolder folder;
  const std::string pipe = folder.File("Pipe.xml");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  TLanguageService service;
  ::alarm(10);  // a reader that waits for a writer ends the suite here
  const bool opened = service.Open(std::u16string(pipe.begin(), pipe.end()));
  ::alarm(0);
  EXPECT_FALSE(opened);
  EXPECT_FALSE(service.GetLangText(u"About", u"Name"));
}

}  // namespace
