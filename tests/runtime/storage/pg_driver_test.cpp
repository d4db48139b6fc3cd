// What only the PostgreSQL driver meets: a server it cannot reach, and a
// connection the server ends under it.
#include "runtime/storage/pg_driver.h"

#include <gtest/gtest.h>

#include "runtime/storage/pg_connection.h"
#include "runtime/system/runtime_error.h"
#include "tests/runtime/storage/engines.h"
#include "tests/runtime/storage/item_file.h"
#include "tests/support/pg_server.h"

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

// The server ends this station's connection, as a restart does.
class LostConnectionTest : public ::testing::Test {
 protected:
  LostConnectionTest()
      : schema(testing::FreshSchema()),
        here(testing::MakeDriver(testing::EnginePostgres, schema)),
        there(testing::MakeDriver(testing::EnginePostgres, schema)),
        mine(*here, "ITEMS"),
        theirs(*there, "ITEMS") {}
  void SetUp() override {
    ASSERT_EQ(mine->Create(), 0);
    ASSERT_EQ(mine->Open(), 0);
    ASSERT_EQ(theirs->Open(), 0);
    ASSERT_EQ(theirs->Send("Recover=0"), 0);
  }
  void Cut() {
    PgConnection& connection = static_cast<PgDriver&>(*here).connection();
    PgResult pid = connection.Run("SELECT pg_backend_pid()::int8");
    ASSERT_NE(pid, nullptr);
    PgParams params;
    params.Integer(PgInteger(pid.get(), 0, 0));
    ASSERT_NE(static_cast<PgDriver&>(*there).connection().Run(
                  "SELECT pg_terminate_backend($1::int4)", params),
              nullptr);
  }

  std::string schema;
  std::unique_ptr<StorageDriver> here, there;
  testing::ItemFile mine, theirs;
};

TEST_F(LostConnectionTest, ATransactionCutOffKeepsNothingAndTheNextOneConnectsAgain) {
  ASSERT_EQ(here->Mark(mine.file()), 0);
  ASSERT_EQ(here->Logout(1), 0);
  ASSERT_EQ(mine.Add(1, "one"), 0);
  Cut();
  EXPECT_EQ(mine.Add(2, "two"), ErrorServerNotFound);
  EXPECT_NE(CurrentError().fileErrorText.find("connection to the PostgreSQL server was lost"),
            std::string::npos)
      << CurrentError().fileErrorText;
  EXPECT_EQ(mine.Add(3, "three"), ErrorServerNotFound) << "never outside the transaction";
  EXPECT_NE(here->Commit(), 0);
  EXPECT_EQ(mine.Add(4, "four"), 0);
  EXPECT_EQ(theirs->Records(), 1);
}

TEST_F(LostConnectionTest, HoldsAndReservationsAreTakenAgainWithTheConnection) {
  ASSERT_EQ(mine.Add(1, "one"), 0);
  mine.Fill(2, "two");
  ASSERT_EQ(mine->AddReserved(), 0);
  ASSERT_EQ(mine->Hold(0), 0);
  ASSERT_EQ(mine->FetchAt("1"), 0);
  Cut();
  mine->Records();  // the one that finds the connection gone
  EXPECT_EQ(mine->Records(), 2);
  ASSERT_EQ(theirs->FetchAt("2"), 0);
  EXPECT_FALSE(theirs->Abandoned());
  ASSERT_EQ(theirs->Hold(0), 0);
  EXPECT_EQ(theirs->FetchAt("1"), ErrorRecordHeld);
}

}  // namespace
}  // namespace ledora::runtime
