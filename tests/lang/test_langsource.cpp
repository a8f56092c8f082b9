// The reader of language sources: the accepted shape, and the faults it must
// catch at build time because the store would lose or garble the text.

#include <gtest/gtest.h>

#include <string>

#include "langindex.h"
#include "langsource.h"

namespace {

const char* const GoodSource =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!-- header -->\n"
    "<Language>\n"
    "  <About>\n"
    "    <Name value=\"English\"/>\n"
    "  </About>\n"
    "  <!-- forms -->\n"
    "  <Forms>\n"
    "    <Close value = 'Close'/>\n"
    "    <Esc value=\"a &amp;&amp; b &apos;s&apos;\" />\n"
    "    <Bar value=\"one|two\"/>\n"
    "    <Wide value=\"\xC2\xB5m \xE2\x88\x91\"/>\n"
    "  </Forms>\n"
    "</Language>\n";

// Parses `text`, expecting a fault on `line` whose text holds `what`.
void ExpectFault(const std::string& text, int line, const std::string& what) {
  TLangSource source;
  std::string error;
  EXPECT_FALSE(ParseLangSource(text, source, error)) << text;
  EXPECT_EQ(error.rfind("line " + std::to_string(line) + ":", 0), 0u) << error;
  EXPECT_NE(error.find(what), std::string::npos) << error;
}

std::string Document(const std::string& forms) {
  return "<Language>\n<Forms>\n" + forms + "</Forms>\n</Language>\n";
}

}  // namespace

TEST(LangSource, ReadsSectionsKeysAndCommentsInOrder) {
  TLangSource source;
  std::string error;
  ASSERT_TRUE(ParseLangSource(GoodSource, source, error)) << error;
  EXPECT_EQ(source.Root, u"Language");
  ASSERT_EQ(source.Sections.size(), 2u);
  EXPECT_EQ(source.Sections[0].Name, u"About");
  EXPECT_EQ(source.Sections[1].Name, u"Forms");
  ASSERT_EQ(source.Sections[1].Keys.size(), 4u);
  EXPECT_EQ(source.Sections[1].Keys[0].Name, u"Close");
  EXPECT_EQ(source.Sections[1].Keys[0].Line, 9);
  EXPECT_EQ(source.KeyCount(), 5u);
  ASSERT_EQ(source.Comments.size(), 2u);
  EXPECT_EQ(source.Comments[0].Text, " header ");
  EXPECT_EQ(source.Comments[1].Line, 7);
}

TEST(LangSource, DecodesEntitiesAndKeepsBarsAndUnicode) {
  TLangSource source;
  std::string error;
  ASSERT_TRUE(ParseLangSource(Document("<A value=\"x &amp;&amp; y\"/>\n"), source, error)) << error;
  EXPECT_EQ(source.FindKey(u"Forms", u"A")->Value, u"x && y");

  ASSERT_TRUE(ParseLangSource(GoodSource, source, error)) << error;
  EXPECT_EQ(source.FindKey(u"Forms", u"Esc")->Value, u"a && b 's'");
  EXPECT_EQ(source.FindKey(u"Forms", u"Bar")->Value, u"one|two");
  EXPECT_EQ(source.FindKey(u"Forms", u"Wide")->Value, u"\u00B5m \u2211");
  EXPECT_EQ(source.FindKey(u"Forms", u"close"), nullptr);  // case-sensitive
  EXPECT_EQ(source.FindKey(u"Form", u"Close"), nullptr);
}

TEST(LangSource, AnEscapedQuoteOrAngleCannotReachTheStore) {
  // The entity reads as a value the store could not read back: rejected.
  ExpectFault(Document("<A value=\"x\"/>\n<B value=\"say &quot;hi&quot;\"/>\n"), 4, "double quote");
  ExpectFault(Document("<A value='\"single-quoted\"'/>\n"), 3, "double quote");
  ExpectFault(Document("<A value=\"a &lt;b\"/>\n"), 3, "\"<\" or \">\"");
  ExpectFault(Document("<A value=\"a >b\"/>\n"), 3, "\"<\" or \">\"");
  ExpectFault(Document("<A value=\"a <b\"/>\n"), 3, "\"<\" in a value");
}

TEST(LangSource, RejectsValuesAUserMustNotSee) {
  ExpectFault(Document("<A value=\"\"/>\n"), 3, "empty value");
  ExpectFault(Document("<A value=\"###\"/>\n"), 3, "missing key");
  ExpectFault(Document("<A value=\"one\ttwo\"/>\n"), 3, "control character");
  ExpectFault(Document("<A value=\"one\ntwo\"/>\n"), 3, "control character");
  ExpectFault(Document("<A value=\"&nbsp;\"/>\n"), 3, "unknown entity");
  ExpectFault(Document("<A value=\"bad \xFF byte\"/>\n"), 3, "UTF-8");
}

TEST(LangSource, RejectsDuplicatesThatTheFirstMatchWouldHide) {
  ExpectFault(Document("<A value=\"1\"/>\n<B value=\"2\"/>\n<A value=\"3\"/>\n"), 5,
              "defined twice in section \"Forms\" (first on line 3)");
  ExpectFault(
      "<Language>\n<Forms>\n<A value=\"1\"/>\n</Forms>\n<Forms>\n<B "
      "value=\"2\"/>\n</Forms>\n</Language>",
      5, "section \"Forms\" defined twice");
}

TEST(LangSource, RejectsSectionsTheStoreCannotHold) {
  ExpectFault("<Language>\n<Language>\n<Name value=\"English\"/>\n</Language>\n</Language>\n", 2,
              "root's name");
  ExpectFault(Document(""), 2, "has no keys");

  std::string many;
  for (int i = 0; i <= 256; ++i) many += "<K" + std::to_string(i) + " value=\"x\"/>\n";
  ExpectFault(Document(many), 2, "more than 256 keys");

  std::string sections = "<Language>\n";
  for (int i = 0; i <= 256; ++i)
    sections += "<S" + std::to_string(i) + "><K value=\"x\"/></S" + std::to_string(i) + ">\n";
  ExpectFault(sections + "</Language>\n", 0, "more than 256 sections");
}

TEST(LangSource, RejectsBrokenStructureWithItsLine) {
  ExpectFault(Document("<A value=\"1\"/>\n</Form>\n"), 4, "expected \"</Forms>\"");
  ExpectFault("<Language>\n<Forms>\n<A value=\"1\"/>\n</Forms>\n", 5, "end of the file");
  ExpectFault(Document("stray\n"), 3, "text outside a value");
  ExpectFault(Document("<A text=\"1\"/>\n"), 3, "only attribute");
  ExpectFault(Document("<A/>\n"), 3, "expected the attribute");
  ExpectFault(Document("<A value=\"1\"></A>\n"), 3, "must be empty");
  ExpectFault("<Language>\n<Forms>\n<A value=\"1", 3, "unterminated value");
  ExpectFault(Document("<A value=\"1\"/>\n<!-- open\n"), 4, "unterminated comment");
  ExpectFault("<Language>\n<Forms attr=\"1\">\n<A value=\"1\"/>\n</Forms>\n</Language>\n", 2,
              "no attributes");
  ExpectFault(Document("<A value=\"1\"/>\n") + "<Extra/>\n", 6, "after the closing root tag");
  ExpectFault(Document("<9A value=\"1\"/>\n"), 3, "expected a name");
}

TEST(LangIndex, ReadsUsesUnderTheirWindow) {
  const std::string text =
      "<!--\n"
      "  <Section>/<Key>   <component>: <use>\n"
      "  Forms/Early   before any window\n"
      "-->\n"
      "<Language>\n"
      "<!--\n"
      "window TfMessage: message box\n"
      "  Forms/Warning     leCaption: title of kind 2\n"
      "  free text with a/slash later\n"
      "-->\n"
      "<Forms>\n"
      "<!-- Forms/Yes   bButton2 -->\n"
      "<!-- window Print pages of both views: landscape\n Forms/Print   page -->\n"
      "<Warning value=\"Warning\"/>\n"
      "</Forms>\n"
      "</Language>\n";
  TLangSource source;
  std::string error;
  ASSERT_TRUE(ParseLangSource(text, source, error)) << error;
  std::vector<TLangUse> uses = ReadLangIndex(source);
  ASSERT_EQ(uses.size(), 4u);
  EXPECT_EQ(uses[0].Window, "");
  EXPECT_EQ(uses[0].Key, u"Early");
  EXPECT_EQ(uses[1].Window, "TfMessage");
  EXPECT_EQ(uses[1].Section, u"Forms");
  EXPECT_EQ(uses[1].Key, u"Warning");
  EXPECT_EQ(uses[1].Component, "leCaption: title of kind 2");
  EXPECT_EQ(uses[1].Line, 8);
  EXPECT_EQ(uses[2].Window, "TfMessage");  // a later comment keeps the window
  EXPECT_EQ(uses[2].Key, u"Yes");
  EXPECT_EQ(uses[2].Line, 12);
  EXPECT_EQ(uses[3].Window, "Print pages of both views");
  EXPECT_EQ(uses[3].Line, 14);
}
