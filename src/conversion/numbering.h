// Naming of the exchange file: the boring's mesh code, "." and a three-digit sequence number,
// with the record file "BORLING.NO" that remembers where a source folder was last converted.
#pragma once

#include <string>
#include <vector>

#include "conversion/exchange_file.h"
#include "conversion/window_ops.h"
#include "platform/status.h"

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

// The 12-byte form of an exchange file name: 8 digits, ".", 3 digits.
bool IsExchangeFileName(const std::string& name);

// Two folder paths in drive form name the same folder: compared without regard to letter
// case, "/" and "\" alike, repeated and final separators ignored.
bool SameFolder(const std::string& a, const std::string& b);

struct Numbering {
  bool stopped = false;  // the user said No
  bool reuse = false;    // the user chose to convert again under the recorded name: it is replaced
  std::string exchangeFileName;
  long sequence = 0;
};

// Lists the destination, asks about an earlier conversion recorded in "BORLING.NO" and gives
// the name to write. The recorded name is offered again (the first question) only when it lies
// in this destination folder, has the exchange file form and carries this boring's mesh code.
// Fails when the destination cannot be listed, when every number of the mesh code is taken,
// or on a fault reading "BORLING.NO".
Status AssignExchangeFileName(const std::string& source, const std::string& destination, const Coordinates& c,
                              WindowOps& ui, Numbering& result);

// The next name after numbering's name was found taken at the moment the file was to be given
// it (another run took it first, or something that is no plain file lies there): the
// destination is looked at again, and the names found taken so far (kept in taken) count as
// used. Fails as AssignExchangeFileName does.
Status NumberAgain(const std::string& destination, std::vector<std::string>& taken, Numbering& numbering);

// Overwrites "BORLING.NO" of the source folder with the exchange file's full path.
Status RecordConversion(const std::string& source, const std::string& destination, const std::string& exchangeFileName);

// The same in two steps: the new "BORLING.NO" written whole beside the old one, for the run
// to put in place (record.Commit()) right after the exchange file.
Status StageRecordConversion(const std::string& source, const std::string& destination,
                             const std::string& exchangeFileName, StagedTextFile& record);

}  // namespace zk
