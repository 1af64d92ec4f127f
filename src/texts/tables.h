// The language tables, each holding every text in English and German.
#pragma once

#include <cstdint>
#include <span>

namespace texts {

// The tables in their byte layout: length-prefixed marker "<SPRA2>", the language list
// "ENDE", a 16-bit little-endian entry count, then every entry's texts length-prefixed.
extern const std::span<const std::uint8_t> generalTexts;
extern const std::span<const std::uint8_t> editorTexts;
extern const std::span<const std::uint8_t> categoryNames;
extern const std::span<const std::uint8_t> displayModeNames;
extern const std::span<const std::uint8_t> messageTexts;

}  // namespace texts
