// Soil and rock names of the layers: a layer's soil code is looked up in the soil-name table
// "Kishitu.txt" of the code-table folder, and the name found is turned into a four-digit
// classification code: a fixed code for rock and special materials, else main name
// (hundreds) + adjective ending in "質" (tens) + mixture ending in "混り"/"混じり" (units).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/status.h"
#include "tables/table_file.h"

namespace zk {

// The soil-name table of one conversion. Each code is read as a number once, at loading,
// and only the first entry of a code is kept, the one a look-up finds: the codes in order of
// their values, each with where its name lies in one text of all names, so that a table of
// ten thousand names is a few blocks of memory, looked up by halving.
struct SoilNameEntries {
  struct Code {
    double value = 0;
    std::uint32_t at = 0, length = 0;  // its name (without surrounding spaces) in names, CP932
  };
  std::size_t count = 0;    // entries of the table
  std::vector<Code> codes;  // by value, one per value
  std::string names;        // as the table holds them (CP932), decoded when looked up
};

// The entries are shared, not copied, between the conversions that load the same bytes.
struct SoilNameTable {
  std::shared_ptr<const SoilNameEntries> loaded;  // null while nothing is loaded
  std::string drivePath;                          // where the table was looked for
  bool found = false;                             // the table was there
  std::string bytes;                              // what was loaded, to know the same table again

  std::size_t size() const { return loaded ? loaded->count : 0; }
};

struct SplitName {
  std::string mixture;    // ends with "混り" or "混じり", or empty
  std::string adjective;  // ends with "質", or empty
  std::string main;
};

// Loads "Kishitu.txt" as taken with the boring: every record of 6 fields; a last record cut
// short is dropped. A missing table loads nothing and is no fault; a table that cannot be
// read (not CP932, a read error) is. When table already holds the same bytes (the last
// boring of a batch), what it holds is kept.
Status LoadSoilNameTable(const TableFile& file, SoilNameTable& table);
// The same for folder & "Kishitu.txt" (folder in drive form, ending in "\").
Status LoadSoilNameTable(const platform::DriveMap& drives, SoilNameTable& table, const std::string& folder);

// The name of the first entry whose code has the numeric value of soilCode ("12", "12.0" and
// "012" are one code; text without a number is 0), or "".
std::string LookupSoilName(const std::string& soilCode, const SoilNameTable& table);
std::string FindSoilName(const std::string& soilCode, const SoilNameTable& table);

// The three-digit code of a rock or special material ("硬岩" -> "091"), or "".
std::string ClassifyRockName(const std::string& name);

// Splits a soil name into its mixture, adjective and main parts.
SplitName SplitSoilName(const std::string& name);

// The four-digit classification code of a layer's soil code; soilName receives the name
// found in the table ("" when there is none).
std::string ClassifySoilName(const std::string& soilCode, const SoilNameTable& table, std::string& soilName);

}  // namespace zk
