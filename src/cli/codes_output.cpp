#include "cli/codes_output.h"

#include <cstdio>

#include "shared_texts/page_texts.h"

namespace m797::cli {

namespace {

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// A fault line "0102 - <description>" as its code and its description.
std::string JsonEntry(const std::string& line) {
  const auto dash = line.find(" - ");
  const std::string code = dash == std::string::npos ? line : line.substr(0, dash);
  const std::string text = dash == std::string::npos ? "" : line.substr(dash + 3);
  return "{\"code\": " + JsonString(code) + ", \"text\": " + JsonString(text) + "}";
}

std::string JsonList(const std::vector<std::string>& lines) {
  if (lines.empty()) return "[]";
  std::string out = "[\n";
  for (std::size_t i = 0; i < lines.size(); ++i)
    out += "    " + JsonEntry(lines[i]) + (i + 1 < lines.size() ? ",\n" : "\n");
  return out + "  ]";
}

}  // namespace

std::string CodesText(const std::vector<std::string>& current,
                      const std::vector<std::string>& stored) {
  std::string out = std::string(shared_texts::kLabel1) + "\n";
  for (const std::string& line : current)
    out += line + "\n";
  out += std::string("\n") + shared_texts::kLabel2 + "\n";
  for (const std::string& line : stored)
    out += line + "\n";
  return out;
}

std::string CodesJson(const std::vector<std::string>& current,
                      const std::vector<std::string>& stored) {
  return "{\n  \"current\": " + JsonList(current) + ",\n  \"stored\": " + JsonList(stored) +
         "\n}\n";
}

}  // namespace m797::cli
