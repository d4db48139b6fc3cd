#include "runtime/system/runtime_error.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

namespace ledora::runtime {

namespace {

struct ErrorText {
  int32_t code;
  std::string_view text;
};

// Sorted by code: RuntimeErrorText searches it by halves.
constexpr ErrorText kErrorTexts[] = {
    // Storage.
    {2, "File Not Found"},
    {3, "Path Not Found"},
    {4, "Too Many Open Files"},
    {5, "Access Denied"},
    {7, "Memory Corrupted"},
    {8, "Insufficient Memory"},
    {30, "Entry Not Found"},
    {32, "File Is Already Locked"},
    {33, "Record Not Available"},
    {35, "Record Not Found"},
    {36, "Invalid Data File"},
    {37, "File Not Open"},
    {38, "Invalid Key File"},
    {40, "Creates Duplicate Key"},
    {43, "Record Is Already Held"},
    {45, "Invalid Filename"},
    {46, "Key File Must Be Rebuilt"},
    {47, "Invalid Record Declaration"},
    {48, "Unable To Log Transaction"},
    {52, "File Already Open"},
    {53, "Invalid Veltra File"},
    {54, "No Create Attribute"},
    {55, "File Must Be Shared"},
    {56, "LOGOUT Already Active"},
    {57, "Invalid Memo File"},
    {63, "Exclusive Access Required"},
    {64, "Sharing Violation"},
    {65, "Unable To ROLLBACK Transaction"},
    {73, "Memo File Missing"},
    {75, "Invalid Field Type Descriptor"},
    {76, "Invalid Index String"},
    {77, "Unable To Access Index"},
    {78, "Invalid Number Of Parameters "},
    {79, "Unsupported Data Type In File"},
    {80, "Unsupported File Driver Function"},
    {81, "Unknown Error Posted"},
    {88, "Invalid Key Length"},
    {89, "Record Changed By Another Station"},
    {90, "File System Error"},
    {91, "LOGOUT Not Active"},
    {92, "BUILD In Progress"},
    {93, "BUILD Cancelled"},
    {95, "Server Not Found"},
    {96, "Remote Object Not Found"},
    // Operating system: its error number plus 300.
    {301, "Invalid Function"},
    {302, "File Not Found"},
    {303, "Path Not Found"},
    {304, "Too Many Open Files"},
    {305, "Access Denied"},
    {306, "Invalid Handle"},
    {307, "Memory Control Blocks Destroyed"},
    {308, "Insufficient Memory"},
    {309, "Invalid Memory Block Address"},
    {310, "Invalid Environment"},
    {311, "Invalid Format"},
    {312, "Invalid Access Code"},
    {313, "Invalid Data"},
    {314, "Out Of Memory"},
    {315, "Invalid Drive"},
    {316, "Cannot Remove Current Directory"},
    {317, "Not Same Device"},
    {318, "No More Files"},
    {319, "Disk Is Write Protected"},
    {320, "Unknown Unit"},
    {321, "Drive Not Ready"},
    {322, "Unknown Command"},
    {323, "Data Error (CRC)"},
    {324, "Bad Request Length"},
    {325, "Seek Error"},
    {326, "Unknown Media Type"},
    {327, "Sector Not Found"},
    {328, "Printer Out Of Paper"},
    {329, "Write Fault"},
    {330, "Read Fault"},
    {331, "General Failure"},
    {332, "Sharing Violation"},
    {333, "Lock Violation"},
    {334, "Wrong Disk"},
    {336, "Sharing Buffer Exceeded"},
    {338, "Reached End Of File"},
    {339, "Disk Full"},
    {350, "Network Request Not Supported"},
    {351, "Remote Computer Not Listening"},
    {352, "Duplicate Name On Network"},
    {353, "Network Path Not Found"},
    {354, "Network Busy"},
    {355, "Network Device No Longer Exists"},
    {356, "Network Command Limit Reached"},
    {357, "Network Adapter Hardware Error"},
    {358, "Incorrect Network Response"},
    {359, "Unexpected Network Error"},
    {360, "Incompatible Remote Adapter"},
    {361, "Print Queue Full"},
    {362, "No Space For Print File"},
    {363, "Print File Deleted"},
    {364, "Network Name Deleted"},
    {365, "Network Access Denied"},
    {366, "Incorrect Network Device Type"},
    {367, "Network Name Not Found"},
    {368, "Network Name Limit Exceeded"},
    {369, "Network Session Limit Exceeded"},
    {370, "Sharing Temporarily Paused"},
    {371, "Network Request Not Accepted"},
    {372, "Print Or Disk Redirection Paused"},
    {380, "File Already Exists"},
    {382, "Cannot Make Directory Entry"},
    {383, "Critical Error Handler Failed"},
    {384, "Too Many Redirections"},
    {385, "Duplicate Redirection"},
    {386, "Invalid Password"},
    {387, "Invalid Parameter"},
    {388, "Network Write Fault"},
    {389, "No Process Slots Available"},
    // Run-time faults.
    {401, "Stack overflow"},
    {402, "Null pointer de-reference"},
    {403, "Arithmetic Overflow"},
    {404, "Variable out of range"},
    {405, "No return value from function"},
    {406, "No matching Case Label"},
    {407, "Long Integer Divide By Zero"},
    {408, "Index out of range"},
    {409, "Pure Virtual Function Called"},
    {410, "Invalid Object Reference"},
    // Internal.
    {501, "Internal error 01"},
    {502, "Internal error 02"},
    {503, "Internal error 03"},
    {504, "Internal error 04"},
    {505, "Internal error 05"},
    {506, "Internal error 06"},
    {507, "Internal error 07"},
    {508, "Internal error 08"},
    {509, "Internal error 09"},
    {510, "Internal error 10"},
    {511, "Internal error 11"},
    {512, "Internal error 12"},
    {513, "Internal error 13"},
    {514, "Internal error 14"},
    {515, "Internal error 15"},
    // Report engine.
    {521, "Report is not open"},
    {522, "Report is already open"},
    {523, "Band not found"},
    {524, "Control not found"},
    {525, "Control number in use"},
    {526, "Invalid report setting"},
    {527, "Page image could not be read"},
    {528, "Page image could not be written"},
    {529, "Print failed"},
    // Window engine.
    {530, "Window is not open"},
    {531, "Window is already open"},
    {532, "Invalid control number"},
    {533, "Invalid control type"},
    {534, "Invalid property"},
    {535, "Invalid property value"},
    {536, "Invalid event"},
    {537, "No event loop is active"},
    {538, "Too many windows open"},
    {539, "Invalid use variable"},
    {540, "Invalid picture"},
    {541, "Invalid font"},
    {542, "Invalid colour"},
    {543, "Printer not available"},
    {544, "Dialog could not be shown"},
    // Dynamic data exchange.
    {601, "Invalid DDE channel"},
    {602, "DDE channel not open"},
    {603, "DDE server not available"},
    {604, "DDE transaction failed"},
    {605, "DDE transaction timed out"},
    // Expressions.
    {800, "Invalid Expression Syntax"},
    {801, "Unknown Name In Expression"},
    {802, "Expression Evaluation Error"},
};

constexpr bool SortedByCode() {
  for (size_t i = 1; i < std::size(kErrorTexts); ++i) {
    if (kErrorTexts[i - 1].code >= kErrorTexts[i].code) return false;
  }
  return true;
}
static_assert(SortedByCode());

ErrorState& State() {
  static ErrorState state;
  return state;
}

}  // namespace

std::string_view RuntimeErrorText(int32_t code) {
  if (code == ErrorNone) return {};
  auto found = std::lower_bound(std::begin(kErrorTexts), std::end(kErrorTexts), code,
                                [](const ErrorText& e, int32_t c) { return e.code < c; });
  if (found == std::end(kErrorTexts) || found->code != code) return "Unknown Error";
  return found->text;
}

const ErrorState& CurrentError() { return State(); }

void SetError(int32_t code) {
  ErrorState& state = State();
  state.code = code;
  state.text = RuntimeErrorText(code);
  state.fileErrorCode.clear();
  state.fileErrorText.clear();
}

void SetFileError(int32_t code, std::string_view driverCode, std::string_view driverText) {
  // Copied first: a caller may pass the state's own texts back in.
  std::string codeText(driverCode);
  std::string text(driverText);
  SetError(code);
  State().fileErrorCode = std::move(codeText);
  State().fileErrorText = std::move(text);
}

// Every successful record operation ends here; most find nothing to clear.
void ClearError() {
  const ErrorState& state = State();
  if (state.code == ErrorNone && state.text.empty() && state.fileErrorCode.empty() &&
      state.fileErrorText.empty()) {
    return;
  }
  SetError(ErrorNone);
}

}  // namespace ledora::runtime
