#include "records/layer_block.h"

#include <cmath>

#include "records/colour.h"
#include "records/depth_text.h"
#include "support/soil_names.h"
#include "tables/field_reader.h"
#include "tables/numbers.h"
#include "tables/table_access.h"

namespace zk {
namespace {

constexpr std::size_t kLayerFields = 4;
constexpr std::size_t kColourFields = 7;

// What an exhausted table stands for: a row at 99999.99 m.
const LayerRow kLayerEnd{"99999.99", "0000"};
const ColourRow kColourEnd{99999.99f, "    "};

// Reads every complete row of a table; a last row cut short is dropped.
template <typename Row, typename Take>
Status ReadRows(const std::string& path, std::size_t fieldsPerRow, std::vector<Row>& rows, Take take) {
  TableReader reader;
  if (Status s = reader.Open(path); !s) return s;
  std::vector<std::string> fields;
  while (!reader.AtEnd() && reader.ReadRow(fieldsPerRow, fields)) rows.push_back(take(fields));
  return reader.status();
}

Status ReadLayers(const std::string& path, std::vector<LayerRow>& layers) {
  return ReadRows(path, kLayerFields, layers, [](const std::vector<std::string>& f) { return LayerRow{f[1], f[2]}; });
}

Status ReadColours(const std::string& path, std::vector<ColourRow>& colours) {
  return ReadRows(path, kColourFields, colours, [](const std::vector<std::string>& f) {
    return ColourRow{QXCOMSUB::ToSingle(QXCOMSUB::ParseNumber(f[1])), f[2]};
  });
}

}  // namespace

std::vector<MergedInterval> MergeLayersAndColours(const std::vector<LayerRow>& layers,
                                                  const std::vector<ColourRow>& colours) {
  std::vector<MergedInterval> intervals;
  std::size_t nextLayer = 0;
  std::size_t nextColour = 0;
  for (;;) {
    bool layersExhausted = nextLayer >= layers.size();
    bool coloursExhausted = nextColour >= colours.size();
    if (layersExhausted && coloursExhausted) break;
    const LayerRow& layer = layersExhausted ? kLayerEnd : layers[nextLayer];
    const ColourRow& colour = coloursExhausted ? kColourEnd : colours[nextColour];
    double layerDepth = QXCOMSUB::ParseNumber(layer.depthText);
    MergedInterval interval{QXCOMSUB::ToSingle(layerDepth), layer.soilCode, colour.colourCodes};
    // Both boundaries in whole centimetres with the depth text's guard, so that a depth written
    // alike in both tables (0.7, the colour's held in single precision as 0.69999999) is one
    // boundary.
    double a = std::trunc((layerDepth + 0.001) * 100);
    double b = std::trunc((static_cast<double>(colour.depth) + 0.001) * 100);
    // An exhausted table's end marker is no boundary: the other table's rows end the
    // intervals, however deep they go.
    bool layerEnds = coloursExhausted || (!layersExhausted && b >= a);
    bool colourEnds = layersExhausted || (!coloursExhausted && !(b > a));
    if (layerEnds) ++nextLayer;
    if (colourEnds) ++nextColour;
    if (colourEnds && !layerEnds) interval.depth = colour.depth;
    intervals.push_back(std::move(interval));
  }
  return intervals;
}

Status WriteLayerBlock(ExchangeFile& out, const std::string& source, const std::string& boringIdField) {
  std::string layerPath = source + "\\X1.TXT";
  std::string colourPath = source + "\\X3.TXT";
  if (!FCOPYSUB::IsPresent(layerPath)) return out.status();
  SoilNameTable names;
  if (Status s = LoadSoilNameTable(names); !s) return s;
  std::vector<LayerRow> layers;
  if (Status s = ReadLayers(layerPath, layers); !s) return s;
  std::vector<ColourRow> colours;
  if (FCOPYSUB::IsPresent(colourPath))
    if (Status s = ReadColours(colourPath, colours); !s) return s;

  std::vector<MergedInterval> intervals = MergeLayersAndColours(layers, colours);
  out.WriteRecord("B", boringIdField, "000", {QXCOMSUB::Counter3(static_cast<long long>(intervals.size()))});
  long long number = 0;
  for (const MergedInterval& interval : intervals) {
    std::string soilName;
    std::string code = ClassifySoilName(interval.soilCode, names, soilName);
    ColourFields colour = EncodeColour(interval.colourCodes);
    out.WriteRecord("B", boringIdField, QXCOMSUB::Counter3(++number),
                    {DepthText(static_cast<double>(interval.depth)), code, soilName, colour.letters, colour.words});
  }
  return out.status();
}

}  // namespace zk
