#include "tables/inspect.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "tables/field_reader.h"
#include "tables/numbers.h"

namespace zk {
namespace {

bool Blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

bool IsNumberColumn(const TableLayout& layout, std::size_t column) {
  return std::find(layout.numberColumns.begin(), layout.numberColumns.end(), static_cast<int>(column)) !=
         layout.numberColumns.end();
}

// A number column's field as it stands in the table: its digits are ASCII in either encoding,
// so it is looked at in its own bytes and decoded only to be shown.
void CheckNumber(const std::string& path, long line, std::size_t column, const RawField& field, FindingSink& findings) {
  std::string_view bytes = field.bytes;
  std::size_t end = QXCOMSUB::LeadingNumberEnd(bytes);
  if (end == bytes.size()) return;  // a number and nothing more, as nearly always (or empty)
  if (Blank(bytes)) return;
  const std::string text = TableReader::Text(field);
  if (end == 0) {
    findings.Warn(
        path, line, "not-a-number",
        std::to_string(column) + " 番目の項目「" + Excerpt(text) + "」は数値ではありません (0 として変換されます)");
    return;
  }
  // A typing slip ("3O" for 30, "20cm", "0x10", "1.2.3"): only the number in front is read.
  std::string_view rest = std::string_view(text).substr(end);
  if (Blank(rest)) return;
  findings.Warn(path, line, "number-with-text",
                std::to_string(column) + " 番目の項目「" + Excerpt(text) + "」は数値の後ろに「" + Excerpt(rest) +
                    "」があります (" + QXCOMSUB::NumberText(QXCOMSUB::ParseNumber(bytes)) + " として変換されます)");
}

// A quoted field that runs over a line end: usually a quote left open, which takes the rows up
// to the next quote into one field.
// The field that opens a quote never closed is told as such, once the table is read.
void CheckQuoteOverLineEnd(const TableReader& reader, long line, bool overLineEnd, FindingSink& findings) {
  if (!overLineEnd || reader.UnclosedQuoteLine() == line) return;
  findings.Warn(reader.path(), line, "quote-over-line-end",
                "引用符「\"」の項目が行をまたいでいます (次の引用符までの行が一つの項目として読まれます)");
}

// Row numbers of a table that carries them: a gap or a repeat is most often a row deleted or
// copied by mistake.
class RowNumbers {
 public:
  void Next(const std::string& path, long line, std::string_view field, FindingSink& findings) {
    if (stopped_) return;
    double value = QXCOMSUB::ParseNumber(field);
    // Only a whole number that a count of rows can reach is one (8e19 is not, nor is NaN).
    if (Blank(field) || QXCOMSUB::LeadingNumberEnd(field) == 0 || !(std::fabs(value) < 9e18) ||
        value != std::trunc(value)) {
      stopped_ = true;  // no row numbers in this table
      return;
    }
    auto number = static_cast<long>(value);
    if (number == last_) {
      findings.Warn(path, line, "row-number-repeat",
                    "行番号 " + std::to_string(number) + " が繰り返されています (どちらの行もそのまま変換されます)");
    } else if (number != last_ + 1) {
      findings.Warn(path, line, "row-number-gap",
                    "行番号が " + std::to_string(last_) + " の次に " + std::to_string(number) +
                        " です (抜けた行はありませんか。そのまま変換されます)");
    }
    last_ = number;
  }

 private:
  long last_ = 0;
  bool stopped_ = false;
};

void CheckStream(TableReader& reader, const TableLayout& layout, FindingSink& findings) {
  std::size_t n = 0;
  std::vector<RawField> one;
  while (!reader.AtEnd()) {
    reader.ReadRawRow(1, one);
    const RawField& field = one[0];
    ++n;
    CheckQuoteOverLineEnd(reader, field.line, field.overLineEnd, findings);
    if (n > layout.fields) {
      if (Blank(field.bytes)) continue;  // a trailing comma loses nothing
      findings.Warn(reader.path(), field.line, "too-many-fields",
                    std::to_string(layout.fields) + " 項目を超える項目「" + Excerpt(TableReader::Text(field)) +
                        "」などは読まれません");
      return;
    }
    if (IsNumberColumn(layout, n)) CheckNumber(reader.path(), field.line, n, field, findings);
  }
}

void CheckRows(TableReader& reader, const TableLayout& layout, FindingSink& findings, const RowVisitor& visit) {
  RowNumbers numbers;
  std::vector<RawField> row;
  std::vector<long> lines(layout.fields);  // a short last row keeps the lines of the row before
  long rows = 0;
  double lastDepth = 0;
  while (!reader.AtEnd()) {
    bool complete = reader.ReadRawRow(layout.fields, row);
    const long rowLine = row[0].line;
    for (std::size_t i = 0; i < layout.fields && row[i].line > 0; ++i) {
      lines[i] = row[i].line;
      CheckQuoteOverLineEnd(reader, row[i].line, row[i].overLineEnd, findings);
    }
    if (!complete && layout.shape != TableShape::RowsKeptShort) {
      findings.Warn(
          reader.path(), rowLine, "row-cut-short",
          "最後の行が途中で終わっています (" + std::to_string(layout.fields) + " 項目に足りないので変換されません)");
      break;
    }
    ++rows;
    if (visit && complete) visit(row);
    if (layout.rowNumberColumn > 0) {
      auto c = static_cast<std::size_t>(layout.rowNumberColumn);
      numbers.Next(reader.path(), lines[c - 1], row[c - 1].bytes, findings);
    }
    for (int column : layout.numberColumns) {  // listed in column order
      auto c = static_cast<std::size_t>(column);
      CheckNumber(reader.path(), lines[c - 1], c, row[c - 1], findings);
    }
    if (layout.depthColumn > 0) {
      auto c = static_cast<std::size_t>(layout.depthColumn);
      double depth = QXCOMSUB::ParseNumber(row[c - 1].bytes);
      if (rows > 1 && depth <= lastDepth)
        findings.Warn(reader.path(), lines[c - 1], "depth-not-increasing",
                      "深度 " + QXCOMSUB::NumberText(depth) + " が前の行の " + QXCOMSUB::NumberText(lastDepth) +
                          " より深くありません (そのまま変換されます)");
      lastDepth = depth;
    }
    if (layout.rowLimit > 0 && rows == layout.rowLimit + 1)
      findings.Warn(reader.path(), rowLine, "too-many-rows",
                    std::to_string(layout.rowLimit) +
                        (layout.rowsWrap ? " 行を超えています (件数と行番号は下三桁だけになり、000 から繰り返されます)"
                                         : " 行を超えています (それより後の行は変換されません)"));
  }
}

// Characters of the NEC and IBM extension rows and the user-defined area: electronic delivery
// rules forbid them, and other systems may show them as something else. One warning a line.
void CheckExtensionCharacters(const TableFile& table, FindingSink& findings) {
  const std::string& bytes = table.bytes;
  long line = 1;
  long reported = 0;
  std::size_t counted = 0;  // bytes whose line ends are in line
  auto lineAt = [&](std::size_t at) {
    for (; counted < at; ++counted) {
      char c = bytes[counted];
      if (c == '\r' || (c == '\n' && (counted == 0 || bytes[counted - 1] != '\r'))) ++line;
    }
    return line;
  };
  for (std::size_t i = platform::FirstNonAscii(bytes); i < bytes.size(); i = platform::FirstNonAscii(bytes, i)) {
    auto lead = static_cast<unsigned char>(bytes[i]);
    if (!((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) || i + 1 >= bytes.size()) {
      ++i;
      continue;
    }
    bool extension = lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA;
    bool userDefined = lead >= 0xF0 && lead <= 0xF9;
    if ((extension || userDefined) && lineAt(i) != reported) {
      auto shown = platform::FromCp932(std::string_view(bytes).substr(i, 2));
      findings.Warn(table.drivePath, line, "extension-character",
                    "機種依存文字「" + (shown ? *shown : std::string("?")) + "」があります (" +
                        (extension ? "NEC・IBM 拡張文字" : "外字") + "。そのまま書き出されます)");
      reported = line;
    }
    i += 2;
  }
}

}  // namespace

void InspectTable(const TableFile& table, const TableLayout& layout, FindingSink& findings, const RowVisitor& visit) {
  // A table that cannot be read is told by the step that reads it, and only if one does: the
  // check says what the conversion does.
  if (!table.IsPlainFile() || !table.fault) return;
  TableReader reader;
  if (!reader.Open(table)) return;
  if (layout.shape == TableShape::Stream)
    CheckStream(reader, layout, findings);
  else if (layout.shape != TableShape::PresenceOnly)
    CheckRows(reader, layout, findings, visit);
  if (reader.UnclosedQuoteLine() > 0)
    findings.Warn(table.drivePath, reader.UnclosedQuoteLine(), "unclosed-quote",
                  "引用符「\"」が閉じていません (表の終わりまでが一つの項目になります)");
  CheckExtensionCharacters(table, findings);
}

}  // namespace zk
