#include "runtime/qtreport/pdf_subset_names.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

namespace ledora::runtime {

namespace {

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

constexpr std::string_view kBaseFont = "/BaseFont /";
constexpr std::string_view kFontName = "/FontName /";
constexpr size_t kChunk = size_t{1} << 20;
constexpr size_t kEntrySize = 20;  // one line of a cross-reference table

struct NameAt {
  bool descriptor;  // a descriptor's FontName, else a font's BaseFont
  uint64_t at;      // where the name starts in the file
  std::string name;
};

struct Insertion {
  uint64_t at;
  std::string tag;  // "QNAAAA+"
};

bool EndsName(char c) {
  return std::isspace(static_cast<unsigned char>(c)) || std::strchr("/<>[]()%", c);
}

bool Fail(std::string* error, const std::string& what) {
  if (error) *error = what + ": " + std::strerror(errno);
  return false;
}

// Every font and descriptor name in the file, in file order, read a chunk
// at a time.
bool ScanNames(FILE* file, std::vector<NameAt>* names) {
  std::string buffer;
  uint64_t origin = 0;  // file offset of buffer[0]
  std::vector<char> chunk(kChunk);
  bool end = false;
  while (!end) {
    size_t read = std::fread(chunk.data(), 1, chunk.size(), file);
    if (read < chunk.size()) {
      if (std::ferror(file)) return false;
      end = true;
    }
    buffer.append(chunk.data(), read);
    size_t pos = 0;
    while (true) {
      size_t match = std::min(buffer.find(kBaseFont, pos), buffer.find(kFontName, pos));
      if (match == std::string::npos) {
        // A key cut by the chunk's end is found again with the next chunk.
        pos = std::max(pos, buffer.size() - std::min(buffer.size(), kBaseFont.size() - 1));
        break;
      }
      size_t start = match + kBaseFont.size();
      size_t stop = start;
      while (stop < buffer.size() && !EndsName(buffer[stop])) ++stop;
      if (stop == buffer.size() && !end) {
        pos = match;
        break;
      }
      names->push_back({buffer.compare(match, kFontName.size(), kFontName) == 0, origin + start,
                        buffer.substr(start, stop - start)});
      pos = stop;
    }
    buffer.erase(0, pos);
    origin += pos;
  }
  return true;
}

// Each untagged font name gets the tag of the last descriptor of its name.
std::vector<Insertion> Insertions(const std::vector<NameAt>& names) {
  std::map<std::string, std::string> tags;
  std::vector<Insertion> insertions;
  for (const NameAt& n : names) {
    size_t plus = n.name.find('+');
    if (n.descriptor) {
      if (plus != std::string::npos) tags[n.name.substr(plus + 1)] = n.name.substr(0, plus + 1);
    } else if (plus == std::string::npos) {
      auto tag = tags.find(n.name);
      if (tag != tags.end()) insertions.push_back({n.at, tag->second});
    }
  }
  return insertions;
}

// The table Qt writes: "xref", one section "0 N", N entries of 20 bytes,
// then the trailer up to "startxref". The entries stay in the file: a
// report of many pages has many of them.
struct CrossReference {
  uint64_t offset = 0;   // of "xref"
  uint64_t entries = 0;  // offset of the first entry
  uint64_t count = 0;
  std::string trailer;  // from "trailer" up to "startxref"
};

bool ReadAt(FILE* file, uint64_t offset, size_t length, std::string* bytes) {
  bytes->assign(length, '\0');
  return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 &&
         std::fread(bytes->data(), 1, length, file) == length;
}

bool ReadCrossReference(FILE* file, uint64_t size, CrossReference* table) {
  std::string bytes;
  uint64_t back = std::min<uint64_t>(size, 1024);
  if (!ReadAt(file, size - back, back, &bytes)) return false;
  size_t start = bytes.rfind("startxref");
  if (start == std::string::npos) return false;
  table->offset = std::strtoull(bytes.c_str() + start + 9, nullptr, 10);
  if (table->offset == 0 || table->offset >= size) return false;
  if (!ReadAt(file, table->offset, std::min<uint64_t>(64, size - table->offset), &bytes)) {
    return false;
  }
  unsigned long first = 0, count = 0;
  int header = 0;
  if (std::sscanf(bytes.c_str(), "xref %lu %lu%n", &first, &count, &header) != 2 || first != 0) {
    return false;
  }
  size_t pos = static_cast<size_t>(header);
  while (pos < bytes.size() && std::strchr("\r\n ", bytes[pos]) != nullptr) ++pos;
  table->entries = table->offset + pos;
  table->count = count;
  uint64_t trailer = table->entries + count * kEntrySize;
  if (trailer >= size || !ReadAt(file, trailer, size - trailer, &bytes)) return false;
  size_t trailerEnd = bytes.rfind("startxref");
  if (bytes.compare(0, 7, "trailer") != 0 || trailerEnd == std::string::npos) return false;
  table->trailer = bytes.substr(0, trailerEnd);
  return true;
}

// Bytes inserted before offset.
uint64_t Shift(const std::vector<Insertion>& insertions, uint64_t offset) {
  uint64_t shift = 0;
  for (const Insertion& i : insertions) {
    if (i.at < offset) shift += i.tag.size();
  }
  return shift;
}

bool CopyWithInsertions(FILE* in, FILE* out, const std::vector<Insertion>& insertions,
                        uint64_t end) {
  if (std::fseek(in, 0, SEEK_SET) != 0) return false;
  std::vector<char> chunk(kChunk);
  uint64_t pos = 0;
  auto copyTo = [&](uint64_t until) {
    while (pos < until) {
      size_t n = static_cast<size_t>(std::min<uint64_t>(chunk.size(), until - pos));
      if (std::fread(chunk.data(), 1, n, in) != n || std::fwrite(chunk.data(), 1, n, out) != n) {
        return false;
      }
      pos += n;
    }
    return true;
  };
  for (const Insertion& i : insertions) {
    if (!copyTo(i.at) || std::fwrite(i.tag.data(), 1, i.tag.size(), out) != i.tag.size()) {
      return false;
    }
  }
  return copyTo(end);
}

bool WriteCrossReference(FILE* in, FILE* out, const CrossReference& table,
                         const std::vector<Insertion>& insertions) {
  std::fprintf(out, "xref\n0 %" PRIu64 "\n", table.count);
  constexpr uint64_t kBlock = 4096;
  std::string block;
  for (uint64_t first = 0; first < table.count; first += kBlock) {
    uint64_t n = std::min(kBlock, table.count - first);
    if (!ReadAt(in, table.entries + first * kEntrySize, n * kEntrySize, &block)) return false;
    for (size_t at = 0; at < block.size(); at += kEntrySize) {
      const char* entry = block.data() + at;
      if (entry[17] == 'n') {
        uint64_t offset = std::strtoull(entry, nullptr, 10);
        std::fprintf(out, "%010" PRIu64, offset + Shift(insertions, offset));
        std::fwrite(entry + 10, 1, kEntrySize - 10, out);
      } else {
        std::fwrite(entry, 1, kEntrySize, out);
      }
    }
  }
  std::fwrite(table.trailer.data(), 1, table.trailer.size(), out);
  std::fprintf(out, "startxref\n%" PRIu64 "\n%%%%EOF\n",
               table.offset + Shift(insertions, table.offset));
  return std::ferror(out) == 0;
}

}  // namespace

bool NameFontSubsets(const std::string& fileName, std::string* error) {
  struct stat st;
  if (::stat(fileName.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return true;
  File in(std::fopen(fileName.c_str(), "rb"), &std::fclose);
  if (!in) return Fail(error, "cannot read " + fileName);
  std::vector<NameAt> names;
  if (!ScanNames(in.get(), &names)) return Fail(error, "cannot read " + fileName);
  std::vector<Insertion> insertions = Insertions(names);
  CrossReference table;
  if (insertions.empty() ||
      !ReadCrossReference(in.get(), static_cast<uint64_t>(st.st_size), &table) ||
      insertions.back().at >= table.offset) {
    return true;
  }
  std::string temporary = fileName + ".names";
  File out(std::fopen(temporary.c_str(), "wb"), &std::fclose);
  bool ok = out && CopyWithInsertions(in.get(), out.get(), insertions, table.offset) &&
            WriteCrossReference(in.get(), out.get(), table, insertions);
  ok = out && std::fclose(out.release()) == 0 && ok;
  if (ok && std::rename(temporary.c_str(), fileName.c_str()) == 0) return true;
  Fail(error, "cannot write " + fileName);
  std::remove(temporary.c_str());
  return false;
}

}  // namespace ledora::runtime
