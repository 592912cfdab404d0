// record.hpp - read access to the fields of a MYTPLOPTS copy.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "strandel.h"

namespace strandel {

enum class Field : std::uint8_t { NameLong, NameShort, Language, SourceExt, ExternExt, DocExt };

struct FieldSlot {
    std::size_t offset;
    std::size_t capacity;
};

// Indexed by Field; the header's static checks pin the same offsets from the C side.
inline constexpr std::array<FieldSlot, 6> kFieldSlots{{
    {offsetof(MYTPLOPTS, NAME_LONG), sizeof(MYTPLOPTS::NAME_LONG)},
    {offsetof(MYTPLOPTS, NAME_SHORT), sizeof(MYTPLOPTS::NAME_SHORT)},
    {offsetof(MYTPLOPTS, LANGUAGE), sizeof(MYTPLOPTS::LANGUAGE)},
    {offsetof(MYTPLOPTS, SOURCE_EXT), sizeof(MYTPLOPTS::SOURCE_EXT)},
    {offsetof(MYTPLOPTS, EXTERN_EXT), sizeof(MYTPLOPTS::EXTERN_EXT)},
    {offsetof(MYTPLOPTS, DOC_EXT), sizeof(MYTPLOPTS::DOC_EXT)},
}};
static_assert(kFieldSlots[5].offset + kFieldSlots[5].capacity == sizeof(MYTPLOPTS),
              "the fields fill the record with no gap at its end");

// A field's text runs to its first NUL, or to the end of its capacity when a caller left no NUL:
// the record comes from outside the library and is never read past a field's own bytes.
inline std::string_view fieldText(const MYTPLOPTS& record, Field field) {
    const FieldSlot slot = kFieldSlots[static_cast<std::size_t>(field)];
    const char* text = reinterpret_cast<const char*>(&record) + slot.offset;
    const void* nul = std::memchr(text, '\0', slot.capacity);
    return {text, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : slot.capacity};
}

}  // namespace strandel
