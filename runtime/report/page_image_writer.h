// Stores page images in our display-list file format: a versioned header
// with the payload's length and checksum, then the fonts and items. The
// report writes one file per finished page; PageImageReader reads them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/report/page_image.h"

namespace ledora::runtime {

constexpr char kPageImageMagic[4] = {'L', 'D', 'P', 'G'};
constexpr uint16_t kPageImageVersion = 1;
constexpr size_t kPageImageHeaderSize = 16;  // magic, version, reserved, length, checksum

class PageImageWriter {
 public:
  static std::string Encode(const PageImage& page);
  // False with the runtime error set when the file cannot be written.
  static bool WriteFile(const PageImage& page, const std::string& fileName);
  // Header for a payload; exposed so damage tests can forge consistent files.
  static std::string Seal(std::string_view payload);
  static uint32_t Checksum(std::string_view payload);
};

}  // namespace ledora::runtime
