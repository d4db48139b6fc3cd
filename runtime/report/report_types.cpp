#include "runtime/report/report_types.h"

#include <cmath>

namespace ledora::runtime {

ReportFont ReportFont::InheritFrom(const ReportFont& base) const {
  ReportFont out = *this;
  if (out.name.find_first_not_of(' ') == std::string::npos) out.name = base.name;
  if (out.style == 0) out.style = base.style;
  if (out.size == 0) out.size = base.size;
  if (out.color == 0) out.color = base.color;
  return out;
}

int32_t ToMils(int32_t value, ReportUnit unit) {
  if (unit != ReportUnit::Millimetres) return value;
  return static_cast<int32_t>(std::lround(static_cast<double>(value) * 1000.0 / 25.4));
}

int32_t FromMils(int32_t mils, ReportUnit unit) {
  if (unit != ReportUnit::Millimetres) return mils;
  return static_cast<int32_t>(std::lround(static_cast<double>(mils) * 25.4 / 1000.0));
}

}  // namespace ledora::runtime
