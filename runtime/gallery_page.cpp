#include "gallery_page.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace standin {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRecordsName = "gallery.tsv";

// Records: one entry a line, tab-separated fields, with backslash escapes
// for backslash, tab and newline inside a field.
std::string escapeField(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\') escaped += "\\\\";
    else if (c == '\t') escaped += "\\t";
    else if (c == '\n') escaped += "\\n";
    else escaped += c;
  }
  return escaped;
}

std::vector<std::string> splitRecord(const std::string& line) {
  std::vector<std::string> fields(1);
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\t') {
      fields.emplace_back();
    } else if (line[i] == '\\' && i + 1 < line.size()) {
      const char next = line[++i];
      fields.back() += next == 't' ? '\t' : next == 'n' ? '\n' : next;
    } else {
      fields.back() += line[i];
    }
  }
  return fields;
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) joined += (joined.empty() ? "" : "\n") + line;
  return joined;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

std::vector<GalleryEntry> readRecords(const fs::path& file) {
  std::vector<GalleryEntry> entries;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    const std::vector<std::string> fields = splitRecord(line);
    if (fields.size() != 5) continue;  // not a record this writer made
    entries.push_back({fields[0], std::atoi(fields[1].c_str()), fields[2], fields[3],
                       splitLines(fields[4])});
  }
  return entries;
}

bool writeRecords(const fs::path& file, const std::vector<GalleryEntry>& entries) {
  std::ofstream out(file, std::ios::trunc);
  for (const GalleryEntry& entry : entries) {
    out << escapeField(entry.script) << '\t' << entry.line << '\t' << escapeField(entry.input)
        << '\t' << escapeField(entry.output) << '\t' << escapeField(joinLines(entry.commands))
        << '\n';
  }
  return static_cast<bool>(out.flush());
}

std::string escapeHtml(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '&') escaped += "&amp;";
    else if (c == '<') escaped += "&lt;";
    else if (c == '>') escaped += "&gt;";
    else if (c == '"') escaped += "&quot;";
    else escaped += c;
  }
  return escaped;
}

// A relative path as a URL: bytes outside the unreserved set are encoded.
std::string urlOf(const fs::path& relative) {
  static const char* hex = "0123456789ABCDEF";
  std::string url;
  for (unsigned char c : relative.generic_string()) {
    const bool plain = std::isalnum(c) != 0 || c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += hex[c >> 4];
      url += hex[c & 15];
    }
  }
  return url;
}

// A distinct file name under inputs/ for every input, by its own name where
// two inputs do not share one.
std::map<std::string, std::string> inputCopies(const std::vector<GalleryEntry>& entries) {
  std::map<std::string, std::string> copies;
  std::set<std::string> taken;
  for (const GalleryEntry& entry : entries) {
    if (entry.input.empty() || copies.count(entry.input) != 0) continue;
    const fs::path source(entry.input);
    std::string name = source.filename().string();
    for (int n = 2; taken.count(name) != 0; ++n) {
      name = source.stem().string() + "-" + std::to_string(n) + source.extension().string();
    }
    taken.insert(name);
    copies[entry.input] = name;
  }
  return copies;
}

std::string figure(const std::string& url, const std::string& caption) {
  return "<figure><img src=\"" + escapeHtml(url) + "\" alt=\"" + escapeHtml(caption) +
         "\"><figcaption>" + escapeHtml(caption) + "</figcaption></figure>";
}

std::string pageHtml(const fs::path& folder, const std::vector<GalleryEntry>& entries,
                     const std::map<std::string, std::string>& copies) {
  std::ostringstream html;
  html << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
          "<title>Tessaly gallery</title>\n<style>\n"
          "body { font-family: sans-serif; margin: 2em; background: #f2f2f2; color: #222; }\n"
          ".entry { display: flex; gap: 1.5em; align-items: center; background: #fff;"
          " padding: 1em; margin: 1em 0; border-radius: 6px; }\n"
          "figure { margin: 0; text-align: center; }\n"
          "img { width: 256px; image-rendering: pixelated; background: repeating-conic-gradient("
          "#ccc 0 25%, #fff 0 50%) 0 0 / 16px 16px; }\n"
          "figcaption { font-size: 0.8em; color: #555; }\n"
          ".none { width: 256px; text-align: center; color: #888; }\n"
          "pre { margin: 0; font-size: 0.95em; white-space: pre-wrap; }\n"
          "</style>\n</head>\n<body>\n<h1>Tessaly gallery</h1>\n";
  std::vector<std::string> scripts;
  for (const GalleryEntry& entry : entries) {
    if (std::find(scripts.begin(), scripts.end(), entry.script) == scripts.end()) {
      scripts.push_back(entry.script);
    }
  }
  for (const std::string& script : scripts) {
    html << "<h2>" << escapeHtml(script) << "</h2>\n";
    for (const GalleryEntry& entry : entries) {
      if (entry.script != script) continue;
      html << "<div class=\"entry\">";
      if (entry.input.empty()) {
        html << "<div class=\"none\">no input</div>";
      } else {
        const std::string& name = copies.at(entry.input);
        html << figure(urlOf(fs::path("inputs") / name), "input: " + name);
      }
      const fs::path output = fs::proximate(entry.output, folder);
      html << figure(urlOf(output), output.generic_string());
      html << "<pre>" << escapeHtml(joinLines(entry.commands)) << "</pre></div>\n";
    }
  }
  html << "</body>\n</html>\n";
  return html.str();
}

}  // namespace

std::string updateGallery(const fs::path& page, const std::string& script,
                          const std::vector<GalleryEntry>& entries) {
  std::error_code error;
  const fs::path folder = fs::absolute(page, error).parent_path();
  fs::create_directories(folder / "inputs", error);
  if (error) return "cannot make the folder " + (folder / "inputs").string() + ": " + error.message();

  std::vector<GalleryEntry> all = readRecords(folder / kRecordsName);
  std::erase_if(all, [&](const GalleryEntry& entry) { return entry.script == script; });
  for (GalleryEntry entry : entries) {
    if (!entry.input.empty()) entry.input = fs::absolute(entry.input, error).string();
    entry.output = fs::absolute(entry.output, error).string();
    all.push_back(std::move(entry));
  }

  const std::map<std::string, std::string> copies = inputCopies(all);
  for (const auto& [source, name] : copies) {
    fs::copy_file(source, folder / "inputs" / name, fs::copy_options::overwrite_existing, error);
    if (error && !fs::exists(folder / "inputs" / name)) {
      return "cannot copy " + source + " into the gallery: " + error.message();
    }
  }
  if (!writeRecords(folder / kRecordsName, all)) return "cannot write " + (folder / kRecordsName).string();
  std::ofstream out(page, std::ios::trunc);
  out << pageHtml(folder, all, copies);
  if (!out.flush()) return "cannot write " + page.string();
  return {};
}

}  // namespace standin
