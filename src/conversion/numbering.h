// Naming of the exchange file: the boring's mesh code, "." and a three-digit sequence number,
// with the record file "BORLING.NO" that remembers where a source folder was last converted.
#pragma once

#include <string>
#include <vector>

#include "exchange/exchange_file.h"
#include "conversion/window_ops.h"
#include "platform/status.h"
#include "tables/table_file.h"

namespace zk {

struct Coordinates {
  std::string latDegrees, latMinutes, latSeconds;
  std::string lonDegrees, lonMinutes, lonSeconds;
};

// The third-level standard grid square code (JIS X 0410) of the point, in double precision:
// 35°39'29.1" N, 139°45'45.5" E gives 53393681.
std::string ComputeMeshCode(const Coordinates& c);

// Eight digits: what a file name and a boring id can carry. A point far off the grid, or a
// negative value, gives a code of another form.
bool IsMeshCode(const std::string& code);

// The highest sequence number among names of the 12-byte form "MMMMMMMM.NNN" for this mesh
// code, plus one (1000 wraps to 0 when written).
long NextSequenceNumber(const std::vector<std::string>& listing, const std::string& meshCode);

// The name of the exchange file: mesh code, ".", right("000" & number, 3).
std::string ExchangeFileNameOf(const std::string& meshCode, long sequence);

struct Numbering {
  bool stopped = false;  // the user said No
  std::string exchangeFileName;
  long sequence = 0;
};

// Lists the destination, asks about an earlier conversion recorded in "BORLING.NO" and gives
// the name to write. A fault reading "BORLING.NO" is returned as a Status.
Status AssignExchangeFileName(const std::string& source, const std::string& destination, const Coordinates& c,
                              WindowOps& ui, Numbering& result);
// The same with "BORLING.NO" as the boring was taken.
Status AssignExchangeFileName(const TableFile& record, const std::string& destination, const Coordinates& c,
                              WindowOps& ui, Numbering& result);

// The mesh code that exact decimal arithmetic on the coordinate texts gives, or "" when a text
// is beyond what it can hold exactly.
std::string ExactMeshCode(const std::string& latD, const std::string& latM, const std::string& latS,
                          const std::string& lonD, const std::string& lonM, const std::string& lonS);

// Overwrites "BORLING.NO" of the source folder with the exchange file's full path.
Status RecordConversion(const std::string& source, const std::string& destination, const std::string& exchangeFileName);

// The same in two steps: the new "BORLING.NO" written whole beside the old one, for the run
// to put in place (record.Commit()) right after the exchange file.
Status StageRecordConversion(const std::string& source, const std::string& destination,
                             const std::string& exchangeFileName, StagedTextFile& record);

}  // namespace zk
