#include "exchange/exchange_reader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>

#include "exchange/record_frame.h"

#include "platform/codepage.h"
#include "platform/drives.h"

namespace fs = std::filesystem;

namespace zk {
namespace {

const std::string kNoField;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Nth(std::size_t n) { return std::to_string(n) + " 番目の項目"; }

// Splits the text (UTF-8) into records; the frame only.
class RecordSplitter {
 public:
  RecordSplitter(std::string_view text, const std::string& name) : text_(text), name_(name) {}

  Status Split(std::vector<ExchangeRecord>& records) {
    while (pos_ < text_.size()) {
      ExchangeRecord record;
      record.line = line_;
      if (Status s = SplitLine(record.fields); !s) return s;
      records.push_back(std::move(record));
      ++line_;
    }
    return Status::Ok();
  }

 private:
  Status Refuse(const std::string& description) const {
    return Status::Failed(Fault::BadRecord, name_, description, line_);
  }

  // One line from pos_, its CR LF included.
  Status SplitLine(std::vector<std::string>& fields) {
    if (text_.compare(pos_, 2, "\r\n") == 0) return Refuse("空の行があります");
    if (text_[pos_] != '"') return Refuse("行が「\"」で始まっていません (項目が引用符で囲まれていません)");
    ++pos_;
    for (;;) {
      std::size_t start = pos_;
      bool closed = false;
      while (!closed) {
        std::size_t quote = text_.find_first_of("\"\r\n", pos_);
        if (quote == std::string_view::npos || text_[quote] != '"')
          return Refuse(Nth(fields.size() + 1) + "の引用符が閉じていません");
        std::string_view after = text_.substr(quote + 1, 2);
        if (after.empty()) return Refuse("最後の行に行末 (CR LF) がありません");
        if (after[0] == ',') {
          if (after.size() < 2 || after[1] != '"')
            return Refuse("「,」の後の" + Nth(fields.size() + 2) + "が「\"」で始まっていません");
          fields.emplace_back(text_.substr(start, quote - start));
          pos_ = quote + 3;
          closed = true;
        } else if (after[0] == '\r' || after[0] == '\n') {
          if (after != "\r\n") return Refuse("行末が CR LF ではありません");
          fields.emplace_back(text_.substr(start, quote - start));
          pos_ = quote + 3;
          return Status::Ok();
        } else {
          pos_ = quote + 1;  // a quote inside the field
        }
      }
    }
  }

  std::string_view text_;
  const std::string& name_;
  std::size_t pos_ = 0;
  long line_ = 1;
};

// What every record must carry beyond its frame.
Status CheckRecord(const ExchangeRecord& record, const std::string& firstId, const std::string& name) {
  auto refuse = [&](const std::string& description) {
    return Status::Failed(Fault::BadRecord, name, description, record.line);
  };
  if (record.fields.size() < 3) return refuse("項目が 3 つ未満です (記録キー, ボーリング ID, 枝番が要ります)");
  const std::string& key = record.Key();
  if (key.size() != 1 || key[0] < 'A' || key[0] > 'H')
    return refuse("記録キー「" + key + "」は A から H のどれでもありません");
  if (record.BoringId().empty()) return refuse("ボーリング ID が空です");
  if (record.BoringId() != firstId)
    return refuse("ボーリング ID「" + record.BoringId() + "」が 1 行目の「" + firstId + "」と違います");
  const std::string& sub = record.SubNumber();
  if (sub.size() != 3 || !std::all_of(sub.begin(), sub.end(), IsDigit))
    return refuse("枝番「" + sub + "」が 3 桁の数字ではありません");
  return Status::Ok();
}

}  // namespace

const std::string& ExchangeRecord::Field(std::size_t n) const {
  return n >= 1 && n <= fields.size() ? fields[n - 1] : kNoField;
}

Status ParseExchangeRecords(std::string_view bytes, const std::string& name, std::vector<ExchangeRecord>& records) {
  records.clear();
  if (auto bad = platform::FirstInvalidCp932(bytes)) {
    long line = 1 + static_cast<long>(std::count(bytes.begin(), bytes.begin() + static_cast<long>(*bad), '\n'));
    return Status::Failed(Fault::NotCp932, name, "Shift-JIS (CP932) ではない文字があります", line);
  }
  auto text = platform::FromCp932(bytes);
  if (!text) return Status::Failed(Fault::NotCp932, name, "Shift-JIS (CP932) ではない文字があります");
  std::vector<ExchangeRecord> split;
  if (Status s = RecordSplitter(*text, name).Split(split); !s) return s;
  if (split.empty()) return Status::Failed(Fault::BadRecord, name, "記録が一つもありません");
  for (const ExchangeRecord& record : split) {
    const std::string& firstId = split.front().fields.size() >= 2 ? split.front().BoringId() : kNoField;
    if (Status s = CheckRecord(record, firstId, name); !s) return s;
  }
  records = std::move(split);
  return Status::Ok();
}

Status ReadExchangeFile(const std::string& drivePath, std::vector<ExchangeRecord>& records) {
  records.clear();
  auto host = platform::ToHost(drivePath);
  std::error_code ec;
  if (!host || !fs::is_regular_file(*host, ec))
    return Status::Failed(Fault::NotFound, drivePath, "ファイルがありません");
  std::ifstream in(*host, std::ios::binary);
  if (!in) return Status::Failed(Fault::Unreadable, drivePath, "読めません");
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return Status::Failed(Fault::Unreadable, drivePath, "読めません");
  return ParseExchangeRecords(bytes, drivePath, records);
}

std::string RecordLine(const ExchangeRecord& record) {
  std::string line;
  std::string id = "\"" + record.BoringId() + "\"";
  std::span<const std::string> data;
  if (record.fields.size() > 3) data = std::span<const std::string>(record.fields).subspan(3);
  AppendRecordLine(line, record.Key(), id, record.SubNumber(), data);
  return line;
}

}  // namespace zk
