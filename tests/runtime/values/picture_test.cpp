#include "runtime/values/picture.h"

#include <gtest/gtest.h>

#include "tests/runtime/values/test_values.h"

namespace ledora::runtime {
namespace {

constexpr int32_t k31Oct1959 = 58015;

std::unique_ptr<Picture> P(const char* text) {
  std::string error;
  auto picture = Picture::Compile(text, &error);
  EXPECT_NE(picture, nullptr) << text << ": " << error;
  return picture;
}

TEST(StringPictureTest, ShowsAtMostItsSize) {
  auto p = P("@s5");
  EXPECT_EQ(p->kind(), PictureString);
  EXPECT_EQ(p->width(), 5);
  EXPECT_EQ(p->Format(std::string_view("abcdefg")), "abcde");
  EXPECT_EQ(p->Format(std::string_view("ab   ")), "ab");
  EXPECT_EQ(p->Format(D("-12.50")), "-12.5");
  std::string text;
  ASSERT_TRUE(p->Deformat("Longer text", &text));
  EXPECT_EQ(text, "Longe");
  Decimal v;
  ASSERT_TRUE(p->Deformat(" 12 ", &v));
  EXPECT_EQ(v, Decimal(12));
  EXPECT_FALSE(p->Deformat("x", &v));
  for (const char* bad : {"@S", "@S0", "@Sabc", "@S12x", "@S99999999999"}) {
    EXPECT_EQ(Picture::Compile(bad), nullptr) << bad;
  }
}

TEST(PatternPictureTest, PageNumberClosesUp) {
  auto p = P("@pPage <<#p");
  EXPECT_EQ(p->kind(), PicturePattern);
  EXPECT_EQ(p->width(), 8);
  EXPECT_EQ(p->Format(Decimal(7)), "Page 7");
  EXPECT_EQ(p->Format(Decimal(123)), "Page 123");
  EXPECT_EQ(p->Format(Decimal(0)), "Page 0");
  EXPECT_EQ(p->Format(Decimal(-7)), "Page -7");
  EXPECT_EQ(p->Format(Decimal(1234)), "########");
  EXPECT_EQ(p->Format(D("6.5")), "Page 7");
}

TEST(PatternPictureTest, HashPositionsAlwaysPrint) {
  auto p = P("@P###-##-####P");
  EXPECT_EQ(p->Format(Decimal(123456789)), "123-45-6789");
  EXPECT_EQ(p->Format(Decimal(12)), "000-00-0012");
  EXPECT_EQ(p->Format(Decimal(-12)), "###########");  // no place for the sign
  EXPECT_EQ(P("@P<<#PB")->Format(Decimal(0)), "   ");
}

TEST(PatternPictureTest, DeformatReadsClosedUpAndPaddedText) {
  auto page = P("@pPage <<#p");
  Decimal v;
  ASSERT_TRUE(page->Deformat("Page 7", &v));
  EXPECT_EQ(v, Decimal(7));
  ASSERT_TRUE(page->Deformat("Page   7", &v));
  EXPECT_EQ(v, Decimal(7));
  ASSERT_TRUE(page->Deformat("Page -7", &v));
  EXPECT_EQ(v, Decimal(-7));
  EXPECT_FALSE(page->Deformat("Page x", &v));
  EXPECT_FALSE(page->Deformat("Page 1234", &v));
  EXPECT_FALSE(page->Deformat("Seite 7", &v));
  ASSERT_TRUE(P("@P###-##-####P")->Deformat("123-45-6789", &v));
  EXPECT_EQ(v, Decimal(123456789));
  EXPECT_EQ(Picture::Compile("@P###"), nullptr);
  EXPECT_EQ(Picture::Compile(("@P" + std::string(39, '#') + "P").c_str()), nullptr);
}

TEST(PictureTest, DispatchesOnTheCodeLetterInEitherCase) {
  EXPECT_EQ(P("@N-13.2")->kind(), PictureNumber);
  EXPECT_EQ(P("n4~%~")->kind(), PictureNumber);
  EXPECT_EQ(P("@S30")->kind(), PictureString);
  EXPECT_EQ(P("@d6")->kind(), PictureDate);
  EXPECT_EQ(P("@T4")->kind(), PictureTime);
  EXPECT_EQ(P("@P#P")->kind(), PicturePattern);
  EXPECT_EQ(P("@n-13.2          ")->width(), 13);  // as read from a padded field
  EXPECT_EQ(P("@d6    ")->kind(), PictureDate);
  EXPECT_EQ(P("@pPage <<#p   ")->Format(Decimal(7)), "Page 7");
  std::string error;
  EXPECT_EQ(Picture::Compile("@X10", &error), nullptr);
  EXPECT_NE(error.find('X'), std::string::npos);
  EXPECT_EQ(Picture::Compile("", &error), nullptr);
  EXPECT_EQ(Picture::Compile("@", &error), nullptr);
  EXPECT_EQ(Picture::Compile("@D19", &error), nullptr);
}

TEST(PictureTest, DatesAndTimesThroughThePicture) {
  EXPECT_EQ(P("@D1")->Format(Decimal(k31Oct1959)), "10/31/59");
  EXPECT_EQ(P("@D06.")->Format(Decimal(k31Oct1959)), "31.10.1959");
  EXPECT_EQ(P("@D2B")->Format(Decimal(0)), std::string(P("@D2B")->width(), ' '));
  EXPECT_EQ(P("@T4")->Format(Decimal(11 * 360000 + 30 * 6000 + 45 * 100 + 1)), "11:30:45");
  EXPECT_EQ(P("@D1")->Format(std::string_view("58015")), "10/31/59");
  EXPECT_EQ(P("@D1")->Format(std::string_view("31/10/1959 ")), "31/10/19");  // no such month
  EXPECT_EQ(P("@D6")->Format(std::string_view("31/10/1959 ")), "31/10/1959");
  Decimal v;
  ASSERT_TRUE(P("@D6")->Deformat("31/10/1959", &v));
  EXPECT_EQ(v, Decimal(k31Oct1959));
  // A value beyond 32 bits is no date, never a wrapped one.
  EXPECT_EQ(P("@D1")->Format(D("4294967296058015")), P("@D1")->Format(Decimal(-1)));
}

TEST(PictureTest, FormatsAndDeformatsFields) {
  uint8_t price[5];
  FieldRef priceRef = FieldRef::Packed(price, 5, 2);
  SetNumber(priceRef, D("1234.5"));
  EXPECT_EQ(P("@n-13.2")->Format(priceRef), "     1,234.50");
  ASSERT_TRUE(P("@n-13.2")->Deformat("-7.255", priceRef));
  EXPECT_EQ(GetText(priceRef), "-7.26");
  EXPECT_FALSE(P("@n-13.2")->Deformat("junk", priceRef));
  EXPECT_EQ(GetText(priceRef), "-7.26");

  int32_t date = 0;
  ASSERT_TRUE(P("@d6")->Deformat("31/10/1959", FieldRef::Date(date)));
  EXPECT_EQ(date, k31Oct1959);
  EXPECT_EQ(P("@d1")->Format(FieldRef::Date(date)), "10/31/59");

  char name[10];
  ASSERT_TRUE(P("@s4")->Deformat("Johnson", FieldRef::Of(name)));
  EXPECT_EQ(std::string(name, 10), "John      ");
  EXPECT_EQ(P("@s30")->Format(FieldRef::Of(name)), "John");
  int32_t page = 3;
  EXPECT_EQ(P("@pPage <<#p")->Format(FieldRef::Of(page)), "Page 3");
  EXPECT_FALSE(P("@n-13")->Deformat("1", FieldRef{}));
}

TEST(PictureTest, FormatWithPictureNeverHidesData) {
  int32_t n = 1234;
  EXPECT_EQ(FormatWithPicture("@n-13", FieldRef::Of(n)), "        1,234");
  EXPECT_EQ(FormatWithPicture("@n", FieldRef::Of(n)), "1234");
  EXPECT_EQ(FormatWithPicture("", FieldRef::Of(n)), "1234");
  char text[6] = {'a', 'b', ' ', ' ', ' ', ' '};
  EXPECT_EQ(FormatWithPicture("@Q", FieldRef::Of(text)), "ab");
}

}  // namespace
}  // namespace ledora::runtime
