// The page count on a page: "Page 2 of 3" is known only once the page's
// document has ended, so a page-count item keeps its picture and is filled
// in whenever the page is shown (drawn, dumped or searched).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/report/page_image.h"

namespace ledora::runtime {

// The page-count picture of a control that gives none.
inline constexpr char kDefaultPageCountPicture[] = "@pPage <<# of <<#p";

// A pattern picture with two runs of digit positions shows number in the
// first and pages in the second ("@pPage <<# of <<#p"); with one run it
// shows pages alone ("@p<<#p"). Any other picture shows pages through it.
// Neither run overflows: each gains positions as FormatPageNumber's does.
std::string FormatPageOfPages(std::string_view picture, int32_t number, int32_t pages);

// The page number through picture; a pattern picture too narrow for it
// gains digit positions rather than showing '#'.
std::string FormatPageNumber(std::string_view picture, int32_t number);

// What an item shows on page: its text, or for a page-count item its
// picture filled in. A document whose end is not known yet counts its
// pages so far.
std::string ShownText(const PageImage& page, const PageItem& item);

}  // namespace ledora::runtime
