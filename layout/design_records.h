// The records of the design database: report types, bands, data fields,
// fields on types and paper formats (definitions file), designs, content
// records and standard designs (designs file), with the export and import
// mirrors. The layout engine, the designer and import/export read and write
// these buffers directly.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "runtime/storage/file_declaration.h"
#include "runtime/values/record_layout.h"

namespace ledora::layout {

// Every table of the design database, by its label.
enum DesignTable : int {
  R_Types,
  R_Bands,
  R_Fields,
  R_TypeFields,
  R_Pformats,
  R_Design,
  R_Content,
  R_StdDesign,
  E_Design,
  E_Content,
  I_Types,
  I_Bands,
  I_Fields,
  I_TypeFields,
  kDesignTableCount,
};

#pragma pack(push, 1)

struct ReportTypeRecord {  // R_T, I_T
  enum Keys : int { TYPENUMBERKEY = 0, TYPENAMEKEY = 1 };
  int32_t TYPENUMBER;
  char TYPENAME[32];
  int32_t STANDARDDESIGN;
  uint8_t NUMBEROFDETAILS;
};

struct BandRecord {  // R_B, I_B
  enum Keys : int { TYPENUMBERKEY = 0, NAMEKEY = 1 };
  int32_t TYPENUMBER;
  uint8_t DETAILNUMBER;
  char DETAILNAME[32];
  uint8_t ABSOLUTE;
  uint8_t PAGEBEFORE;
  uint8_t PAGEAFTER;
  uint8_t WITHPRIOR;
  uint8_t WITHNEXT;
  int32_t XPOS;
  int32_t YPOS;
  int32_t WIDTH;
  int32_t HEIGHT;
};

struct DataFieldRecord {  // R_F, I_F
  enum Keys : int { FIELDNUMBERKEY = 0, FIELDNAMEKEY = 1, USERFIELDKEY = 2 };
  int32_t FIELDNUMBER;
  char USERFIELDNAME[32];
  char FIELDNAME[32];
  uint8_t FIELDTYPE;
  uint8_t BAND;
  char JUSTIFICATION[1];
  uint8_t RESIZABLE;
  char PICTURE[256];
};

struct TypeFieldRecord {  // R_O, I_O
  enum Keys : int { TYPEKEY = 0, FIELDKEY = 1 };
  int32_t TYPENUMBER;
  int32_t FIELDNUMBER;
};

struct PaperFormatRecord {  // R_P
  enum Keys : int { FORMATKEY = 0 };
  char FORMATNAME[40];
  char PAPERSCALE[20];
  char PAPERORIENTATION[20];
  int32_t PAPERWIDTH;
  int32_t PAPERHEIGHT;
};

struct DesignRecord {  // R_D, E_D
  enum Keys : int { DESIGNNUMBERKEY = 0, TYPEKEY = 1 };
  int32_t DESIGNNUMBER;
  int32_t TYPENUMBER;
  char DESIGNNAME[32];
};

struct ContentRecord {  // R_C, E_C
  enum Keys : int { DESIGNNUMBERKEY = 0, DESIGNNUMBERSEQ = 1 };
  int32_t DESIGNNUMBER;
  int32_t SEQUENCENUMBER;
  char RECORDTYPE[1];
  uint8_t BCTYPE;
  char THEDATA[500];
};

struct StdDesignRecord {  // R_S
  enum Keys : int { TYPENUMBERKEY = 0 };
  int32_t TYPENR;
  int32_t STANDARDDESIGN;
};

#pragma pack(pop)

static_assert(sizeof(ReportTypeRecord) == 41);
static_assert(sizeof(BandRecord) == 58);
static_assert(sizeof(DataFieldRecord) == 328);
static_assert(sizeof(TypeFieldRecord) == 8);
static_assert(sizeof(PaperFormatRecord) == 88);
static_assert(sizeof(DesignRecord) == 40);
static_assert(sizeof(ContentRecord) == 510);
static_assert(sizeof(StdDesignRecord) == 8);

extern ReportTypeRecord R_T;
extern BandRecord R_B;
extern DataFieldRecord R_F;
extern TypeFieldRecord R_O;
extern PaperFormatRecord R_P;
extern DesignRecord R_D;
extern ContentRecord R_C;
extern StdDesignRecord R_S;
extern DesignRecord E_D;
extern ContentRecord E_C;
extern ReportTypeRecord I_T;
extern BandRecord I_B;
extern DataFieldRecord I_F;
extern TypeFieldRecord I_O;

// The table's label ("R_Types"); empty for a number outside the enum.
std::string_view DesignTableLabel(DesignTable table);
// The field prefix ("R_T").
std::string_view DesignTablePrefix(DesignTable table);
// Layouts carry the table's own prefix: E_Design's fields are "E_D:...".
const runtime::RecordLayout& DesignTableLayout(DesignTable table);
void* DesignTableBuffer(DesignTable table);
// The keys as the storage driver declares them, in the order of Keys.
std::vector<runtime::KeyDeclaration> DesignTableKeys(DesignTable table);

}  // namespace ledora::layout
