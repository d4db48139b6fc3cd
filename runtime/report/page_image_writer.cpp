#include "runtime/report/page_image_writer.h"

#include <array>
#include <cstdio>
#include <memory>

#include "runtime/report/report_error.h"

namespace ledora::runtime {

namespace {

class ByteWriter {
 public:
  void U8(uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void U16(uint16_t v) {
    U8(v & 0xFF);
    U8(v >> 8);
  }
  void U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void ShortString(const std::string& s) {
    U16(static_cast<uint16_t>(s.size()));
    out_.append(s, 0, static_cast<uint16_t>(s.size()));
  }
  void LongString(const std::string& s) {
    U32(static_cast<uint32_t>(s.size()));
    out_.append(s);
  }
  std::string& bytes() { return out_; }

 private:
  std::string out_;
};

std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}

}  // namespace

uint32_t PageImageWriter::Checksum(std::string_view payload) {
  static const std::array<uint32_t, 256> table = MakeCrcTable();
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : payload) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::string PageImageWriter::Seal(std::string_view payload, int32_t documentPages) {
  ByteWriter w;
  for (char c : kPageImageMagic) w.U8(static_cast<uint8_t>(c));
  w.U16(kPageImageVersion);
  w.U16(0);
  w.U32(static_cast<uint32_t>(payload.size()));
  w.U32(Checksum(payload));
  w.I32(documentPages);
  w.bytes().append(payload);
  return std::move(w.bytes());
}

std::string PageImageWriter::Encode(const PageImage& page) {
  ByteWriter w;
  w.I32(page.number);
  w.I32(page.width);
  w.I32(page.height);
  w.U16(static_cast<uint16_t>(page.fonts.size()));
  for (const ReportFont& font : page.fonts) {
    w.ShortString(font.name);
    w.I32(font.style);
    w.I32(font.size);
    w.I32(font.color);
  }
  w.U32(static_cast<uint32_t>(page.items.size()));
  for (const PageItem& item : page.items) {
    w.U8(item.kind);
    w.I32(item.x);
    w.I32(item.y);
    w.I32(item.width);
    w.I32(item.height);
    w.I32(item.color);
    w.I32(item.fill);
    w.U16(item.font);
    w.U8(item.align);
    w.U8(item.flags);
    w.LongString(item.text);
  }
  return Seal(w.bytes(), page.pages);
}

bool PageImageWriter::WriteFile(const PageImage& page, const std::string& fileName) {
  std::string bytes = Encode(page);
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(fileName.c_str(), "wb"), &std::fclose);
  if (!file) {
    SetReportError(ErrorPageImageWrite, fileName);
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  ok = std::fclose(file.release()) == 0 && ok;
  if (!ok) SetReportError(ErrorPageImageWrite, fileName);
  return ok;
}

bool PageImageWriter::SetDocumentPages(const std::string& fileName, int32_t pages) {
  ByteWriter w;
  w.I32(pages);
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(fileName.c_str(), "r+b"), &std::fclose);
  bool ok = file && std::fseek(file.get(), kPageImageDocumentPagesOffset, SEEK_SET) == 0 &&
            std::fwrite(w.bytes().data(), 1, w.bytes().size(), file.get()) == w.bytes().size();
  ok = file && std::fclose(file.release()) == 0 && ok;
  if (!ok) SetReportError(ErrorPageImageWrite, fileName);
  return ok;
}

}  // namespace ledora::runtime
