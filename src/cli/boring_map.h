// A map of borings: where each exchange file's boring lies, as a GeoJSON FeatureCollection
// (UTF-8) that GIS programs and web maps open. One point feature per exchange file, at the
// position of header record "A" 003, with the mesh code, the boring name and the total depth.
#pragma once

#include <string>
#include <vector>

#include "conversion/exchange_reader.h"
#include "platform/status.h"

namespace zk::cli {

struct BoringPoint {
  std::string file;                    // the exchange file's name
  std::string boringId;                // mesh code and sequence number
  std::string meshCode;                // the first 8 digits of the boring id
  std::string title;                   // record 001 field 4
  std::string boringName;              // record 002 field 4
  double latitude = 0, longitude = 0;  // decimal degrees
  double depth = 0;                    // metres, from record 003 field 12
};

// Decimal degrees of a position field of record 003: DDMMSSS (latitude, 7 digits) or DDDMMSSS
// (longitude, 8 digits), seconds in tenths. false when the text is not of that form or the
// minutes or seconds are 60 or more.
bool DegreesOf(const std::string& field, std::size_t degreeDigits, double& degrees);

// The point of one exchange file; a file without records 002 and 003, or whose position or
// depth cannot be read, is refused with the record's line.
Status CollectBoringPoint(const std::vector<ExchangeRecord>& records, const std::string& file, BoringPoint& point);

// The FeatureCollection text (coordinates longitude first, as GeoJSON orders them).
std::string BoringMapGeoJson(const std::vector<BoringPoint>& points);

// Writes text to a host path by way of a temporary file beside it, so that a failure leaves
// no half-written file and an old file as it was.
Status WriteWholeFile(const std::string& hostPath, const std::string& text);

}  // namespace zk::cli
