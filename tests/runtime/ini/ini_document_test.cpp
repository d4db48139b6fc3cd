#include "runtime/ini/ini_document.h"

#include <gtest/gtest.h>

namespace ledora::runtime {
namespace {

TEST(IniDocumentReadTest, SectionAndKeyMatchWithoutRegardToCase) {
  IniDocument doc = IniDocument::Parse("[_PreviewWindow_]\nXPos=12\n");
  EXPECT_EQ(doc.Get("_previewwindow_", "XPOS"), "12");
}

TEST(IniDocumentReadTest, AccentedNamesMatchAcrossCase) {
  IniDocument doc = IniDocument::Parse("[\xC9t\xC9]\nCl\xC9=1\n");  // ÉtÉ, ClÉ
  EXPECT_EQ(doc.Get("\xE9t\xE9", "cl\xE9"), "1");
  EXPECT_EQ(doc.Get("Ete", "Cle"), std::nullopt);
}

TEST(IniDocumentReadTest, ValueAndNamesAreTrimmed) {
  IniDocument doc = IniDocument::Parse("  [ Box ]  \r\n  Width =  105 \t\r\nEmpty=\r\n");
  EXPECT_EQ(doc.Get("Box", "Width"), "105");
  EXPECT_EQ(doc.Get("Box", "Empty"), "");
}

TEST(IniDocumentReadTest, CommentsBlankAndMalformedLinesAreSkipped) {
  IniDocument doc = IniDocument::Parse("[S]\n;A=commented\n\nno equals sign\n=no key\nB=2\n");
  EXPECT_EQ(doc.Get("S", "A"), std::nullopt);
  EXPECT_EQ(doc.Get("S", "no equals sign"), std::nullopt);
  EXPECT_EQ(doc.Get("S", "B"), "2");
  EXPECT_EQ(doc.KindOfLine(1), IniComment);
  EXPECT_EQ(doc.KindOfLine(2), IniBlank);
  EXPECT_EQ(doc.KindOfLine(3), IniMalformed);
  EXPECT_EQ(doc.KindOfLine(4), IniMalformed);
}

TEST(IniDocumentReadTest, EntriesUnderABrokenHeaderBelongToNoSection) {
  IniDocument doc = IniDocument::Parse("[Good]\nA=1\n[Broken\nB=2\n[Good2]\nC=3\n");
  EXPECT_EQ(doc.Get("Good", "B"), std::nullopt);
  EXPECT_EQ(doc.Get("Broken", "B"), std::nullopt);
  EXPECT_EQ(doc.Get("Good2", "C"), "3");
}

TEST(IniDocumentReadTest, EntriesBeforeTheFirstSectionAreNeverFound) {
  IniDocument doc = IniDocument::Parse("A=1\n[S]\n");
  EXPECT_EQ(doc.Get("", "A"), std::nullopt);
  EXPECT_EQ(doc.Get("S", "A"), std::nullopt);
}

TEST(IniDocumentReadTest, FirstOfRepeatedKeysWinsAcrossRepeatedSections) {
  IniDocument doc = IniDocument::Parse("[S]\nA=1\nA=2\n[T]\n[s]\nB=3\n");
  EXPECT_EQ(doc.Get("S", "A"), "1");
  EXPECT_EQ(doc.Get("S", "B"), "3");
}

TEST(IniDocumentReadTest, ByteOrderMarkBeforeFirstHeaderIsIgnored) {
  IniDocument doc = IniDocument::Parse("\xEF\xBB\xBF[S]\nA=1\n");
  EXPECT_EQ(doc.Get("S", "A"), "1");
}

TEST(IniDocumentReadTest, TextAfterTheClosingBracketIsIgnored) {
  IniDocument doc = IniDocument::Parse("[S] ; note\nA=1\n");
  EXPECT_EQ(doc.Get("S", "A"), "1");
}

TEST(IniDocumentWriteTest, ChangingAValueKeepsEveryOtherLineByteForByte) {
  const std::string before =
      "; settings\r\n[A]\r\nX = 1  \r\n  trailing   \r\n\r\n[B]\r\nY=\x80\xE9\r\nbroken[\r\n";
  IniDocument doc = IniDocument::Parse(before);
  ASSERT_TRUE(doc.Set("a", "x", "22"));
  EXPECT_EQ(doc.Serialize(),
            "; settings\r\n[A]\r\nX = 22\r\n  trailing   \r\n\r\n[B]\r\nY=\x80\xE9\r\nbroken[\r\n");
  EXPECT_EQ(doc.Get("B", "Y"), "\x80\xE9");
}

TEST(IniDocumentWriteTest, NewKeyGoesAfterTheLastFilledLineOfItsSection) {
  IniDocument doc = IniDocument::Parse("[A]\nX=1\n\n[B]\nY=2\n");
  ASSERT_TRUE(doc.Set("A", "Z", "3"));
  EXPECT_EQ(doc.Serialize(), "[A]\nX=1\nZ=3\n\n[B]\nY=2\n");
}

TEST(IniDocumentWriteTest, NewSectionGoesAtTheEnd) {
  IniDocument doc = IniDocument::Parse("[A]\r\nX=1");
  ASSERT_TRUE(doc.Set("New", "K", "v"));
  EXPECT_EQ(doc.Serialize(), "[A]\r\nX=1\r\n[New]\r\nK=v\r\n");
  EXPECT_EQ(doc.Get("new", "k"), "v");
}

TEST(IniDocumentWriteTest, EmptyDocumentGetsItsFirstSection) {
  IniDocument doc;
  ASSERT_TRUE(doc.Set("S", "K", ""));
  EXPECT_EQ(doc.Serialize(), "[S]\nK=\n");
  EXPECT_EQ(doc.Get("S", "K"), "");
}

TEST(IniDocumentWriteTest, KeyUnderABrokenHeaderIsNotOverwritten) {
  IniDocument doc = IniDocument::Parse("[S\nK=old\n");
  ASSERT_TRUE(doc.Set("S", "K", "new"));
  EXPECT_EQ(doc.Serialize(), "[S\nK=old\n[S]\nK=new\n");
}

TEST(IniDocumentWriteTest, TextThatWouldBreakTheLineStructureIsRefused) {
  const std::string before = "[S]\nK=1\n";
  IniDocument doc = IniDocument::Parse(before);
  EXPECT_FALSE(doc.Set("S", "K", "two\nlines"));
  EXPECT_FALSE(doc.Set("S", "K=", "1"));
  EXPECT_FALSE(doc.Set("S", ";K", "1"));
  EXPECT_FALSE(doc.Set("S", "  ", "1"));
  EXPECT_FALSE(doc.Set("S]", "K", "1"));
  EXPECT_FALSE(doc.Set("", "K", "1"));
  EXPECT_FALSE(doc.Set("S\r", "K", "1"));
  EXPECT_EQ(doc.Serialize(), before);
}

TEST(IniDocumentWriteTest, ValueWithEqualsSignAndBlanksInsideRoundTrips) {
  IniDocument doc;
  ASSERT_TRUE(doc.Set("S", "Key with blanks", "a = b ; c"));
  EXPECT_EQ(IniDocument::Parse(doc.Serialize()).Get("S", "key with blanks"), "a = b ; c");
}

}  // namespace
}  // namespace ledora::runtime
