// The print preview's zoom choices, built into the program as a packed
// constant: one count byte, then per entry a length-prefixed menu text, a
// length-prefixed status text and a little-endian 16-bit percentile (-2 tile
// pages, -1 page width). The preview reads it into its zoom queue.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace ledora::reporting {

// clang-format off
inline constexpr char kZoomTableBytes[] =
    "\x07"
    "\x0A" "Tile pages" "\x10" "Zoom: Tile Pages" "\xFE\xFF"
    "\x0A" "Page Width" "\x10" "Zoom: Page Width" "\xFF\xFF"
    "\x08" "50% Zoom"   "\x09" "Zoom: 50%"        "\x32\x00"
    "\x08" "75% Zoom"   "\x09" "Zoom: 75%"        "\x4B\x00"
    "\x09" "100% Zoom"  "\x0A" "Zoom: 100%"       "\x64\x00"
    "\x09" "200% Zoom"  "\x0A" "Zoom: 200%"       "\xC8\x00"
    "\x09" "300% Zoom"  "\x0A" "Zoom: 300%"       "\x2C\x01";
// clang-format on
// Without the literal's closing zero, which is no part of the table.
inline constexpr std::string_view kZoomTableSource(kZoomTableBytes, sizeof kZoomTableBytes - 1);
static_assert(kZoomTableSource.size() == 172);

// One entry of the preview's ZOOMQUEUE.
struct ZoomEntry {
  int16_t PERCENTILE = 0;
  char MENUTEXT[64] = {};
  char STATUSTEXT[64] = {};
};

// The seven entries, in table order, texts blank-padded.
std::vector<ZoomEntry> LoadZoomTable();

}  // namespace ledora::reporting
