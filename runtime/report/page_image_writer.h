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
constexpr uint16_t kPageImageVersion = 2;
// Magic, version, reserved, length, checksum, then the pages of the page's
// document: outside the checksum, so that it can be set once the document
// has ended without writing the page again.
constexpr size_t kPageImageHeaderSize = 20;
constexpr size_t kPageImageDocumentPagesOffset = 16;

class PageImageWriter {
 public:
  static std::string Encode(const PageImage& page);
  // False with the runtime error set when the file cannot be written.
  static bool WriteFile(const PageImage& page, const std::string& fileName);
  // Sets the length of the document of the page in fileName; false with
  // the runtime error set when the file cannot be written.
  static bool SetDocumentPages(const std::string& fileName, int32_t pages);
  // Header for a payload; exposed so damage tests can forge consistent files.
  static std::string Seal(std::string_view payload, int32_t documentPages = 0);
  static uint32_t Checksum(std::string_view payload);
};

}  // namespace ledora::runtime
