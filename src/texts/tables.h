// The language tables, each holding every text in each of its languages.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace texts {

// What every table starts with, length-prefixed.
inline constexpr std::string_view tableMarker = "<SPRA2>";

// The tables in their byte layout: the marker, the language list ("ENDE"), a 16-bit
// little-endian entry count, then every entry's texts length-prefixed.
extern const std::span<const std::uint8_t> generalTexts;
extern const std::span<const std::uint8_t> editorTexts;
extern const std::span<const std::uint8_t> categoryNames;
extern const std::span<const std::uint8_t> displayModeNames;
extern const std::span<const std::uint8_t> messageTexts;

}  // namespace texts
