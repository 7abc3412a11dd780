#include "records/layer_block.h"

#include <cmath>

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

// Reads every complete row of a table; a last row cut short is dropped. take gets the row's
// fields and the line of each.
template <typename Row, typename Take>
Status ReadRows(const TableFile& table, std::size_t fieldsPerRow, std::vector<Row>& rows, Take take) {
  TableReader reader;
  if (Status s = reader.Open(table); !s) return s;
  std::vector<std::string> fields(fieldsPerRow);
  std::vector<long> lines(fieldsPerRow);
  while (!reader.AtEnd()) {
    bool complete = true;
    for (std::size_t i = 0; i < fieldsPerRow; ++i) {
      if (!complete || reader.AtEnd()) {
        complete = false;
        continue;
      }
      reader.ReadField(fields[i]);
      lines[i] = reader.FieldLine();
    }
    if (!complete) break;
    rows.push_back(take(fields, lines));
  }
  return Status::Ok();
}

// A depth the layer records cannot hold as it is.
void TellDepthCut(const std::string& path, long line, const std::string& text, FindingSink& findings) {
  double depth = QXCOMSUB::ParseNumber(text);
  if (!DepthCut(depth)) return;
  findings.Warn(path, line, "depth-cut",
                "深度「" + text + "」は「" + DepthText(depth) + "」と書かれます (0 m から 999.99 m までしか書けません)");
}

Status ReadLayers(const TableFile& table, const SoilNameTable& soils, std::vector<LayerRow>& layers,
                  FindingSink& findings) {
  return ReadRows(table, Layout(TableId::X1).fields, layers,
                  [&](const std::vector<std::string>& f, const std::vector<long>& lines) {
                    TellDepthCut(table.drivePath, lines[1], f[1], findings);
                    if (soils.found && FindSoilName(f[2], soils).empty())
                      findings.Warn(table.drivePath, lines[2], "unknown-soil-code",
                                    "土質コード「" + f[2] + "」が Kishitu.txt にありません (分類 0000、土質名なしで変換されます)");
                    return LayerRow{f[1], f[2]};
                  });
}

Status ReadColours(const TableFile& table, std::vector<ColourRow>& colours, FindingSink& findings) {
  return ReadRows(table, Layout(TableId::X3).fields, colours,
                  [&](const std::vector<std::string>& f, const std::vector<long>& lines) {
                    TellDepthCut(table.drivePath, lines[1], f[1], findings);
                    const std::string& codes = f[2];
                    for (std::size_t at = 0; at < 6 && at < codes.size(); at += 2) {
                      std::string slice = codes.substr(at, 2);
                      if (QXCOMSUB::TrimSpaces(slice).empty() || !EncodeColour(slice).words.empty()) continue;
                      findings.Warn(table.drivePath, lines[2], "unknown-colour-code",
                                    "色コード「" + slice + "」に色がありません (色なしで変換されます)");
                    }
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
    double a = std::trunc(layerDepth * 100);
    double b = std::trunc(static_cast<double>(colour.depth) * 100);
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

Status WriteLayerBlock(ExchangeFile& out, const BoringSnapshot& boring, const SoilNameTable& names,
                       const std::string& boringIdField, FindingSink& findings) {
  const TableFile& layerTable = boring.Table(TableId::X1);
  const TableFile& colourTable = boring.Table(TableId::X3);
  if (!layerTable.IsPresent()) return out.status();
  if (!names.found)
    findings.Warn(names.drivePath, 0, "no-soil-table", "土質名の表がありません (すべての層が分類 0000、土質名なしになります)");
  std::vector<LayerRow> layers;
  if (Status s = ReadLayers(layerTable, names, layers, findings); !s) return s;
  std::vector<ColourRow> colours;
  if (colourTable.IsPresent())
    if (Status s = ReadColours(colourTable, colours, findings); !s) return s;

  std::vector<MergedInterval> intervals = MergeLayersAndColours(layers, colours);
  if (intervals.size() > 999)
    findings.Warn(layerTable.drivePath, 0, "too-many-rows",
                  "層と色の区間が " + std::to_string(intervals.size()) +
                      " あります (999 を超えた区間番号は下三桁だけになります)");
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
