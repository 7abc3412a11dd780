#pragma once

#include <functional>
#include <string>
#include <vector>

#include "exchange/exchange_file.h"
#include "platform/status.h"
#include "support/soil_names.h"
#include "tables/findings.h"
#include "tables/snapshot.h"

namespace zk {

// One layer of "X1.TXT": the depth of its bottom as written and its soil code.
struct LayerRow {
  std::string depthText;
  std::string soilCode;
};

// One colour interval of "X3.TXT": the depth of its bottom, held in single precision as the
// colour table has always been read, and its colour code string.
struct ColourRow {
  float depth = 0;
  std::string colourCodes;
};

// One interval of the merged division: where it ends, and the layer and colour it lies in.
struct MergedInterval {
  float depth = 0;
  std::string soilCode;
  std::string colourCodes;
};

// Divides the boring at every boundary of either table, from the top down. Boundaries are
// compared in whole centimetres, trunc((depth + 0.001) x 100), the layer depth as a double,
// the colour depth as its single value: a depth written the same in both (0.7, 12.70) is one
// boundary and ends one interval. Below the last layer the soil code is "0000"; below the last
// colour the colour string is blank. A table that has run out never ends an interval while the
// other still has rows.
std::vector<MergedInterval> MergeLayersAndColours(const std::vector<LayerRow>& layers,
                                                  const std::vector<ColourRow>& colours);

// The same merge over rows that come one at a time (false: the table has no more), each
// interval handed to emit as it is found: a boring of millions of rows is merged in the memory
// of one row of each table.
void MergeLayersAndColours(const std::function<bool(LayerRow&)>& nextLayer,
                           const std::function<bool(ColourRow&)>& nextColour,
                           const std::function<void(const MergedInterval&)>& emit);

// Appends the layer description block "B": layers and colour intervals merged by depth to the exchange file, soil
// names from soils (the boring's "Kishitu.txt"), the merge run twice over the snapshot's tables (a counting pass for
// the header, then the writing pass). boringIdField is the quoted boring id. A missing or 0-byte "X1.TXT" writes
// nothing; a layer table with no complete row still writes the header (count 000 when there are no colour intervals
// either, which otherwise come out as intervals of soil code "0000"). Soil and colour codes that give no name, and
// interval numbers beyond three digits, are told to findings.
Status WriteLayerBlock(ExchangeFile& out, const BoringSnapshot& boring, const SoilNameTable& soils,
                       const std::string& boringIdField, FindingSink& findings);

}  // namespace zk
