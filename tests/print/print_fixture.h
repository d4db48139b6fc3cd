// A data folder with sample invoicing data for running `ledora print` as a
// user's script does: the program itself, in that folder, its output files
// read back with pdftotext. The print command tests share it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace ledora::testing {

struct SampleItem {
  std::string number, description, price;  // as their pictures show them
};
struct SampleInvoice {
  int32_t number = 0;
  std::string date, sales, customer;
  std::vector<std::string> linePrices;
};

class PrintFixture : public ::testing::Test {
 protected:
  // Fills data_ with the sample data and reads back what the reports show.
  void SetUp() override;

  struct Run {
    int status = -1;
    std::string out, err;
  };
  // Runs `ledora print ARGS` in data_; env goes before the command.
  Run Print(const std::string& args, const std::string& env = "");
  // Runs `ledora ARGS` in data_.
  Run Ledora(const std::string& args, const std::string& env = "");
  // The text of a PDF file, pages separated by form feeds.
  static std::string PdfText(const std::string& pdf);
  static int Pages(const std::string& text);

  TempFolder data_;
  std::vector<SampleItem> items_;
  std::vector<std::string> customerNames_, customerIds_, telefax_;
  std::vector<SampleInvoice> invoices_;
};

}  // namespace ledora::testing
