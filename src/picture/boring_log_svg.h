// A picture of the boring log, drawn from an exchange file as it was written, so that an
// engineer can see at a glance whether the conversion is right: the depth axis, the layer
// column (bottom depth, soil name and classification code, colour word of every interval), the
// standard penetration test plot (N against depth on 0 to 50, 50 and more at the edge with
// their penetration) and a title block (boring id, mesh code, position, elevation, depth).
//
// The picture is SVG in UTF-8, unlike every table and the exchange file (CP932): it is read
// by browsers and drawing programs, not by the conversion.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "exchange/exchange_reader.h"
#include "platform/status.h"

namespace zk {

// One "B" interval: from the bottom of the one above (0 for the first) down to bottom.
struct LogInterval {
  double bottom = 0;      // metres
  std::string depthText;  // as written, III.CC
  std::string code;       // classification code
  std::string soilName;
  std::string colourLetters;
  std::string colourWord;
};

// One "C" test.
struct LogTest {
  double depth = 0;
  std::string depthText;
  int blows = 0;            // the two-digit blow count field as a number
  std::string penetration;  // "", two characters, or "*"
};

struct BoringLog {
  std::string boringId, title, boringName;
  std::string latitude, longitude, elevation, totalDepth;  // fields as written
  std::vector<LogInterval> intervals;
  std::vector<LogTest> tests;
};

// Gathers what the picture shows. A "B" or "C" record that cannot be drawn (too few fields,
// a depth that is no III.CC text, a blow count that is no number) is refused with its line.
// Records of the other groups are not drawn.
Status CollectBoringLog(const std::vector<ExchangeRecord>& records, const std::string& file, BoringLog& log);
// The same for one record, added to what log holds.
Status CollectRecord(const ExchangeRecord& record, const std::string& file, BoringLog& log);

// The picture as SVG text, UTF-8. fileName names the exchange file in the title block.
std::string BoringLogSvg(const BoringLog& log, const std::string& fileName);
// The same written to out as it is drawn.
void WriteBoringLogSvg(const BoringLog& log, const std::string& fileName, std::ostream& out);

// Reads the exchange file (drive form) and draws it: the picture as SVG text (UTF-8), or the
// fault with the file and line that could not be read or drawn.
Status DrawLogPicture(const platform::DriveMap& drives, const std::string& exchangeFile, std::string& svg);

// Reads the exchange file (drive form), draws it and writes folder\<its name>.svg by way of a
// temporary file, so that a failure leaves no half-written picture. written receives the
// picture's drive-form path.
Status WriteBoringLogPicture(const platform::DriveMap& drives, const std::string& exchangeFile,
                             const std::string& folder, std::string& written);

// How a depth or level field reads in the picture: leading zeros of the whole metres dropped
// ("001.05" is "1.05", "000.70" is "0.70"); a text of another form stays as written.
std::string MetresText(const std::string& field);

}  // namespace zk
