// Message tables: packed byte blocks of numbered messages (severity, title,
// text) that the error reporter reads. The application's own table is built
// into the program; further tables can be packed at run time.
//
// Block layout, all numbers little-endian: u16 entry count; per entry u16
// number, u8 severity, u8 title length + title, u8 text length + text.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/error_severity.h"
#include "data/message_numbers.h"

namespace ledora::data {

// A message as the reporter keeps it: title and text point into the block
// it was read from, so that block must outlive the entry.
struct MessageEntry {
  uint16_t number = 0;
  std::string_view text;
  std::string_view title;
  uint8_t severity = SeverityNone;
};

// A message to be packed into a block.
struct MessageDefinition {
  uint16_t number;
  uint8_t severity;
  std::string_view title;
  std::string_view text;
};

enum MessageTableResult {
  MessageTableOk = 0,
  MessageTableTruncated = 1,       // the block ends inside the count or an entry
  MessageTableTrailingBytes = 2,   // bytes left after the counted entries
  MessageTableTextTooLong = 3,     // a title or text over 255 characters (packing)
  MessageTableTooManyEntries = 4,  // more than 65535 entries (packing)
};

// The application's default messages, in their table order. The block is
// static: it lives as long as the program.
std::span<const uint8_t> DefaultMessageTable();

// Messages the program adds on top of the default table (added after it,
// they may extend a default text through "%Previous"). Static too.
std::span<const uint8_t> AddedMessageTable();
// The text of an added message with "%Field" and "%Message" filled in, for
// words that go to a tip or the status line rather than a message box;
// empty for a number the table lacks.
std::string AddedMessageText(MessageNumber number, std::string_view field,
                             std::string_view message);

// Appends every entry of block to entries, in block order. A block that
// does not hold exactly its counted entries is rejected whole: nothing is
// appended and nothing outside the block is read.
MessageTableResult ReadMessageTable(std::span<const uint8_t> block,
                                    std::vector<MessageEntry>* entries);

// Packs definitions into block (replacing its contents). On failure the
// block is left empty.
MessageTableResult PackMessageTable(std::span<const MessageDefinition> definitions,
                                    std::vector<uint8_t>* block);

}  // namespace ledora::data
