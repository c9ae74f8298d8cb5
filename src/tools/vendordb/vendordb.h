// Building vendors.db from the IEEE registration authority's registries (the CSV files of the MA-L, MA-M,
// MA-S and IAB registries): one row per assigned block in the table mac_addresses (id, organization_name,
// range_begin, range_end, bits).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace skimlet::vendordb {

struct TCsvRecord {
  size_t Line = 0;  // line on which the record starts (1 = first)
  std::vector<std::string> Fields;
};

// Comma-separated values: fields in double quotes may hold commas, line breaks and doubled quotes; lines end
// in CRLF or LF; a leading UTF-8 byte order mark and blank lines are skipped. False with the reason and line
// on an unterminated quote or text after a closing quote.
bool ParseCsv(std::string_view text, std::vector<TCsvRecord>& records, std::string* error);

// One assigned block: its first and last 48-bit address and prefix length.
struct TRegistryBlock {
  std::string Registry;  // "MA-L", "MA-M", "MA-S" or "IAB"
  std::string Organization;
  int64_t RangeBegin = 0;
  int64_t RangeEnd = 0;
  int Bits = 0;
};

// Prefix length of a registry's blocks: MA-L 24, MA-M 28, MA-S and IAB 36; 0 for an unknown registry.
int RegistryBits(std::string_view registry);

// Reads a registry file whose header names the columns "Registry", "Assignment" and "Organization Name"
// (in any order, among others). Appends its blocks; false with "Source:line: reason" on the first bad row.
bool ParseRegistryCsv(std::string_view text, const std::string& source, std::vector<TRegistryBlock>& blocks,
                      std::string* error);
bool ReadRegistryFile(const std::string& path, std::vector<TRegistryBlock>& blocks, std::string* error);

// Writes the blocks as a new database at Path, atomically: the old file stays until the new one is complete.
// Rows are ordered by prefix length and first address; ids count from 1 in that order, so a block given
// twice keeps the later of its entries in lookups (equal bits: the larger id wins).
bool WriteVendorDatabase(const std::string& path, std::vector<TRegistryBlock> blocks, std::string* error);

}  // namespace skimlet::vendordb
