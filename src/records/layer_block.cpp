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

// The rows of one table, one at a time; a last row cut short is no row.
class RowSource {
 public:
  RowSource(std::size_t fieldsPerRow, std::size_t lastColumn) : fieldsPerRow_(fieldsPerRow), last_(lastColumn) {}
  // Opens the table when it is present; a table that is not stands for one without rows.
  Status Open(const std::string& path) {
    if (!FCOPYSUB::IsPresent(path)) return Status::Ok();
    return reader_.Open(path);
  }
  // The next row's fields 2 to lastColumn (others empty); false at the end or on a fault.
  bool Next() {
    return reader_.IsOpen() && !reader_.AtEnd() && reader_.status() &&
           reader_.ReadRow(fieldsPerRow_, 2, last_, fields_) && reader_.status();
  }
  const std::vector<std::string>& fields() const { return fields_; }
  Status status() const { return reader_.status(); }

 private:
  TableReader reader_;
  std::size_t fieldsPerRow_;
  std::size_t last_;
  std::vector<std::string> fields_;
};

}  // namespace

void MergeLayersAndColours(const std::function<bool(LayerRow&)>& nextLayer,
                           const std::function<bool(ColourRow&)>& nextColour,
                           const std::function<void(const MergedInterval&)>& emit) {
  LayerRow layerRow;
  ColourRow colourRow;
  bool layersExhausted = !nextLayer(layerRow);
  bool coloursExhausted = !nextColour(colourRow);
  while (!(layersExhausted && coloursExhausted)) {
    const LayerRow& layer = layersExhausted ? kLayerEnd : layerRow;
    const ColourRow& colour = coloursExhausted ? kColourEnd : colourRow;
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
    if (colourEnds && !layerEnds) interval.depth = colour.depth;
    emit(interval);
    if (layerEnds) layersExhausted = !nextLayer(layerRow);
    if (colourEnds) coloursExhausted = !nextColour(colourRow);
  }
}

std::vector<MergedInterval> MergeLayersAndColours(const std::vector<LayerRow>& layers,
                                                  const std::vector<ColourRow>& colours) {
  std::size_t l = 0, c = 0;
  std::vector<MergedInterval> intervals;
  MergeLayersAndColours([&](LayerRow& row) { return l < layers.size() && (row = layers[l++], true); },
                        [&](ColourRow& row) { return c < colours.size() && (row = colours[c++], true); },
                        [&](const MergedInterval& interval) { intervals.push_back(interval); });
  return intervals;
}

Status MergeBoringLayers(const std::string& source, const std::function<void(const MergedInterval&)>& emit) {
  std::string layerPath = source + "\\X1.TXT";
  if (!FCOPYSUB::IsPresent(layerPath)) return Status::Ok();
  RowSource layers(kLayerFields, 3), colours(kColourFields, 3);
  if (Status s = layers.Open(layerPath); !s) return s;
  if (Status s = colours.Open(source + "\\X3.TXT"); !s) return s;
  auto nextLayer = [&](LayerRow& row) {
    if (!layers.Next()) return false;
    row.depthText = layers.fields()[1];
    row.soilCode = layers.fields()[2];
    return true;
  };
  auto nextColour = [&](ColourRow& row) {
    if (!colours.Next()) return false;
    row.depth = QXCOMSUB::ToSingle(QXCOMSUB::ParseNumber(colours.fields()[1]));
    row.colourCodes = colours.fields()[2];
    return true;
  };
  MergeLayersAndColours(nextLayer, nextColour, emit);
  if (Status s = layers.status(); !s) return s;
  return colours.status();
}

Status WriteLayerBlock(ExchangeFile& out, const std::string& source, const std::string& boringIdField) {
  std::string layerPath = source + "\\X1.TXT";
  if (!FCOPYSUB::IsPresent(layerPath)) return out.status();
  SoilNameTable names;
  if (Status s = LoadSoilNameTable(names); !s) return s;
  // A counting pass for the header, then the writing pass: no row is kept between them.
  long long count = 0;
  if (Status s = MergeBoringLayers(source, [&](const MergedInterval&) { ++count; }); !s) return s;
  out.WriteRecord("B", boringIdField, "000", {QXCOMSUB::Counter3(count)});
  long long number = 0;
  Status merged = MergeBoringLayers(source, [&](const MergedInterval& interval) {
    if (++number > count) return;
    std::string soilName;
    std::string code = ClassifySoilName(interval.soilCode, names, soilName);
    ColourFields colour = EncodeColour(interval.colourCodes);
    out.WriteRecord("B", boringIdField, QXCOMSUB::Counter3(number),
                    {DepthText(static_cast<double>(interval.depth)), code, soilName, colour.letters, colour.words});
  });
  if (!merged) return merged;
  // The header must tell the records written: tables changed between the passes are refused.
  if (number != count)
    return Status::Failed(Fault::Unreadable, layerPath, "変換中に層か色の表が変わりました (もう一度変換してください)");
  return out.status();
}

}  // namespace zk
