#include "runtime/values/number_picture.h"

#include <gtest/gtest.h>

#include "tests/runtime/values/test_values.h"

namespace ledora::runtime {
namespace {

std::string Show(const char* picture, const char* value) {
  std::string error;
  auto p = Picture::Compile(picture, &error);
  if (!p) return "invalid: " + error;
  return p->Format(D(value));
}

TEST(NumberPictureTest, PicturesOfTheInvoicingForms) {
  EXPECT_EQ(Show("@n-13.2", "1234.5"), "     1,234.50");
  EXPECT_EQ(Show("@n-13.2", "-1234.5"), "    -1,234.50");
  EXPECT_EQ(Show("@n-13.2", "0.005"), "         0.01");
  EXPECT_EQ(Show("@n-13", "42"), "           42");
  EXPECT_EQ(Show("@n-13", "-1234567"), "   -1,234,567");
  EXPECT_EQ(Show("@n_6", "42"), "    42");
  EXPECT_EQ(Show("@n_6", "123456"), "123456");
  EXPECT_EQ(Show("@n4~%~", "50"), " 50%");
  EXPECT_EQ(Show("n4~%~", "100"), "100%");
}

TEST(NumberPictureTest, ValuesTooLargeShowAsHashes) {
  EXPECT_EQ(Show("@n_6", "1234567"), "######");
  EXPECT_EQ(Show("@n4~%~", "1000"), "####");
  EXPECT_EQ(Show("@N12.2", "1234567"), "1,234,567.00");
  EXPECT_EQ(Show("@N12.2", "12345678"), "############");
  EXPECT_EQ(Show("@N12.2", "-1234567"), "############");  // the sign needs a position
  EXPECT_EQ(Show("@N3.2", "1"), "###");
}

TEST(NumberPictureTest, NegativeWithoutSignStillShowsMinus) {
  EXPECT_EQ(Show("@n_6", "-5"), "    -5");
  EXPECT_EQ(Show("@N06", "-5"), "-00005");
}

TEST(NumberPictureTest, GroupingAndDecimalPointChoices) {
  EXPECT_EQ(Show("@N12.`2", "1234567.5"), "1.234.567,50");
  EXPECT_EQ(Show("@N12..2", "1234567.5"), "1.234.567.50");
  EXPECT_EQ(Show("@N12_.2", "1234567.5"), "1 234 567.50");
  EXPECT_EQ(Show("@N12-.2", "1234567.5"), "1-234-567.50");
  EXPECT_EQ(Show("@N12V2", "12.34"), "        1234");
  EXPECT_EQ(Show("@N12.0", "1234.5"), "       1,235");
  EXPECT_EQ(Show("@N12.2", "-0.4"), "       -0.40");
}

TEST(NumberPictureTest, FillsSuppressGrouping) {
  EXPECT_EQ(Show("@N012.2", "1234.5"), "000001234.50");
  EXPECT_EQ(Show("@N_12.2", "1234.5"), "     1234.50");
  EXPECT_EQ(Show("@N*12.2", "1234.5"), "*****1234.50");
  EXPECT_EQ(Show("@N-*12.2", "5"), " *******5.00");
  EXPECT_EQ(Show("@N-*12.2", "-5"), "-*******5.00");
  EXPECT_EQ(Show("@N-012", "-42"), "-00000000042");
}

TEST(NumberPictureTest, SignsPrefixSuffixAndBlankWhenZero) {
  EXPECT_EQ(Show("@N(10.2)", "-5"), "    (5.00)");
  EXPECT_EQ(Show("@N(10.2)", "5"), "     5.00 ");
  EXPECT_EQ(Show("@N10.2-", "-5"), "     5.00-");
  EXPECT_EQ(Show("@N10.2-", "5"), "     5.00 ");
  EXPECT_EQ(Show("@N~$~12.2", "5"), "       $5.00");
  EXPECT_EQ(Show("@N~EUR ~10.2~ net~", "5"), "##########");
  EXPECT_EQ(Show("@N~EUR ~14.2~ net~", "5"), "  EUR 5.00 net");
  EXPECT_EQ(Show("@N12.2B", "0"), std::string(12, ' '));
  EXPECT_EQ(Show("@N12.2b", "0.004"), std::string(12, ' '));  // rounds to zero
  EXPECT_EQ(Show("@N12.2B", "0.01"), "        0.01");
}

TEST(NumberPictureTest, CompileRefusesMalformedPictures) {
  for (const char* bad : {"@N", "@N~$~", "@Nx5", "@N~abc", "@N12.2x", "@N2.2", "@N999",
                          "@N12.2~%~5", "@N12.31", "@N.2", "@N12.2.2"}) {
    std::string error;
    EXPECT_EQ(Picture::Compile(bad, &error), nullptr) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(NumberPictureTest, WidthIsTheTotalSize) {
  EXPECT_EQ(Picture::Compile("@n-13.2")->width(), 13);
  EXPECT_EQ(Picture::Compile("@N~$~12.2")->width(), 12);
  EXPECT_EQ(Picture::Compile("@N-13.2")->kind(), PictureNumber);
}

bool Read(const char* picture, const char* text, Decimal* value) {
  return Picture::Compile(picture)->Deformat(text, value);
}

TEST(NumberPictureTest, DeformatReadsShownAndTypedText) {
  Decimal v;
  ASSERT_TRUE(Read("@n-13.2", "     1,234.50", &v));
  EXPECT_EQ(v, D("1234.5"));
  ASSERT_TRUE(Read("@n-13.2", " -1234.5 ", &v));
  EXPECT_EQ(v, D("-1234.5"));
  ASSERT_TRUE(Read("@n-13.2", "1.234", &v));
  EXPECT_EQ(v.ToString(), "1.23");
  ASSERT_TRUE(Read("@N(10.2)", "(12)", &v));
  EXPECT_EQ(v, Decimal(-12));
  ASSERT_TRUE(Read("@N10.2-", "12-", &v));
  EXPECT_EQ(v, Decimal(-12));
  ASSERT_TRUE(Read("@N12.`2", "1.234,5", &v));
  EXPECT_EQ(v, D("1234.5"));
  ASSERT_TRUE(Read("@N~$~12.2", "-$5", &v));
  EXPECT_EQ(v, Decimal(-5));
  ASSERT_TRUE(Read("n4~%~", "50%", &v));
  EXPECT_EQ(v, Decimal(50));
  ASSERT_TRUE(Read("@N12V2", "1234", &v));
  EXPECT_EQ(v, D("12.34"));
  ASSERT_TRUE(Read("@N12V2", "12.5", &v));
  EXPECT_EQ(v, D("12.5"));
  ASSERT_TRUE(Read("@N*12.2", "*****1234.50", &v));
  EXPECT_EQ(v, D("1234.5"));
  ASSERT_TRUE(Read("@n-13.2", "   ", &v));
  EXPECT_TRUE(v.IsZero());
}

TEST(NumberPictureTest, DeformatWhenGroupingAndPointShareTheMark) {
  Decimal v;
  ASSERT_TRUE(Read("@N12..0", "147.618.234", &v));
  EXPECT_EQ(v, Decimal(147618234));
  ASSERT_TRUE(Read("@N12..2", "1.234.567.50", &v));
  EXPECT_EQ(v, D("1234567.5"));
  ASSERT_TRUE(Read("@N12.V2", "7.834.84035", &v));
  EXPECT_EQ(v, D("7834840.35"));
}

TEST(NumberPictureTest, DeformatRefusesWhatIsNoNumberAndKeepsTarget) {
  Decimal v(7);
  for (const char* bad : {"abc", "1.2.3", "############", "12a", "--", "1 2", "$"}) {
    EXPECT_FALSE(Read("@n-13.2", bad, &v)) << bad;
  }
  EXPECT_EQ(v, Decimal(7));
}

TEST(NumberPictureTest, FormatFromTextReadsTheNumberInIt) {
  auto p = Picture::Compile("@n-13.2");
  EXPECT_EQ(p->Format(std::string_view("1,234.5")), "     1,234.50");
  EXPECT_EQ(p->Format(std::string_view("12 apples")), "        12.00");
}

}  // namespace
}  // namespace ledora::runtime
