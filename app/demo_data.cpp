#include "app/demo_data.h"

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "app/invoicing_dictionary.h"
#include "runtime/storage/storage_driver.h"
#include "runtime/values/decimal.h"
#include "runtime/values/fixed_string.h"

namespace ledora::app {
namespace {

constexpr std::array kFirstNames = {"Anna",  "Bernd",  "Clara", "David",  "Eva",    "Frank",
                                    "Greta", "Hannes", "Ines",  "Jonas",  "Karin",  "Lukas",
                                    "Maria", "Niklas", "Olga",  "Peter",  "Rita",   "Stefan",
                                    "Tanja", "Uwe",    "Vera",  "Walter", "Yvonne", "Zoe"};
constexpr std::array kLastNames = {"Albrecht", "Becker",   "Dietrich", "Engel",  "Fischer",
                                   "Graf",     "Hoffmann", "Jung",     "Keller", "Lang",
                                   "Meier",    "Neumann",  "Otto",     "Peters", "Richter",
                                   "Schmidt",  "Vogel",    "Wagner",   "Weber",  "Zimmermann"};
constexpr std::array kCompanies = {"Bakery",   "Garage", "Print Shop", "Flowers",
                                   "Hardware", "Optics", "Books",      "Catering"};
constexpr std::array kStreets = {"Main Street",   "Station Road", "Church Lane", "Mill Way",
                                 "Market Square", "Park Avenue",  "River Road",  "Oak Street",
                                 "High Street",   "Garden Lane"};
constexpr std::array kCities = {"Springfield", "Riverside", "Fairview", "Kingston",
                                "Greenville",  "Bristol",   "Clinton",  "Madison"};

struct Product {
  const char* description;
  int cents;
};
constexpr std::array<Product, 30> kProducts = {{
    {"Copy paper A4, 500 sheets", 549},
    {"Ballpoint pens, box of 10", 399},
    {"Stapler", 1290},
    {"Staples, 5000", 249},
    {"Ring binder, blue", 319},
    {"Ring binder, red", 319},
    {"Envelopes C5, 100", 799},
    {"Printer toner, black", 6990},
    {"Printer toner, colour", 8990},
    {"Desk lamp", 3450},
    {"Office chair", 18900},
    {"Filing cabinet", 24500},
    {"Whiteboard 90x60", 5900},
    {"Whiteboard markers, 4", 699},
    {"Sticky notes, 12 pads", 899},
    {"Scissors", 549},
    {"Calculator", 1990},
    {"Hole punch", 1450},
    {"Paper clips, 1000", 399},
    {"Label printer", 7900},
    {"Labels, 3 rolls", 2490},
    {"USB stick 32 GB", 1290},
    {"Keyboard", 2990},
    {"Mouse", 1990},
    {"Monitor 24 inch", 16900},
    {"Notebook A5, ruled", 299},
    {"Archive boxes, 10", 1990},
    {"Correction tape", 249},
    {"Highlighters, 6", 549},
    {"Letter tray", 899},
}};

constexpr int32_t kTwoYears = 730;

class Generator {
 public:
  explicit Generator(uint32_t seed) : engine_(seed) {}
  // Uniform in [low, high]; plain modulo keeps the data the same everywhere.
  int Between(int low, int high) {
    return low + static_cast<int>(engine_() % static_cast<uint32_t>(high - low + 1));
  }
  template <typename Array>
  const char* Pick(const Array& names) {
    return names[Between(0, static_cast<int>(names.size()) - 1)];
  }

 private:
  std::mt19937 engine_;
};

int64_t CountRecords(data::FileManager* manager) {
  if (manager->Open() != 0) return -1;
  int64_t count = manager->MakeUsable() == 0 ? manager->CurrentFile().Records() : -1;
  manager->Close();
  return count;
}

bool AllEmpty(bool& failed) {
  for (data::FileManager* manager :
       {Access_CUSTOMER, Access_ITEMS, Access_INVOICES, Access_INVOICEL}) {
    int64_t count = CountRecords(manager);
    if (count < 0) failed = true;
    if (count != 0) return false;
  }
  return true;
}

std::string CustomerName(Generator& random, int index) {
  std::string name = std::string(random.Pick(kFirstNames)) + " " + random.Pick(kLastNames);
  // Every fourth customer is a business, named after its owner.
  if (index % 4 == 3) name = std::string(random.Pick(kLastNames)) + " " + random.Pick(kCompanies);
  return name;
}

std::string PhoneNumber(Generator& random) {
  return "0" + std::to_string(random.Between(20, 99)) + " " +
         std::to_string(random.Between(100000, 999999));
}

bool AddCustomers(Generator& random, int count, std::vector<int32_t>& ids) {
  for (int i = 0; i < count; ++i) {
    Access_CUSTOMER->PrimeRecord();
    runtime::AssignPadded(CUS.NAME, CustomerName(random, i));
    runtime::AssignPadded(CUS.ADDRESS1,
                          std::to_string(random.Between(1, 120)) + " " + random.Pick(kStreets));
    runtime::AssignPadded(
        CUS.ADDRESS2, std::to_string(random.Between(10000, 99999)) + " " + random.Pick(kCities));
    runtime::AssignPadded(CUS.TELEFON, PhoneNumber(random));
    runtime::AssignPadded(CUS.TELEFAX, i % 3 == 0 ? PhoneNumber(random) : std::string());
    if (Access_CUSTOMER->Insert() != 0) return false;
    ids.push_back(CUS.CUSTOMERID);
  }
  return true;
}

bool AddItems(int count, std::vector<int32_t>& numbers, std::vector<runtime::Decimal>& prices) {
  for (int i = 0; i < count; ++i) {
    const Product& product = kProducts[i % kProducts.size()];
    Access_ITEMS->PrimeRecord();
    runtime::AssignPadded(ITE.DESCRIPTION, product.description);
    runtime::Decimal price = runtime::Decimal::FromUnits(product.cents, kMoneyPlaces);
    runtime::PackDecimal(price, ITE.PRICE, kMoneySize, kMoneyPlaces);
    if (Access_ITEMS->Insert() != 0) return false;
    numbers.push_back(ITE.ITEMNR);
    prices.push_back(price);
  }
  return true;
}

struct Line {
  int32_t item;
  int32_t quantity;
  runtime::Decimal total;
};

// The invoice goes in first so that its lines can carry its number.
bool AddInvoice(int32_t customer, int32_t date, const std::vector<Line>& lines) {
  runtime::Decimal sales;
  for (const Line& line : lines) sales = sales + line.total;
  Access_INVOICES->PrimeRecord();
  INV.CUSTOMERID = customer;
  INV.INVOICEDATE = date;
  runtime::PackDecimal(sales, INV.SALES, kMoneySize, kMoneyPlaces);
  if (Access_INVOICES->Insert() != 0) return false;
  for (const Line& line : lines) {
    Access_INVOICEL->ClearRecord();
    INVL.INVOICENR = INV.NUMBER;
    INVL.ITEMNR = line.item;
    INVL.QUANTITY = line.quantity;
    runtime::PackDecimal(line.total, INVL.PRICE, kMoneySize, kMoneyPlaces);
    if (Access_INVOICEL->Insert() != 0) return false;
  }
  return true;
}

bool AddInvoices(Generator& random, int32_t today, const DemoSize& size,
                 const std::vector<int32_t>& customers, const std::vector<int32_t>& items,
                 const std::vector<runtime::Decimal>& prices) {
  if (customers.empty() || items.empty()) return size.invoices <= 0;
  // Numbers should rise with the dates, as they would in a real business.
  std::vector<int32_t> dates;
  for (int i = 0; i < size.invoices; ++i) dates.push_back(today - random.Between(0, kTwoYears));
  std::sort(dates.begin(), dates.end());
  for (int32_t date : dates) {
    std::vector<Line> lines(random.Between(1, std::max(1, size.maxLines)));
    for (Line& line : lines) {
      int pick = random.Between(0, static_cast<int>(items.size()) - 1);
      line.item = items[pick];
      line.quantity = random.Between(1, 12);
      line.total = prices[pick] * runtime::Decimal(line.quantity);
    }
    int32_t customer = customers[random.Between(0, static_cast<int>(customers.size()) - 1)];
    if (!AddInvoice(customer, date, lines)) return false;
  }
  return true;
}

}  // namespace

DemoResult FillDemoData(int32_t today, uint32_t seed, const DemoSize& size) {
  bool failed = false;
  if (!AllEmpty(failed)) return failed ? DemoFailed : DemoNotEmpty;
  Generator random(seed);
  std::vector<int32_t> customers, items;
  std::vector<runtime::Decimal> prices;
  const std::array<data::FileManager*, 4> managers = {Access_CUSTOMER, Access_ITEMS,
                                                      Access_INVOICES, Access_INVOICEL};
  bool usable = true;
  for (data::FileManager* manager : managers) {
    manager->Open();
    usable = usable && manager->MakeUsable() == 0;
  }
  if (!usable) {
    for (data::FileManager* manager : managers) manager->Close();
    return DemoFailed;
  }
  // One transaction: the sample data goes in whole or not at all, and far
  // faster than one commit per record.
  runtime::StorageDriver& driver = Access_CUSTOMER->CurrentFile().driver();
  bool framed = true;
  for (data::FileManager* manager : managers) {
    framed = framed && driver.Mark(manager->CurrentFile()) == 0;
  }
  framed = framed && driver.Logout(10) == 0;
  bool ok = AddCustomers(random, size.customers, customers) &&
            AddItems(size.items, items, prices) &&
            AddInvoices(random, today, size, customers, items, prices);
  if (framed) ok = ok ? driver.Commit() == 0 : (driver.Rollback(), false);
  for (data::FileManager* manager : managers) manager->Close();
  return ok ? DemoFilled : DemoFailed;
}

}  // namespace ledora::app
