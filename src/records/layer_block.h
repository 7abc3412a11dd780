#pragma once

#include <functional>
#include <string>
#include <vector>

#include "conversion/exchange_file.h"
#include "platform/status.h"

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

// The merge of a boring's own tables (source: the boring folder, no final "\"), read as the
// block reads them: emit gets each interval. A missing or 0-byte "X1.TXT" gives none; a missing
// or 0-byte "X3.TXT" stands for a table without rows.
Status MergeBoringLayers(const std::string& source, const std::function<void(const MergedInterval&)>& emit);

// Appends the layer description block "B": layers and colour intervals merged by depth to the exchange file. source is
// the boring folder (no final "\"), boringIdField the quoted boring id. A missing or 0-byte "X1.TXT" writes nothing; a
// layer table with no complete row still writes the header (count 000 when there are no colour intervals either,
// which otherwise come out as intervals of soil code "0000").
Status WriteLayerBlock(ExchangeFile& out, const std::string& source, const std::string& boringIdField);

}  // namespace zk
