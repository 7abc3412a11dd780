#include "records/layer_block.h"

#include <cmath>
#include <functional>

#include "records/colour.h"
#include "records/depth_text.h"
#include "support/text_bytes.h"
#include "tables/field_reader.h"
#include "tables/numbers.h"

namespace zk {
namespace {

// What an exhausted table stands for: a row at 99999.99 m.
const LayerRow kLayerEnd{"99999.99", "0000"};
const ColourRow kColourEnd{99999.99f, "    "};

// The rows of one table of the boring, one at a time, with the line of each field; a last row
// cut short is no row. Only the depth and code columns (fields 1 and 2, from 0) are read, the
// others passed over: the block writes nothing else of either table.
class RowSource {
 public:
  explicit RowSource(std::size_t fieldsPerRow) : fields_(fieldsPerRow), lines_(fieldsPerRow) {}
  // Opens the table when it is present; a table that is not stands for one without rows.
  Status Open(const TableFile& table) {
    if (!table.IsPresent()) return Status::Ok();
    return reader_.Open(table);
  }
  // The next complete row; false at the end.
  bool Next() {
    if (!reader_.IsOpen()) return false;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      if (reader_.AtEnd()) return false;
      if (i == 1 || i == 2)
        reader_.ReadField(fields_[i]);
      else
        reader_.SkipField();
      lines_[i] = reader_.FieldLine();
    }
    return true;
  }
  const std::string& field(std::size_t i) const { return fields_[i]; }
  long line(std::size_t i) const { return lines_[i]; }

 private:
  TableReader reader_;
  std::vector<std::string> fields_;
  std::vector<long> lines_;
};

// A depth the layer records cannot hold as it is.
void TellDepthCut(const std::string& path, long line, const std::string& text, FindingSink& findings) {
  double depth = QXCOMSUB::ParseNumber(text);
  if (!DepthCut(depth)) return;
  findings.WarnWith(path, line, "depth-cut", [&] {
    return "深度「" + Excerpt(text) + "」は「" + DepthText(depth) +
           "」と書かれます (0 m から 999.99 m までしか書けません)";
  });
}

// The merge of the boring's two tables, read as the block reads them; with findings, what
// the rows hold that the block cannot write as it is is told as they go by.
Status MergeTables(const BoringSnapshot& boring, const SoilNameTable* soils, FindingSink* findings,
                   const std::function<void(const MergedInterval&)>& emit) {
  const TableFile& layerTable = boring.Table(TableId::X1);
  const TableFile& colourTable = boring.Table(TableId::X3);
  RowSource layers(Layout(TableId::X1).fields), colours(Layout(TableId::X3).fields);
  if (Status s = layers.Open(layerTable); !s) return s;
  if (Status s = colours.Open(colourTable); !s) return s;
  auto nextLayer = [&](LayerRow& row) {
    if (!layers.Next()) return false;
    row.depthText = layers.field(1);
    row.soilCode = layers.field(2);
    if (findings) {
      TellDepthCut(layerTable.drivePath, layers.line(1), row.depthText, *findings);
      if (soils && soils->found && FindSoilName(row.soilCode, *soils).empty())
        findings->Warn(layerTable.drivePath, layers.line(2), "unknown-soil-code",
                       "土質コード「" + Excerpt(row.soilCode) +
                           "」が Kishitu.txt にありません (分類 0000、土質名なしで変換されます)");
    }
    return true;
  };
  auto nextColour = [&](ColourRow& row) {
    if (!colours.Next()) return false;
    row.depth = QXCOMSUB::ToSingle(QXCOMSUB::ParseNumber(colours.field(1)));
    row.colourCodes = colours.field(2);
    if (findings) {
      TellDepthCut(colourTable.drivePath, colours.line(1), colours.field(1), *findings);
      const std::string& codes = row.colourCodes;
      for (std::size_t at = 0; at < 6 && at < codes.size(); at += 2) {
        std::string slice = codes.substr(at, 2);
        if (QXCOMSUB::TrimSpaces(slice).empty() || !EncodeColour(slice).words.empty()) continue;
        findings->Warn(colourTable.drivePath, colours.line(2), "unknown-colour-code",
                       "色コード「" + Excerpt(slice) + "」に色がありません (色なしで変換されます)");
      }
    }
    return true;
  };
  MergeLayersAndColours(nextLayer, nextColour, emit);
  return Status::Ok();
}

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

Status WriteLayerBlock(ExchangeFile& out, const BoringSnapshot& boring, const SoilNameTable& names,
                       const std::string& boringIdField, FindingSink& findings) {
  const TableFile& layerTable = boring.Table(TableId::X1);
  if (!layerTable.IsPresent()) return out.status();
  if (!names.found)
    findings.Warn(names.drivePath, 0, "no-soil-table",
                  "土質名の表がありません (すべての層が分類 0000、土質名なしになります)");
  // A counting pass for the header, telling what the rows hold on the way, then the writing
  // pass over the same bytes of the snapshot: no row is kept between them.
  long long count = 0;
  if (Status s = MergeTables(boring, &names, &findings, [&](const MergedInterval&) { ++count; }); !s) return s;
  if (count > 999)
    findings.Warn(layerTable.drivePath, 0, "too-many-rows",
                  "層と色の区間が " + std::to_string(count) + " あります (999 を超えた区間番号は下三桁だけになります)");
  out.WriteRecord("B", boringIdField, "000", {QXCOMSUB::Counter3(count)});
  long long number = 0;
  Status merged = MergeTables(boring, nullptr, nullptr, [&](const MergedInterval& interval) {
    std::string soilName;
    std::string code = ClassifySoilName(interval.soilCode, names, soilName);
    ColourFields colour = EncodeColour(interval.colourCodes);
    out.WriteRecord("B", boringIdField, QXCOMSUB::Counter3(++number),
                    {DepthText(static_cast<double>(interval.depth)), code, soilName, colour.letters, colour.words});
  });
  if (!merged) return merged;
  return out.status();
}

}  // namespace zk
