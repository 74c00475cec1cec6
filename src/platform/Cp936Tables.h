#pragma once
// The code page's tables as constant data, written at build time by
// kelpo-cp936gen (tools/) from the C library's converter.

#include <cstddef>
#include <cstdint>

namespace kelpo::cp936 {

inline constexpr int TableFirstLead = 0x81;
inline constexpr int TableLastLead = 0xFE;
inline constexpr int TableFirstTrail = 0x40;
inline constexpr int TableLastTrail = 0xFE;
inline constexpr int TableTrails = TableLastTrail - TableFirstTrail + 1;

// The character of a pair at (lead - 0x81) * 191 + (trail - 0x40); 0 = none.
extern const char16_t DecodeTable[(TableLastLead - TableFirstLead + 1) * TableTrails];
// For a UTF-16 code unit u: row EncodeRowOf[u >> 8] (0 = no row) of 256
// codes, rows counted from 1, holding lead * 256 + trail at u & 0xFF; 0 =
// not representable.
extern const std::uint8_t EncodeRowOf[256];
extern const std::uint16_t EncodeRows[];

} // namespace kelpo::cp936
