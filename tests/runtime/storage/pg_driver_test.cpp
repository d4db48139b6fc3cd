// What only the PostgreSQL driver meets: a server it cannot reach.
#include "runtime/storage/pg_driver.h"

#include <gtest/gtest.h>

#include "runtime/system/runtime_error.h"
#include "tests/runtime/storage/item_file.h"

namespace ledora::runtime {
namespace {

TEST(PgDriverTest, AServerThatCannotBeReachedIsNamedAndNothingOpens) {
  PgDriver driver;
  EXPECT_EQ(driver.Connect("postgresql:///ledora?host=/no/such/folder&connect_timeout=2"),
            ErrorServerNotFound);
  EXPECT_NE(CurrentError().fileErrorText.find("/no/such/folder"), std::string::npos)
      << CurrentError().fileErrorText;
  testing::ItemFile items(driver, "ITEMS");
  EXPECT_EQ(items->Open(), ErrorServerNotFound);
  EXPECT_EQ(items->Create(), ErrorServerNotFound);
  EXPECT_EQ(driver.Logout(1), ErrorFileNotOpen);
  EXPECT_EQ(driver.Connect("not a url at all"), ErrorServerNotFound);
}

}  // namespace
}  // namespace ledora::runtime
