#include "app/data_jobs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::app {
namespace {

const char kCustomerHeader[] =
    "CUS:CUSTOMERID,CUS:NAME,CUS:ADDRESS1,CUS:ADDRESS2,CUS:TELEFON,CUS:TELEFAX\n";

class DataJobsTest : public ::testing::Test {
 protected:
  DataJobsTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder.path());
  }
  ~DataJobsTest() override { std::filesystem::current_path(previous_); }

  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(folder.File(name), std::ios::binary) << text;
    return folder.File(name);
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  int Import(const std::string& file, const std::string& csv) {
    messages.str("");
    return ImportJob({file, Write("in.csv", csv)}, messages);
  }
  std::string Export(std::vector<std::string> args, int expected = JobDone) {
    std::ostringstream out;
    messages.str("");
    EXPECT_EQ(ExportJob(args, out, messages), expected) << messages.str();
    return out.str();
  }

  testing::TempFolder folder;
  testing::ScriptedMessages boxes;  // a job's messages must not become boxes
  std::ostringstream messages;

 private:
  std::filesystem::path previous_;
};

// ---------------------------------------------------------------- export

TEST_F(DataJobsTest, NameAndAddressOrderIgnoresCaseAndLeavesOutBlankCustomers) {
  ASSERT_EQ(Import("CUSTOMER", std::string(kCustomerHeader) + "1,smith,,,,\n"
                                                              "2,Adams,High St,,,\n"
                                                              "3,,,,555 1234,\n"
                                                              "4,BAKER,,,,\n"),
            JobDone)
      << messages.str();
  std::string csv = Export({"customer", "--key", "name and address"});
  EXPECT_EQ(csv, std::string(kCustomerHeader) +
                     "2,Adams,High St,,,\n"
                     "4,BAKER,,,,\n"
                     "1,smith,,,,\n");
  EXPECT_NE(Export({"CUSTOMER"}).find("3,,,,555 1234,\n"), std::string::npos);
}

TEST_F(DataJobsTest, ImportThenExportIsByteIdentical) {
  std::string customers = std::string(kCustomerHeader) +
                          "1,\"Smith, Jones & Co\",\"The \"\"Old\"\" Mill\",Zürich,+41 1,\n"
                          "2,  Leading blanks,\"two\nlines\",,,fax\n";
  ASSERT_EQ(Import("CUSTOMER", customers), JobDone) << messages.str();
  EXPECT_EQ(Export({"CUSTOMER", "--csv", folder.File("out.csv")}), "");
  EXPECT_EQ(Read(folder.File("out.csv")), customers);

  std::string invoices =
      "INV:NUMBER,INV:CUSTOMERID,INV:INVOICEDATE,INV:SALES\n"
      "1,1,2024-02-29,1234567.89\n"
      "2,2,,-0.05\n"
      "3,1,1801-01-01,0.00\n";
  ASSERT_EQ(Import("INVOICES", invoices), JobDone) << messages.str();
  EXPECT_EQ(Export({"INVOICES"}), invoices);
}

TEST_F(DataJobsTest, FilterSelectsRecordsAndABadFilterIsRefused) {
  ASSERT_EQ(Import("ITEMS", "ITE:ITEMNR,ITE:DESCRIPTION,ITE:PRICE\n1,Bolt,0.10\n2,Nut,0.05\n"),
            JobDone);
  EXPECT_EQ(Export({"ITEMS", "--filter", "ITE:PRICE < 0.08"}),
            "ITE:ITEMNR,ITE:DESCRIPTION,ITE:PRICE\n2,Nut,0.05\n");
  Export({"ITEMS", "--filter", "ITE:PRICE <"}, JobUsage);
  EXPECT_NE(messages.str().find("bad filter"), std::string::npos);
  Export({"ITEMS", "--filter", "ITE:NOSUCH = 1"}, JobUsage);
}

TEST_F(DataJobsTest, UnknownFilesKeysAndOptionsAreUsageErrors) {
  Export({"SUPPLIERS"}, JobUsage);
  EXPECT_NE(messages.str().find("unknown file SUPPLIERS"), std::string::npos);
  Export({"CUSTOMER", "--key", "Telephone"}, JobUsage);
  EXPECT_NE(messages.str().find("\"Name and Address\""), std::string::npos);
  Export({"CUSTOMER", "--sort"}, JobUsage);
  Export({"CUSTOMER", "--key"}, JobUsage);
  Export({}, JobUsage);
  EXPECT_EQ(ImportJob({"CUSTOMER"}, messages), JobUsage);
  EXPECT_EQ(ImportJob({"CUSTOMER", folder.File("missing.csv")}, messages), JobFailed);
}

// ---------------------------------------------------------------- import

TEST_F(DataJobsTest, EmptyOrZeroKeysAreNumberedAndGivenKeysKept) {
  ASSERT_EQ(
      Import("CUSTOMER", std::string(kCustomerHeader) + "10,Ten,,,,\n,Next,,,,\n0,After,,,,\n"),
      JobDone)
      << messages.str();
  EXPECT_EQ(Export({"CUSTOMER"}),
            std::string(kCustomerHeader) + "10,Ten,,,,\n11,Next,,,,\n12,After,,,,\n");
  // Line numbers count within each invoice.
  ASSERT_EQ(Import("INVOICEL",
                   "INVL:INVOICENR,INVL:LINENR,INVL:ITEMNR,INVL:QUANTITY,INVL:PRICE\n"
                   "1,,5,1,1.00\n1,0,6,2,2.00\n2,,7,3,3.00\n"),
            JobDone)
      << messages.str();
  std::string lines = Export({"INVOICEL"});
  EXPECT_NE(lines.find("1,2,6,2,2.00\n"), std::string::npos) << lines;
  EXPECT_NE(lines.find("2,1,7,3,3.00\n"), std::string::npos) << lines;
}

// The job cannot answer "Try Again?": it fails instead of asking for ever.
TEST_F(DataJobsTest, NoNumberAfterTheLargestFailsTheImport) {
  EXPECT_EQ(Import("CUSTOMER", std::string(kCustomerHeader) + "2147483647,Last,,,,\n,Next,,,,\n"),
            JobFailed);
  EXPECT_NE(messages.str().find("Auto Increment Error"), std::string::npos) << messages.str();
  EXPECT_EQ(Export({"CUSTOMER"}), kCustomerHeader) << "nothing added, no negative number";
}

TEST_F(DataJobsTest, DuplicateKeyNamesTheLineAndImportsNothing) {
  ASSERT_EQ(Import("CUSTOMER", std::string(kCustomerHeader) + "1,First,,,,\n"), JobDone);
  EXPECT_EQ(Import("CUSTOMER", std::string(kCustomerHeader) + "2,Second,,,,\n1,Again,,,,\n"),
            JobFailed);
  EXPECT_NE(messages.str().find("line 3: Duplicate Key Error: Adding this record creates a "
                                "duplicate entry for the key: ID number"),
            std::string::npos)
      << messages.str();
  EXPECT_EQ(Export({"CUSTOMER"}), std::string(kCustomerHeader) + "1,First,,,,\n");
}

TEST_F(DataJobsTest, BadValuesAreReportedByLineAndNothingIsAdded) {
  EXPECT_EQ(Import("INVOICES",
                   "INV:NUMBER,INV:CUSTOMERID,INV:INVOICEDATE,INV:SALES\n"
                   "1,1,2024-02-30,1.00\n"
                   "2,x1,2024-01-01,1.00\n"
                   "3,1,2024-01-01,1.005\n"
                   "4,1,1.1.2024,12345678901\n"
                   "5,1\n"
                   "6,99999999999,,\n"),
            JobFailed);
  std::string text = messages.str();
  for (const char* fault :
       {"line 2: INV:INVOICEDATE is not a date", "line 3: INV:CUSTOMERID is not a number",
        "line 4: INV:SALES has more than 2 decimals", "line 5: INV:INVOICEDATE is not a date",
        "line 5: INV:SALES is too large", "line 6: 2 values for 4 columns",
        "line 7: INV:CUSTOMERID is too large", "nothing imported"}) {
    EXPECT_NE(text.find(fault), std::string::npos) << fault << "\n" << text;
  }
  EXPECT_EQ(Export({"INVOICES"}), "INV:NUMBER,INV:CUSTOMERID,INV:INVOICEDATE,INV:SALES\n");
}

TEST_F(DataJobsTest, UnknownColumnsTextsTooLongAndOpenQuotesAreRefused) {
  EXPECT_EQ(Import("CUSTOMER", "CUS:CUSTOMERID,CUS:EMAIL\n1,a@b\n"), JobFailed);
  EXPECT_NE(messages.str().find("line 1: unknown column CUS:EMAIL"), std::string::npos);
  EXPECT_EQ(Import("CUSTOMER", "CUS:NAME\n" + std::string(36, 'x') + "\n"), JobFailed);
  EXPECT_NE(messages.str().find("longer than 35"), std::string::npos);
  EXPECT_EQ(Import("CUSTOMER", "CUS:NAME\n\"open\n"), JobFailed);
  EXPECT_NE(messages.str().find("line 2: a quoted value is never closed"), std::string::npos);
  EXPECT_EQ(Import("CUSTOMER", "CUS:NAME\n\xE2\x82\xAC ok\n\xE4\xB8\xAD\n"), JobFailed);
  EXPECT_NE(messages.str().find("line 3: CUS:NAME has characters outside"), std::string::npos);
}

}  // namespace
}  // namespace ledora::app
