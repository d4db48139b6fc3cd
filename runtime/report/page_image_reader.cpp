#include "runtime/report/page_image_reader.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "runtime/report/page_image_writer.h"
#include "runtime/report/report_error.h"
#include "runtime/system/runtime_error.h"

namespace ledora::runtime {

namespace {

// Anything beyond these is damage, not a page: no paper is 1000 inches.
constexpr int32_t kMaxPageSize = 1000000;
constexpr size_t kFontBytes = 2 + 12;
constexpr size_t kItemBytes = 1 + 24 + 4 + 4;

class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  bool U8(uint8_t* v) {
    return Take(1, v, [](const unsigned char* p) { return p[0]; });
  }
  bool U16(uint16_t* v) {
    return Take(2, v, [](const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); });
  }
  bool U32(uint32_t* v) {
    return Take(4, v, [](const unsigned char* p) {
      return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    });
  }
  bool I32(int32_t* v) {
    uint32_t u;
    if (!U32(&u)) return false;
    *v = static_cast<int32_t>(u);
    return true;
  }
  bool Text(size_t length, std::string* out) {
    if (length > remaining()) return false;
    out->assign(bytes_.substr(pos_, length));
    pos_ += length;
    return true;
  }
  size_t remaining() const { return bytes_.size() - pos_; }

 private:
  template <typename T, typename F>
  bool Take(size_t n, T* v, F decode) {
    if (n > remaining()) return false;
    *v = decode(reinterpret_cast<const unsigned char*>(bytes_.data() + pos_));
    pos_ += n;
    return true;
  }

  std::string_view bytes_;
  size_t pos_ = 0;
};

bool Fail(std::string* error, const std::string& text) {
  if (error) *error = text;
  return false;
}

bool CheckHeader(std::string_view bytes, std::string_view* payload, int32_t* documentPages,
                 std::string* error) {
  if (bytes.size() < sizeof(kPageImageMagic) ||
      std::memcmp(bytes.data(), kPageImageMagic, sizeof(kPageImageMagic)) != 0) {
    return Fail(error, "not a page image file");
  }
  if (bytes.size() < kPageImageHeaderSize) return Fail(error, "page image truncated in its header");
  ByteReader header(bytes.substr(sizeof(kPageImageMagic)));
  uint16_t version = 0, reserved = 0;
  uint32_t length = 0, checksum = 0;
  header.U16(&version);
  header.U16(&reserved);
  header.U32(&length);
  header.U32(&checksum);
  header.I32(documentPages);
  if (version != kPageImageVersion) {
    return Fail(error, "unsupported page image version " + std::to_string(version));
  }
  std::string_view body = bytes.substr(kPageImageHeaderSize);
  if (body.size() < length) {
    return Fail(error, "page image truncated: " + std::to_string(body.size()) + " of " +
                           std::to_string(length) + " bytes present");
  }
  if (body.size() > length) return Fail(error, "page image has bytes after its end");
  if (PageImageWriter::Checksum(body) != checksum) {
    return Fail(error, "page image damaged: checksum does not match");
  }
  if (*documentPages < 0) return Fail(error, "page image damaged: negative page count");
  *payload = body;
  return true;
}

bool ReadFont(ByteReader& r, ReportFont* font) {
  uint16_t length = 0;
  return r.U16(&length) && r.Text(length, &font->name) && r.I32(&font->style) &&
         r.I32(&font->size) && r.I32(&font->color);
}

bool ReadItem(ByteReader& r, PageItem* item) {
  uint8_t kind = 0;
  uint32_t length = 0;
  if (!(r.U8(&kind) && r.I32(&item->x) && r.I32(&item->y) && r.I32(&item->width) &&
        r.I32(&item->height) && r.I32(&item->color) && r.I32(&item->fill) && r.U16(&item->font) &&
        r.U8(&item->align) && r.U8(&item->flags) && r.U32(&length))) {
    return false;
  }
  item->kind = static_cast<PageItemKind>(kind);
  return r.Text(length, &item->text);
}

std::string ItemFault(const PageItem& item, size_t fonts) {
  if (item.kind < ItemText || item.kind > ItemCheck) return "unknown item kind";
  if (item.kind == ItemText && item.font >= fonts) return "font index out of range";
  if (item.align > AlignRight) return "unknown alignment";
  if (item.width < -kMaxPageSize || item.width > kMaxPageSize || item.height < -kMaxPageSize ||
      item.height > kMaxPageSize) {
    return "item size out of range";
  }
  return {};
}

bool DecodePayload(std::string_view payload, PageImage* page, std::string* error) {
  ByteReader r(payload);
  uint16_t fontCount = 0;
  if (!(r.I32(&page->number) && r.I32(&page->width) && r.I32(&page->height) && r.U16(&fontCount))) {
    return Fail(error, "page image damaged: page header incomplete");
  }
  if (page->width <= 0 || page->height <= 0 || page->width > kMaxPageSize ||
      page->height > kMaxPageSize) {
    return Fail(error, "page image damaged: impossible paper size");
  }
  if (fontCount > r.remaining() / kFontBytes) return Fail(error, "page image damaged: font count");
  page->fonts.assign(fontCount, ReportFont{});
  for (ReportFont& font : page->fonts) {
    if (!ReadFont(r, &font)) return Fail(error, "page image damaged: font table incomplete");
  }
  uint32_t itemCount = 0;
  if (!r.U32(&itemCount) || itemCount > r.remaining() / kItemBytes) {
    return Fail(error, "page image damaged: item count");
  }
  page->items.assign(itemCount, PageItem{});
  for (size_t i = 0; i < page->items.size(); ++i) {
    if (!ReadItem(r, &page->items[i])) {
      return Fail(error, "page image damaged: item " + std::to_string(i + 1) + " incomplete");
    }
    std::string fault = ItemFault(page->items[i], page->fonts.size());
    if (!fault.empty()) {
      return Fail(error, "page image damaged: item " + std::to_string(i + 1) + ": " + fault);
    }
  }
  if (r.remaining() != 0) return Fail(error, "page image damaged: bytes after the last item");
  return true;
}

}  // namespace

bool PageImageReader::Decode(std::string_view bytes, PageImage* page, std::string* error) {
  std::string_view payload;
  int32_t documentPages = 0;
  if (!CheckHeader(bytes, &payload, &documentPages, error)) return false;
  page->pages = documentPages;
  return DecodePayload(payload, page, error);
}

bool PageImageReader::ReadFile(const std::string& fileName, PageImage* page, std::string* error) {
  std::string local;
  if (!error) error = &local;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(fileName.c_str(), "rb"), &std::fclose);
  if (!file) {
    *error = "cannot open page image " + fileName;
    SetError(ErrorFileNotFound);
    return false;
  }
  std::string bytes;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, n);
  if (std::ferror(file.get())) {
    *error = "cannot read page image " + fileName;
    SetReportError(ErrorPageImageUnreadable, *error);
    return false;
  }
  if (!Decode(bytes, page, error)) {
    *error = fileName + ": " + *error;
    SetReportError(ErrorPageImageUnreadable, *error);
    return false;
  }
  return true;
}

}  // namespace ledora::runtime
