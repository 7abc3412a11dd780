// A small XML scan for tests of written pictures: checks that a document is well-formed (one
// root, tags that nest and match, quoted attributes, known entities, comments without "--",
// valid UTF-8 without control characters) and gathers the text of its elements.
#pragma once

#include <cctype>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zk::test {

struct XmlElement {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::string text;  // its own character data, entities decoded
};

struct XmlScan {
  std::string error;                 // empty when well-formed
  std::vector<XmlElement> elements;  // in document order

  bool ok() const { return error.empty(); }
  // The texts of the elements of a name ("text" for the SVG labels), in order.
  std::vector<std::string> TextsOf(const std::string& name) const {
    std::vector<std::string> texts;
    for (const auto& e : elements)
      if (e.name == name) texts.push_back(e.text);
    return texts;
  }
};

namespace xml_detail {

inline bool ValidUtf8(std::string_view s, std::string& error) {
  for (std::size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) {
      error = "invalid UTF-8 at byte " + std::to_string(i);
      return false;
    }
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) {
        error = "invalid UTF-8 at byte " + std::to_string(i);
        return false;
      }
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
      error = "control character at byte " + std::to_string(i);
      return false;
    }
    i += n;
  }
  return true;
}

inline bool NameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':' || c == '.';
}

// Decodes character data or an attribute value; false on a bare "&" or "<" or an unknown entity.
inline bool Decode(std::string_view raw, std::string& out, std::string& error) {
  static const std::map<std::string, std::string> kEntities = {
      {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}};
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '<') {
      error = "bare < in text";
      return false;
    }
    if (raw[i] != '&') {
      out += raw[i];
      continue;
    }
    std::size_t semi = raw.find(';', i);
    if (semi == std::string_view::npos) {
      error = "bare & in text";
      return false;
    }
    std::string name(raw.substr(i + 1, semi - i - 1));
    auto it = kEntities.find(name);
    if (it != kEntities.end()) {
      out += it->second;
    } else if (name.size() > 1 && name[0] == '#') {
      out += "?";  // a character reference; the tests do not need its character
    } else {
      error = "unknown entity &" + name + ";";
      return false;
    }
    i = semi;
  }
  return true;
}

}  // namespace xml_detail

inline XmlScan ScanXml(std::string_view doc) {
  using namespace xml_detail;
  XmlScan scan;
  if (!ValidUtf8(doc, scan.error)) return scan;
  std::vector<std::size_t> open;  // indexes into elements
  bool rootSeen = false;
  std::size_t i = 0;
  auto fail = [&](const std::string& why) {
    scan.error = why + " at byte " + std::to_string(i);
    return scan;
  };
  if (doc.substr(0, 5) == "<?xml") {
    std::size_t end = doc.find("?>");
    if (end == std::string_view::npos) return fail("unclosed declaration");
    i = end + 2;
  }
  while (i < doc.size()) {
    if (doc[i] != '<') {
      std::size_t end = doc.find('<', i);
      if (end == std::string_view::npos) end = doc.size();
      std::string_view raw = doc.substr(i, end - i);
      if (open.empty()) {
        if (raw.find_first_not_of(" \t\r\n") != std::string_view::npos) return fail("text outside the root");
      } else if (!Decode(raw, scan.elements[open.back()].text, scan.error)) {
        return fail(scan.error);
      }
      i = end;
      continue;
    }
    if (doc.substr(i, 4) == "<!--") {
      std::size_t end = doc.find("-->", i + 4);
      if (end == std::string_view::npos) return fail("unclosed comment");
      if (doc.substr(i + 4, end - i - 4).find("--") != std::string_view::npos) return fail("-- inside a comment");
      i = end + 3;
      continue;
    }
    if (doc.substr(i, 2) == "</") {
      std::size_t end = doc.find('>', i);
      if (end == std::string_view::npos) return fail("unclosed end tag");
      std::string name(doc.substr(i + 2, end - i - 2));
      if (open.empty() || scan.elements[open.back()].name != name)
        return fail("end tag </" + name + "> does not match");
      open.pop_back();
      i = end + 1;
      continue;
    }
    // A start tag.
    std::size_t j = i + 1;
    while (j < doc.size() && NameChar(doc[j])) ++j;
    if (j == i + 1) return fail("tag without a name");
    if (open.empty() && rootSeen) return fail("a second root");
    rootSeen = true;
    XmlElement element;
    element.name = std::string(doc.substr(i + 1, j - i - 1));
    bool selfClosed = false;
    for (;;) {
      while (j < doc.size() && std::isspace(static_cast<unsigned char>(doc[j]))) ++j;
      if (j >= doc.size()) return fail("unclosed start tag");
      if (doc[j] == '>') {
        ++j;
        break;
      }
      if (doc.substr(j, 2) == "/>") {
        j += 2;
        selfClosed = true;
        break;
      }
      std::size_t nameStart = j;
      while (j < doc.size() && NameChar(doc[j])) ++j;
      if (j == nameStart) return fail("bad attribute in <" + element.name + ">");
      std::string attribute(doc.substr(nameStart, j - nameStart));
      if (j + 1 >= doc.size() || doc[j] != '=' || (doc[j + 1] != '"' && doc[j + 1] != '\''))
        return fail("attribute " + attribute + " without a quoted value");
      char quote = doc[j + 1];
      std::size_t close = doc.find(quote, j + 2);
      if (close == std::string_view::npos) return fail("unclosed attribute value");
      std::string value;
      if (!Decode(doc.substr(j + 2, close - j - 2), value, scan.error)) return fail(scan.error);
      if (!element.attributes.emplace(attribute, value).second) return fail("attribute " + attribute + " twice");
      j = close + 1;
      if (j < doc.size() && !std::isspace(static_cast<unsigned char>(doc[j])) && doc[j] != '>' && doc[j] != '/')
        return fail("no space between attributes");
    }
    scan.elements.push_back(std::move(element));
    if (!selfClosed) open.push_back(scan.elements.size() - 1);
    i = j;
  }
  if (!open.empty()) return fail("<" + scan.elements[open.back()].name + "> never closed");
  if (!rootSeen) return fail("no root element");
  return scan;
}

}  // namespace zk::test
