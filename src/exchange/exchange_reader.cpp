#include "exchange/exchange_reader.h"

#include <algorithm>
#include <filesystem>
#include <span>

#include "exchange/record_frame.h"
#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace zk {
namespace {

const std::string kNoField;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Nth(std::size_t n) { return std::to_string(n) + " 番目の項目"; }

// Splits one line's text (UTF-8, its line end included) into fields; the frame only.
class LineSplitter {
 public:
  LineSplitter(std::string_view text, const std::string& name, long line) : text_(text), name_(name), line_(line) {}

  Status Split(std::vector<std::string>& fields) {
    if (text_.compare(0, 2, "\r\n") == 0) return Refuse("空の行があります");
    if (text_.empty() || text_[0] != '"')
      return Refuse("行が「\"」で始まっていません (項目が引用符で囲まれていません)");
    std::size_t pos = 1;
    for (;;) {
      std::size_t start = pos;
      for (;;) {
        std::size_t quote = text_.find_first_of("\"\r\n", pos);
        if (quote == std::string_view::npos || text_[quote] != '"')
          return Refuse(Nth(fields.size() + 1) + "の引用符が閉じていません");
        std::string_view after = text_.substr(quote + 1, 2);
        if (after.empty()) return Refuse("最後の行に行末 (CR LF) がありません");
        if (after[0] == ',') {
          if (after.size() < 2 || after[1] != '"')
            return Refuse("「,」の後の" + Nth(fields.size() + 2) + "が「\"」で始まっていません");
          fields.emplace_back(text_.substr(start, quote - start));
          pos = quote + 3;
          break;
        }
        if (after[0] == '\r' || after[0] == '\n') {
          if (after != "\r\n") return Refuse("行末が CR LF ではありません");
          fields.emplace_back(text_.substr(start, quote - start));
          return Status::Ok();
        }
        pos = quote + 1;  // a quote inside the field
      }
    }
  }

 private:
  Status Refuse(const std::string& description) const {
    return Status::Failed(Fault::BadRecord, name_, description, line_);
  }

  std::string_view text_;
  const std::string& name_;
  long line_;
};

// What every record must carry beyond its frame.
Status CheckRecord(const ExchangeRecord& record, const std::string& firstId, const std::string& name) {
  auto refuse = [&](const std::string& description) {
    return Status::Failed(Fault::BadRecord, name, description, record.line);
  };
  if (record.fields.size() < 3) return refuse("項目が 3 つ未満です (記録キー, ボーリング ID, 枝番が要ります)");
  const std::string& key = record.Key();
  if (key.size() != 1 || key[0] < 'A' || key[0] > 'H')
    return refuse("記録キー「" + Excerpt(key) + "」は A から H のどれでもありません");
  if (record.BoringId().empty()) return refuse("ボーリング ID が空です");
  if (record.BoringId() != firstId)
    return refuse("ボーリング ID「" + Excerpt(record.BoringId()) + "」が 1 行目の「" + Excerpt(firstId) +
                  "」と違います");
  const std::string& sub = record.SubNumber();
  if (sub.size() != 3 || !std::all_of(sub.begin(), sub.end(), IsDigit))
    return refuse("枝番「" + Excerpt(sub) + "」が 3 桁の数字ではありません");
  return Status::Ok();
}

}  // namespace

const std::string& ExchangeRecord::Field(std::size_t n) const {
  return n >= 1 && n <= fields.size() ? fields[n - 1] : kNoField;
}

namespace {

// Takes an exchange file one line at a time (its bytes up to and including the LF; the last
// line may lack it) and refuses it at its first bad line: nothing after that line is needed.
class RecordReader {
 public:
  using Visit = std::function<Status(const ExchangeRecord&)>;
  RecordReader(const std::string& name, Visit visit) : name_(name), visit_(std::move(visit)) {}

  Status Line(std::string_view bytes) {
    ++line_;
    if (CannotBeARecord(bytes)) return NotARecord();
    if (platform::FirstInvalidCp932(bytes) || !platform::FromCp932(bytes, text_))
      return Status::Failed(Fault::NotCp932, name_, "Shift-JIS (CP932) ではない文字があります", line_);
    ExchangeRecord record;
    record.line = line_;
    if (Status s = LineSplitter(text_, name_, line_).Split(record.fields); !s) return s;
    if (records_ == 0) firstId_ = record.fields.size() >= 2 ? record.BoringId() : kNoField;
    if (Status s = CheckRecord(record, firstId_, name_); !s) return s;
    ++records_;
    return visit_(record);
  }
  // A line that does not begin with a quote (nor with the CR of an empty line) is refused by
  // its first byte, whatever follows.
  static bool CannotBeARecord(std::string_view start) { return !start.empty() && start[0] != '"' && start[0] != '\r'; }
  // The next line, of which only the first bytes were read, is such a line.
  Status RefuseNextLine() {
    ++line_;
    return NotARecord();
  }

  Status Finish() const {
    if (records_ == 0) return Status::Failed(Fault::BadRecord, name_, "記録が一つもありません");
    return Status::Ok();
  }

 private:
  Status NotARecord() const {
    return Status::Failed(Fault::BadRecord, name_, "行が「\"」で始まっていません (項目が引用符で囲まれていません)",
                          line_);
  }

  const std::string& name_;
  long line_ = 0;
  std::string text_;
  std::string firstId_;
  long records_ = 0;
  Visit visit_;
};

// Keeps the records for a caller that wants them all, handing them over only when every line
// is good.
class RecordList {
 public:
  RecordReader::Visit Keeper() {
    return [this](const ExchangeRecord& record) {
      kept_.push_back(record);
      return Status::Ok();
    };
  }
  Status HandOver(Status status, std::vector<ExchangeRecord>& records) {
    if (status) records = std::move(kept_);
    return status;
  }

 private:
  std::vector<ExchangeRecord> kept_;
};

}  // namespace

Status ParseExchangeRecords(std::string_view bytes, const std::string& name, std::vector<ExchangeRecord>& records) {
  records.clear();
  RecordList list;
  RecordReader reader(name, list.Keeper());
  while (!bytes.empty()) {
    std::size_t end = bytes.find('\n');
    std::size_t length = end == std::string_view::npos ? bytes.size() : end + 1;
    if (Status s = reader.Line(bytes.substr(0, length)); !s) return s;
    bytes.remove_prefix(length);
  }
  return list.HandOver(reader.Finish(), records);
}

Status ReadExchangeFile(const platform::DriveMap& drives, const std::string& drivePath,
                        std::vector<ExchangeRecord>& records) {
  records.clear();
  RecordList list;
  return list.HandOver(ReadExchangeFile(drives, drivePath, list.Keeper()), records);
}

Status ReadExchangeFile(const platform::DriveMap& drives, const std::string& drivePath,
                        const std::function<Status(const ExchangeRecord&)>& visit) {
  auto host = drives.ToHost(drivePath);
  std::error_code ec;
  if (!host || !fs::is_regular_file(*host, ec))
    return Status::Failed(Fault::NotFound, drivePath, "ファイルがありません");
  int fd = platform::OpenToRead(*host);
  if (fd < 0) return Status::Failed(Fault::Unreadable, drivePath, "読めません");
  // In chunks, a line at a time: a file that is no exchange file is refused at its first bad
  // line without the rest being read (a CP932 trail byte is never an LF, so lines split clean).
  RecordReader reader(drivePath, visit);
  std::string line;
  std::vector<char> chunk(1 << 16);
  Status status = Status::Ok();
  for (unsigned long long at = 0;;) {
    long long n = platform::ReadAt(fd, chunk.data(), chunk.size(), at);
    if (n < 0) {
      status = Status::Failed(Fault::Unreadable, drivePath, "読めません");
      break;
    }
    if (n == 0) {
      if (!line.empty()) status = reader.Line(line);
      break;
    }
    at += static_cast<unsigned long long>(n);
    std::string_view got(chunk.data(), static_cast<std::size_t>(n));
    while (status && !got.empty()) {
      std::size_t end = got.find('\n');
      std::size_t length = end == std::string_view::npos ? got.size() : end + 1;
      line.append(got.substr(0, length));
      got.remove_prefix(length);
      if (end != std::string_view::npos) {
        status = reader.Line(line);
        line.clear();
      } else if (RecordReader::CannotBeARecord(line)) {
        status = reader.RefuseNextLine();
      }
    }
    if (!status) break;
  }
  platform::CloseReadFile(fd);
  if (!status) return status;
  return reader.Finish();
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
