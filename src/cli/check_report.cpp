#include "cli/check_report.h"

#include <cstdio>
#include <ostream>
#include <string>

namespace zk::cli {
namespace {

const char* SeverityName(Severity s) { return s == Severity::Error ? "error" : "warning"; }

std::string Place(const Finding& f) { return f.line > 0 ? f.file + ":" + std::to_string(f.line) : f.file; }

std::string FindingLine(const Finding& f) {
  return Place(f) + ": " + SeverityName(f.severity) + ": " + f.message + "\n";
}

void WriteFinding(const Finding& f, std::ostream& out) { out << FindingLine(f); }

// The length of the UTF-8 character at text[i], 0 when the bytes there are not one.
std::size_t Utf8Length(const std::string& text, std::size_t i) {
  auto c = static_cast<unsigned char>(text[i]);
  std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || i + n > text.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
  return n;
}

}  // namespace

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = Utf8Length(text, i);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
      continue;
    }
    if (n > 1) {
      out.append(text, i, n);
      i += n;
      continue;
    }
    auto c = static_cast<unsigned char>(text[i++]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
      out += buffer;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

void WriteCheckText(const std::vector<BoringCheck>& checks, std::ostream& out) {
  long errors = 0, warnings = 0, failed = 0;
  for (const BoringCheck& c : checks) {
    out << "== " << c.folder;
    if (!c.meshCode.empty()) out << "  メッシュコード " << c.meshCode << "  交換ファイル " << c.exchangeFileName;
    out << "\n";
    for (const Finding& f : c.findings) WriteFinding(f, out);
    out << c.folder << ": エラー " << c.errors << " 件, 警告 " << c.warnings << " 件\n";
    errors += c.errors;
    warnings += c.warnings;
    if (c.errors > 0) ++failed;
  }
  out << "合計: ボーリング " << checks.size() << " 本 (変換できないもの " << failed << " 本), エラー " << errors
      << " 件, 警告 " << warnings << " 件\n";
}

void WriteCheckJson(const std::vector<BoringCheck>& checks, std::ostream& out) {
  out << "{\"borings\": [";
  for (std::size_t i = 0; i < checks.size(); ++i) {
    const BoringCheck& c = checks[i];
    out << (i ? ",\n  " : "\n  ") << "{\"boring\": " << JsonString(c.folder)
        << ", \"meshCode\": " << JsonString(c.meshCode) << ", \"exchangeFile\": " << JsonString(c.exchangeFileName)
        << ", \"errors\": " << c.errors << ", \"warnings\": " << c.warnings << ", \"findings\": [";
    for (std::size_t j = 0; j < c.findings.size(); ++j) {
      const Finding& f = c.findings[j];
      out << (j ? ",\n    " : "\n    ") << "{\"boring\": " << JsonString(c.folder)
          << ", \"file\": " << JsonString(f.file) << ", \"line\": " << f.line << ", \"severity\": \""
          << SeverityName(f.severity) << "\", \"code\": " << JsonString(f.code)
          << ", \"message\": " << JsonString(f.message) << "}";
    }
    out << "]}";
  }
  out << "\n]}\n";
}

void WriteErrors(const BoringCheck& check, std::ostream& err) {
  std::string text;
  for (const Finding& f : check.findings)
    if (f.severity == Severity::Error && f != check.told) text += FindingLine(f);
  err << text;
}

void WriteWarnings(const BoringCheck& check, std::ostream& err) {
  // All at once: standard error writes each piece by itself, and a boring may have hundreds.
  std::string text;
  for (const Finding& f : check.findings)
    if (f.severity == Severity::Warning) text += FindingLine(f);
  err << text;
}

}  // namespace zk::cli
