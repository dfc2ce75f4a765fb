// Hex text: the form in which identifiers, acceptance codes and masks and the bit-timing bytes are
// held. The operator may type either case and blanks anywhere; the program writes upper case, two
// digits per byte, one blank between bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace linkmate {

// Reads up to `groups` (1..4) byte groups of at most two hex digits each, skipping whitespace
// before every group; no separator is needed ("12345678" reads like "12 34 56 78"). Reading stops
// at the first character that is neither a hex digit nor whitespace. The first group is the most
// significant byte; groups the text does not supply are zero bytes at the low end, so "12" in a
// four-byte field is 12000000.
uint32_t ParseHexGroups(std::string_view text, int groups);

// True when `text` reads completely as hex byte groups: at least one group and at most `groups`,
// nothing but hex digits and whitespace. Text that fails would be read as something it does not
// say (a foreign character ends the reading, surplus groups are dropped).
bool IsHexGroupsText(std::string_view text, int groups);

// A text typed as one run of hex digits without blanks, longer than one byte group and no longer
// than `groups` groups ("7FF"), read as one number (0x7FF) where ParseHexGroups reads byte groups
// (7F 0F ...); nullopt for any other text.
std::optional<uint32_t> ParseHexRun(std::string_view text, int groups);

std::string FormatHex8(uint32_t value);   // "%2.2X"
std::string FormatHex16(uint32_t value);  // "%2.2X %2.2X"
std::string FormatHex32(uint32_t value);  // "%2.2X %2.2X %2.2X %2.2X"

// Two texts joined by one blank ("%s %s"), as the combined dual-filter texts are built.
std::string JoinHexTexts(std::string_view first, std::string_view second);

}  // namespace linkmate
