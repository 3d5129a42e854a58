#pragma once

// The language driver byte of a dBase header says which code page the text
// is in and, for dBase 7, is repeated as a name ("DBWINUS0") after the fixed
// header. Ludaro writes the binary-order driver of the ANSI code page, so the
// keys of its indexes are ordered by their stored bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ludaro::dbf {

inline constexpr std::uint8_t kAnsiBinaryDriver = 0x57;  // cp1252, binary order

// The driver Ludaro writes for text stored in `codePage`.
std::uint8_t DriverForCodePage(unsigned codePage);

// The code page of a driver byte; nullopt for 0 (not recorded) and unknown bytes.
std::optional<unsigned> CodePageOfDriver(std::uint8_t driver);

// The dBase 7 driver name for a driver byte ("DBWINUS0" for 0x57); empty when unknown.
std::string DriverName(std::uint8_t driver);

// The code page a dBase 7 driver name stands for ("DBWIN..." is 1252,
// "DB852..." is 852); nullopt when the name says nothing usable.
std::optional<unsigned> CodePageOfDriverName(std::string_view name);

}  // namespace ludaro::dbf
