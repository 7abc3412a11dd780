// Naming of the exchange file: the boring's mesh code, "." and a three-digit sequence number,
// with the record file "BORLING.NO" that remembers where a source folder was last converted.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "conversion/window_ops.h"
#include "exchange/exchange_file.h"
#include "platform/status.h"
#include "tables/table_file.h"

namespace zk {

struct Coordinates {
  std::string latDegrees, latMinutes, latSeconds;
  std::string lonDegrees, lonMinutes, lonSeconds;
};

// The third-level standard grid square code (JIS X 0410) of the point, worked exactly in
// decimal on the numbers the texts hold as written (leniently read: "39m" is 39): with
// S = 3600 degrees + 60 minutes + seconds, p = S_lat div 2400, q = (S_lat mod 2400) div 300,
// r = (S_lat mod 300) div 30, u = S_lon div 3600 - 100, v = (S_lon mod 3600) div 450,
// w = (S_lon mod 450) div 45. 35°39'29.1" N, 139°45'45.5" E gives 53393681; a point on a
// square's edge lies in the square to its north or east. "" when the point has no such code:
// p or u not of two digits (a negative value, a point off the grid), or a text of 10^9 or
// more, or with more than 24 decimals (1e400, a 400-digit number).
std::string ComputeMeshCode(const Coordinates& c);

// Eight digits: what a file name and a boring id can carry.
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

// The destination's names kept across a batch: listed by the first run into the folder (stale
// temporaries removed then), with every name the batch has given a file since. A name is only
// ever claimed exclusively, so a listing grown old costs at most a second try, never a file.
struct DestinationListing {
  std::string folder;  // drive form; empty until a run lists one
  std::vector<std::string> names;
  int listings = 0;  // how often a destination was listed (a test counts them)
};

// Adds name to the kept names when they are those of destination.
void KeepClaimedName(DestinationListing& kept, const std::string& destination, const std::string& name);

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
Status AssignExchangeFileName(const platform::DriveMap& drives, const std::string& source,
                              const std::string& destination, const Coordinates& c, WindowOps& ui, Numbering& result);
// The same with "BORLING.NO" as the boring was taken. With kept, the destination is listed only
// when kept holds another folder (or none), and the listing is kept there.
Status AssignExchangeFileName(const platform::DriveMap& drives, const TableFile& record, const std::string& destination,
                              const Coordinates& c, WindowOps& ui, Numbering& result,
                              DestinationListing* kept = nullptr);

// The next name after numbering's name was found taken at the moment the file was to be given
// it (another run took it first, or something that is no plain file lies there): the
// destination is looked at again, and the names found taken so far (kept in taken) count as
// used. The fresh listing replaces kept's. Fails as AssignExchangeFileName does.
Status NumberAgain(const platform::DriveMap& drives, const std::string& destination, std::vector<std::string>& taken,
                   Numbering& numbering, DestinationListing* kept = nullptr);

// Overwrites "BORLING.NO" of the source folder with the exchange file's full path.
Status RecordConversion(const platform::DriveMap& drives, const std::string& source, const std::string& destination,
                        const std::string& exchangeFileName);

// The same in two steps: the new "BORLING.NO" written whole beside the old one, for the run
// to put in place (record.Commit()) right after the exchange file. host: where a new
// "BORLING.NO" is made, when the run knows the folder had none (none: found through drives).
Status StageRecordConversion(const platform::DriveMap& drives, const std::string& source,
                             const std::string& destination, const std::string& exchangeFileName,
                             StagedTextFile& record, const std::optional<std::filesystem::path>& host = std::nullopt);

}  // namespace zk
