// Brings the design files of a data folder made by an earlier version up to
// the designs this version ships, once, at start-up: a user who never
// touched a shipped design gets the new one in its place, one who changed
// it keeps it and finds the new one beside it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ledora::layout {

class DesignDatabase;
class ShippedReports;

// The suffix that names a new design put beside the user's changed one.
inline constexpr char kNewDesignSuffix[] = " (new design)";

// Runs when the catalogue lacks a field that shipped adds; in one
// transaction then:
// - the missing fields go into the catalogue and onto their report types;
// - each shipped design (type by name, design by name) missing from the
//   folder is added; one whose content records are still exactly those of
//   the design of that type and name in earlier gets shipped's content
//   under its own number (so it stays the default where it was); any other
//   keeps its content, and shipped's design is added beside it under its
//   name plus kNewDesignSuffix, unless a design of that name exists.
// 0 when done or nothing was to do, else the first storage error, and then
// nothing has changed.
int32_t UpdateShippedDesigns(DesignDatabase& designs, const ShippedReports& shipped,
                             const ShippedReports& earlier);

}  // namespace ledora::layout
