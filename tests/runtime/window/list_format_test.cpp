#include "runtime/window/list_format.h"

#include <gtest/gtest.h>

namespace ledora::runtime {
namespace {

ListFormat MustParse(std::string_view text) {
  ListFormat format;
  std::string error;
  EXPECT_TRUE(ListFormat::Parse(text, &format, &error)) << text << ": " << error;
  return format;
}

TEST(ListFormatTest, CustomerBrowseColumns) {
  ListFormat f = MustParse(
      "45R(2)|M~Customer ID~C(0)@n-13@80L(2)|M~Name~@s35@80L(2)|M~Address 1~@s30@80L(2)|M~"
      "Address 2~@s30@80L(2)|M~Telephone~@s20@80L(2)|M~Telefax~@s30@");
  ASSERT_EQ(f.columns().size(), 6u);
  const ListColumn& id = f.columns()[0];
  EXPECT_EQ(id.width, 45);
  EXPECT_EQ(id.justification, JustifyRight);
  EXPECT_EQ(id.indent, 2);
  EXPECT_TRUE(id.rightBorder);
  EXPECT_TRUE(id.resizable);
  EXPECT_EQ(id.header, "Customer ID");
  EXPECT_EQ(id.headerJustification, JustifyCentre);
  EXPECT_EQ(id.headerIndent, 0);
  EXPECT_EQ(id.picture, "@n-13");
  const ListColumn& name = f.columns()[1];
  EXPECT_EQ(name.header, "Name");
  EXPECT_EQ(name.justification, JustifyLeft);
  EXPECT_EQ(name.headerJustification, JustifyLeft) << "a header without its own follows the data";
  EXPECT_EQ(name.picture, "@s35");
  EXPECT_EQ(f.columns()[5].header, "Telefax");
}

TEST(ListFormatTest, DecimalColumnAndHeaderWithoutIndent) {
  ListFormat items = MustParse(
      "60R(2)|M~Item Nr~C(0)@n-13@80L(2)|M~Description~L(2)@s30@60D(26)|M~Price~C(0)@n-13.2@");
  ASSERT_EQ(items.columns().size(), 3u);
  EXPECT_EQ(items.columns()[1].headerJustification, JustifyLeft);
  EXPECT_EQ(items.columns()[1].headerIndent, 2);
  EXPECT_EQ(items.columns()[2].justification, JustifyDecimal);
  EXPECT_EQ(items.columns()[2].indent, 26);
  EXPECT_EQ(items.columns()[2].picture, "@n-13.2");

  ListFormat invoices = MustParse(
      "39R(2)|M~Invoice nr.~C(0)@n_6@36R(2)|M~Cust. nr.~C(0)@n_6@111L(2)|M~Name~C(0)@s35@40R(2)|"
      "M~Date~C(0)@d17@60R|M~Sales amount~C@n-13.2@");
  ASSERT_EQ(invoices.columns().size(), 5u);
  const ListColumn& sales = invoices.columns()[4];
  EXPECT_EQ(sales.width, 60);
  EXPECT_EQ(sales.indent, 0);
  EXPECT_EQ(sales.headerJustification, JustifyCentre);
  EXPECT_EQ(sales.picture, "@n-13.2");
  EXPECT_EQ(invoices.columns()[3].picture, "@d17");
  EXPECT_EQ(invoices.columns()[0].picture, "@n_6");
}

TEST(ListFormatTest, SelectInvoiceAndLinesFormats) {
  EXPECT_EQ(MustParse("37R(2)|M~Invoice nr.~L(0)@n_13@36R(2)|M~Date~L(1)@d17@35R(2)|M~Cust. "
                      "ID~L(1)@n_13@88R(2)|M~Name~L(1)@s35@60R(2)|M~Sales amount~L(1)@n-13.2@")
                .columns()[1]
                .headerIndent,
            1);
  EXPECT_EQ(MustParse("33R(2)|M~Line Nr~C(0)@n-13@35R(2)|M~Item Nr~C(0)@n-13@120L(2)|M~"
                      "Description~C(0)@s30@49R(2)|M~Quantity~C(0)@n-13@60R|M~Price~C@n-13.2@")
                .columns()
                .size(),
            5u);
}

TEST(ListFormatTest, PictureMayHoldTildesAndColumnsMayLackParts) {
  ListFormat f = MustParse("50R@n~$~10.2@20L30C~Total~");
  ASSERT_EQ(f.columns().size(), 3u);
  EXPECT_EQ(f.columns()[0].picture, "@n~$~10.2");
  EXPECT_EQ(f.columns()[0].header, "");
  EXPECT_EQ(f.columns()[1].picture, "");
  EXPECT_EQ(f.columns()[2].header, "Total");
}

TEST(ListFormatTest, GroupsAndFlags) {
  ListFormat f = MustParse("[20L_F~A~30R?~B~]|M~Both~C20L*Z(3)S(200)#5#");
  ASSERT_EQ(f.columns().size(), 3u);
  ASSERT_EQ(f.groups().size(), 1u);
  EXPECT_EQ(f.groups()[0].header, "Both");
  EXPECT_EQ(f.groups()[0].headerJustification, JustifyCentre);
  EXPECT_TRUE(f.groups()[0].rightBorder);
  EXPECT_EQ(f.columns()[0].group, 1);
  EXPECT_TRUE(f.columns()[0].underline);
  EXPECT_TRUE(f.columns()[0].fixed);
  EXPECT_TRUE(f.columns()[1].locator);
  EXPECT_EQ(f.columns()[2].group, 0);
  EXPECT_TRUE(f.columns()[2].colours);
}

TEST(ListFormatTest, MalformedFormatsFailWithAPosition) {
  for (std::string_view bad : {"R(2)", "45X", "45R(2", "45R~Name", "45R@n-13", "[45R", "[]",
                               "45R(x)", "45R|M~A~C(0)@n5@!", "99999999999R"}) {
    ListFormat f;
    std::string error;
    EXPECT_FALSE(ListFormat::Parse(bad, &f, &error)) << bad;
    EXPECT_NE(error.find("position"), std::string::npos) << bad << ": " << error;
    EXPECT_TRUE(f.empty());
  }
  ListFormat none;
  EXPECT_TRUE(ListFormat::Parse("", &none));
  EXPECT_TRUE(none.empty());
}

}  // namespace
}  // namespace ledora::runtime
