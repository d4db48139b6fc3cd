// The records of the four invoicing files (customers, items, invoices,
// invoice lines), their layouts and their global record buffers. Browses,
// forms and report procedures read and write the files through these buffers.
#pragma once

#include <cstdint>

#include "runtime/values/record_layout.h"

namespace ledora::app {

#pragma pack(push, 1)

struct CustomerRecord {
  enum Keys : int { IDKEY = 0, NAMEADDRESSKEY = 1 };
  int32_t CUSTOMERID;
  char NAME[35];
  char ADDRESS1[30];
  char ADDRESS2[30];
  char TELEFON[20];
  char TELEFAX[30];
};

struct ItemRecord {
  enum Keys : int { ITEMNRKEY = 0, DESCRIPTIONKEY = 1 };
  int32_t ITEMNR;
  char DESCRIPTION[30];
  unsigned char PRICE[5];  // DECIMAL, 2 places
};

struct InvoiceRecord {
  enum Keys : int { NUMBERKEY = 0, CUSTOMERKEY = 1, DATEKEY = 2 };
  int32_t NUMBER;
  int32_t CUSTOMERID;
  int32_t INVOICEDATE;     // standard date
  unsigned char SALES[5];  // DECIMAL, 2 places
};

struct InvoiceLineRecord {
  enum Keys : int { LINENRKEY = 0 };
  int32_t INVOICENR;
  int32_t LINENR;
  int32_t ITEMNR;
  int32_t QUANTITY;
  unsigned char PRICE[5];  // DECIMAL, 2 places
};

#pragma pack(pop)

static_assert(sizeof(CustomerRecord) == 149);
static_assert(sizeof(ItemRecord) == 39);
static_assert(sizeof(InvoiceRecord) == 17);
static_assert(sizeof(InvoiceLineRecord) == 21);

// Prices and totals: packed DECIMAL of 5 bytes with 2 places.
inline constexpr int kMoneySize = 5;
inline constexpr int kMoneyPlaces = 2;

extern CustomerRecord CUS;
extern ItemRecord ITE;
extern InvoiceRecord INV;
extern InvoiceLineRecord INVL;

const runtime::RecordLayout& CustomerLayout();
const runtime::RecordLayout& ItemLayout();
const runtime::RecordLayout& InvoiceLayout();
const runtime::RecordLayout& InvoiceLineLayout();

}  // namespace ledora::app
