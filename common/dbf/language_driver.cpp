#include "common/dbf/language_driver.h"

#include <array>
#include <cctype>

namespace ludaro::dbf {
namespace {

struct DriverEntry {
  std::uint8_t driver;
  unsigned codePage;
  const char* name;  // dBase 7 name; the plain ANSI drivers use binary order
};

// The first entry for a code page is the one Ludaro writes for it.
constexpr std::array<DriverEntry, 25> kDrivers{{
    {0x57, 1252, "DBWINUS0"},
    {0xC8, 1250, "DB1250CZ0"},
    {0xC9, 1251, "DB1251RU0"},
    {0xCB, 1253, "DB1253GR0"},
    {0xCA, 1254, "DB1254TR0"},
    {0x7D, 1255, "DBHEBREW"},
    {0x7E, 1256, "DB1256AR0"},
    {0x7C, 874, "DB874TH0"},
    {0x7B, 932, "DB932JP0"},
    {0x7A, 936, "DB936CN0"},
    {0x79, 949, "DB949KO0"},
    {0x78, 950, "DB950TW0"},
    {0x58, 1252, "DBWINWE0"},
    {0x59, 1252, "DBWINES0"},
    {0x03, 1252, ""},
    {0x01, 437, "DB437US0"},
    {0x02, 850, "DB850US0"},
    {0x37, 850, "DB850US0"},
    {0x64, 852, "DB852CZ0"},
    {0x65, 866, "DB866RU0"},
    {0x66, 865, "DB865NO0"},
    {0x67, 861, "DB861IS0"},
    {0x6A, 737, "DB737GR0"},
    {0x6B, 857, "DB857TR0"},
    {0x26, 866, "DB866RU0"},
}};

}  // namespace

std::uint8_t DriverForCodePage(unsigned codePage) {
  for (const auto& entry : kDrivers)
    if (entry.codePage == codePage) return entry.driver;
  return kAnsiBinaryDriver;
}

std::optional<unsigned> CodePageOfDriver(std::uint8_t driver) {
  for (const auto& entry : kDrivers)
    if (entry.driver == driver) return entry.codePage;
  return std::nullopt;
}

std::string DriverName(std::uint8_t driver) {
  for (const auto& entry : kDrivers)
    if (entry.driver == driver) return entry.name;
  return {};
}

std::optional<unsigned> CodePageOfDriverName(std::string_view name) {
  if (name.size() < 3 || name.substr(0, 2) != "DB") return std::nullopt;
  if (name.substr(2, 3) == "WIN") return 1252u;
  if (name.substr(2, 6) == "HEBREW") return 1255u;
  unsigned codePage = 0;
  std::size_t digits = 0;
  for (std::size_t i = 2; i < name.size() && i < 7 && std::isdigit(static_cast<unsigned char>(name[i])); ++i, ++digits)
    codePage = codePage * 10 + static_cast<unsigned>(name[i] - '0');
  if (digits < 3) return std::nullopt;
  return codePage;
}

}  // namespace ludaro::dbf
