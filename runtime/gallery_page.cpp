#include "gallery_page.h"

#include "replace_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
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

std::string recordsText(const std::vector<GalleryEntry>& entries) {
  std::ostringstream out;
  for (const GalleryEntry& entry : entries) {
    out << escapeField(entry.script) << '\t' << entry.line << '\t' << escapeField(entry.input) << '\t'
        << escapeField(entry.output) << '\t' << escapeField(joinLines(entry.commands)) << '\n';
  }
  return out.str();
}

// Writes the text beside the file and renames it over it (see replace_file.h).
std::string writeText(const fs::path& file, const std::string& text) {
  const std::string error = replaceFile(file.string(), [&](std::FILE* out) -> std::string {
    if (std::fwrite(text.data(), 1, text.size(), out) != text.size()) return std::strerror(errno);
    return {};
  });
  return error.empty() ? "" : "cannot write " + file.string() + ": " + error;
}

// Whether the path, links resolved, lies inside the folder.
bool liesInside(const fs::path& path, const fs::path& folder) {
  std::error_code error;
  const fs::path inner = fs::weakly_canonical(path, error);
  if (error) return false;
  const fs::path outer = fs::weakly_canonical(folder, error);
  if (error) return false;
  const auto [end, rest] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
  return end == outer.end() && rest != inner.end();
}

bool sameContent(const fs::path& a, const fs::path& b) {
  std::ifstream first(a, std::ios::binary), second(b, std::ios::binary);
  if (!first || !second) return false;
  return std::equal(std::istreambuf_iterator<char>(first), std::istreambuf_iterator<char>(),
                    std::istreambuf_iterator<char>(second), std::istreambuf_iterator<char>());
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

std::string figure(const std::string& url, const std::string& caption) {
  return "<figure><img src=\"" + escapeHtml(url) + "\" alt=\"" + escapeHtml(caption) +
         "\"><figcaption>" + escapeHtml(caption) + "</figcaption></figure>";
}

std::string pageHtml(const fs::path& folder, const std::vector<GalleryEntry>& entries) {
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
        const fs::path copy = fs::proximate(entry.input, folder);
        html << figure(urlOf(copy), "input: " + copy.filename().string());
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

GalleryUpdate updateGallery(const fs::path& page, const std::string& script,
                            const std::vector<GalleryEntry>& entries) {
  GalleryUpdate result;
  std::error_code error;
  const fs::path folder = fs::absolute(page, error).parent_path();
  const fs::path inputs = folder / "inputs";
  fs::create_directories(inputs, error);
  if (error) {
    result.error = "cannot make the folder " + inputs.string() + ": " + error.message();
    return result;
  }

  // The other scripts' entries, as recorded: their inputs are copies inside
  // the gallery, and a record that names anything else was not made here.
  std::vector<GalleryEntry> all = readRecords(folder / kRecordsName);
  std::erase_if(all, [&](const GalleryEntry& entry) { return entry.script == script; });
  std::erase_if(all, [&](const GalleryEntry& entry) {
    if (entry.input.empty() || liesInside(entry.input, folder)) return false;
    result.refused.push_back(std::string(kRecordsName) + " names the input " + entry.input +
                             ", which lies outside the gallery; its entry is left out");
    return true;
  });
  std::set<std::string> namesInUse;
  for (const GalleryEntry& entry : all)
    if (!entry.input.empty()) namesInUse.insert(fs::path(entry.input).filename().string());

  // This run's inputs, which it loaded itself, are copied in under a name of
  // their own (or one in use already whose copy is the same file).
  std::map<std::string, std::string> copies;  // source -> copy
  for (GalleryEntry entry : entries) {
    if (!entry.input.empty()) {
      const std::string source = fs::absolute(entry.input, error).string();
      auto copy = copies.find(source);
      if (copy == copies.end()) {
        const fs::path name(fs::path(source).filename());
        fs::path target = inputs / name;
        bool reuse = false;
        for (int n = 2; namesInUse.count(target.filename().string()) != 0; ++n) {
          if (sameContent(source, target)) {
            reuse = true;
            break;
          }
          target = inputs / (name.stem().string() + "-" + std::to_string(n) + name.extension().string());
        }
        if (!reuse) {
          fs::copy_file(source, target, fs::copy_options::overwrite_existing, error);
          if (error) {
            result.error = "cannot copy " + source + " into the gallery: " + error.message();
            return result;
          }
          namesInUse.insert(target.filename().string());
        }
        copy = copies.emplace(source, target.string()).first;
      }
      entry.input = copy->second;
    }
    entry.output = fs::absolute(entry.output, error).string();
    all.push_back(std::move(entry));
  }

  result.error = writeText(folder / kRecordsName, recordsText(all));
  if (result.error.empty()) result.error = writeText(page, pageHtml(folder, all));
  return result;
}

}  // namespace standin
