#pragma once
// Byte tables applied 64 bytes at a time on processors that can look bytes up
// in registers (AVX-512 VBMI). A scalar look-up costs about three cycles a
// pixel, several times the memory's pace on a large picture; these run at it.
// Each routine does whole groups of 16 pixels and returns how many it did; the
// caller does the rest (and everything where the instructions are missing).

#include <cstdint>

namespace fotello::filters {

// Whether the processor (and the system, for the wide registers) has them.
bool WideLookupSupported();

// Blue, green and red of row[0..n) through tables[0], [1] and [2]; the unused
// byte is kept.
int LookupWide(std::uint32_t* row, int n, const std::uint8_t* const (&tables)[3]);

// The three colour bytes of row[0..n) through `table`, the unused byte kept;
// a pixel with a colour byte whose `flags` entry is not 0 is noted: its word
// as it was goes to original[count] and base + its index to at[count], and
// count grows. Both arrays need room for 16 entries past the last noted.
int LookupWideNoting(std::uint32_t* row, int n, const std::uint8_t* table,
                     const std::uint8_t* flags, std::uint32_t* original, int* at, int base,
                     int& count);

// Contrast's spill (see SpillIntoRange) for words[0..n): each colour byte
// through the 16-bit table given as low and high bytes, the three values
// spilled until they fit, and the word stored in out with its unused byte.
// The values and their shares must stay far inside 32 bits.
int SpillWide(const std::uint32_t* words, int n, const std::uint8_t* low, const std::uint8_t* high,
              std::uint32_t* out);

} // namespace fotello::filters
