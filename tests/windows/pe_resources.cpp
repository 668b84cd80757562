// pe_resources: reads the resource directory of a PE file (a Windows DLL or
// EXE, 32 or 64 bit) and prints what it finds. Built for the build machine,
// so the Windows plug-in's resources can be checked without Windows.
//
//   pe_resources list FILE       one line per resource: type, name, language, size, code page
//   pe_resources strings FILE    one line per string of the string tables: language, id, text
//   pe_resources data FILE TYPE NAME LANGUAGE   the raw bytes of one resource
//
// Every read is bounds-checked: a truncated or malformed file ends the program
// with status 2 and a message, never with a crash or a partial answer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kStringTableType = 6;
constexpr std::size_t kStringsPerBlock = 16;
constexpr std::size_t kResourceDirectoryIndex = 2;

struct Malformed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A byte range of the file with little-endian, bounds-checked reads.
class Bytes {
 public:
  explicit Bytes(std::vector<unsigned char> data) : data_(std::move(data)) {}

  std::size_t size() const { return data_.size(); }

  std::uint16_t u16(std::size_t offset) const {
    require(offset, 2);
    return static_cast<std::uint16_t>(data_[offset] | (data_[offset + 1] << 8));
  }

  std::uint32_t u32(std::size_t offset) const {
    require(offset, 4);
    return static_cast<std::uint32_t>(data_[offset]) |
           static_cast<std::uint32_t>(data_[offset + 1]) << 8 |
           static_cast<std::uint32_t>(data_[offset + 2]) << 16 |
           static_cast<std::uint32_t>(data_[offset + 3]) << 24;
  }

  const unsigned char* at(std::size_t offset, std::size_t length) const {
    require(offset, length);
    return data_.data() + offset;
  }

  void require(std::size_t offset, std::size_t length) const {
    if (offset > data_.size() || length > data_.size() - offset) {
      throw Malformed("read of " + std::to_string(length) + " bytes at offset " +
                      std::to_string(offset) + " runs past the end of the file (" +
                      std::to_string(data_.size()) + " bytes)");
    }
  }

 private:
  std::vector<unsigned char> data_;
};

struct Section {
  std::uint32_t virtualAddress;
  std::uint32_t rawSize;
  std::uint32_t rawOffset;
};

// A resource's type or name: a number, or a string for named resources.
struct Key {
  std::optional<std::uint32_t> id;
  std::u16string name;

  std::string text() const;
};

struct Resource {
  Key type;
  Key name;
  std::uint32_t language;
  std::uint32_t dataRva;
  std::uint32_t size;
  std::uint32_t codePage;
};

void appendUtf8(std::string& out, std::uint32_t codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

void appendEscape(std::string& out, std::uint32_t unit) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(unit));
  out += buffer;
}

// UTF-16 to UTF-8 on one line: control characters, backslashes and unpaired
// surrogates are escaped, so each string is exactly one unambiguous line.
std::string printable(const std::u16string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::uint32_t unit = text[i];
    if (unit == '\\') {
      out += "\\\\";
    } else if (unit == '\t') {
      out += "\\t";
    } else if (unit == '\n') {
      out += "\\n";
    } else if (unit == '\r') {
      out += "\\r";
    } else if (unit < 0x20 || unit == 0x7F) {
      appendEscape(out, unit);
    } else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() &&
               text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00u));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      appendEscape(out, unit);
    } else {
      appendUtf8(out, unit);
    }
  }
  return out;
}

std::string Key::text() const {
  return id ? std::to_string(*id) : "\"" + printable(name) + "\"";
}

class PeFile {
 public:
  explicit PeFile(Bytes bytes) : bytes_(std::move(bytes)) { readHeaders(); }

  // Every leaf of the resource tree, in directory order.
  std::vector<Resource> resources() const {
    std::vector<Resource> found;
    if (resourceSize_ == 0) return found;
    for (const auto& [type, typeDir] : subdirectories(0, "root")) {
      for (const auto& [name, nameDir] : subdirectories(typeDir, "type " + type.text())) {
        for (const auto& [language, entry] : leaves(nameDir, type, name)) {
          if (!language.id) throw Malformed("a resource language is a string, not a number");
          found.push_back({type, name, *language.id, bytes_.u32(entry), bytes_.u32(entry + 4),
                           bytes_.u32(entry + 8)});
        }
      }
    }
    return found;
  }

  const unsigned char* data(const Resource& resource) const {
    return bytes_.at(fileOffset(resource.dataRva, resource.size), resource.size);
  }

 private:
  void readHeaders() {
    if (bytes_.size() < 64 || bytes_.u16(0) != 0x5A4D) throw Malformed("no MZ header");
    const std::size_t pe = bytes_.u32(0x3C);
    if (bytes_.u32(pe) != 0x00004550) throw Malformed("no PE signature");
    const std::size_t coff = pe + 4;
    const std::uint16_t sectionCount = bytes_.u16(coff + 2);
    const std::uint16_t optionalSize = bytes_.u16(coff + 16);
    const std::size_t optional = coff + 20;

    std::size_t directories = 0;  // offset of the data directories
    std::size_t directoryCountAt = 0;
    switch (bytes_.u16(optional)) {
      case 0x10B:  // PE32
        directoryCountAt = optional + 92;
        directories = optional + 96;
        break;
      case 0x20B:  // PE32+
        directoryCountAt = optional + 108;
        directories = optional + 112;
        break;
      default:
        throw Malformed("unknown optional header magic");
    }
    const std::uint32_t directoryCount = bytes_.u32(directoryCountAt);
    const std::size_t directoriesEnd = directories + std::size_t{directoryCount} * 8;
    if (directoriesEnd > optional + optionalSize) {
      throw Malformed("data directories run past the optional header");
    }

    const std::size_t sectionTable = optional + optionalSize;
    for (std::size_t i = 0; i < sectionCount; ++i) {
      const std::size_t header = sectionTable + i * 40;
      sections_.push_back({bytes_.u32(header + 12), bytes_.u32(header + 16),
                           bytes_.u32(header + 20)});
    }

    if (directoryCount <= kResourceDirectoryIndex) return;  // no resource directory
    const std::size_t entry = directories + kResourceDirectoryIndex * 8;
    const std::uint32_t rva = bytes_.u32(entry);
    resourceSize_ = bytes_.u32(entry + 4);
    if (resourceSize_ == 0) return;
    resourceBase_ = fileOffset(rva, resourceSize_);
  }

  // File offset of [rva, rva + length): it must lie in one section's raw data.
  std::size_t fileOffset(std::uint32_t rva, std::uint32_t length) const {
    for (const Section& section : sections_) {
      const std::uint64_t start = section.virtualAddress;
      const std::uint64_t end = start + section.rawSize;
      if (rva >= start && std::uint64_t{rva} + length <= end) {
        const std::size_t offset = section.rawOffset + std::size_t{rva - section.virtualAddress};
        bytes_.require(offset, length);
        return offset;
      }
    }
    throw Malformed("RVA " + std::to_string(rva) + " (+" + std::to_string(length) +
                    ") lies in no section's file data");
  }

  // Offset relative to the resource directory's start, checked against its size.
  std::size_t inResources(std::uint32_t relative, std::size_t length, const char* what) const {
    if (relative > resourceSize_ || length > resourceSize_ - relative) {
      throw Malformed(std::string(what) + " at resource offset " + std::to_string(relative) +
                      " runs past the resource directory");
    }
    return resourceBase_ + relative;
  }

  Key key(std::uint32_t nameField) const {
    if ((nameField & 0x80000000u) == 0) return {nameField & 0xFFFFu, {}};
    const std::size_t at = inResources(nameField & 0x7FFFFFFFu, 2, "a resource name");
    const std::uint16_t length = bytes_.u16(at);
    inResources(nameField & 0x7FFFFFFFu, 2 + std::size_t{length} * 2, "a resource name");
    std::u16string name;
    for (std::size_t i = 0; i < length; ++i) {
      name += static_cast<char16_t>(bytes_.u16(at + 2 + i * 2));
    }
    return {std::nullopt, name};
  }

  // The entries of one directory table: (key, offset field) pairs.
  std::vector<std::pair<Key, std::uint32_t>> entries(std::uint32_t directory) const {
    const std::size_t at = inResources(directory, 16, "a resource directory");
    const std::size_t count = std::size_t{bytes_.u16(at + 12)} + bytes_.u16(at + 14);
    inResources(directory, 16 + count * 8, "a resource directory's entries");
    std::vector<std::pair<Key, std::uint32_t>> result;
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t entry = at + 16 + i * 8;
      result.emplace_back(key(bytes_.u32(entry)), bytes_.u32(entry + 4));
    }
    return result;
  }

  // The first two levels (type, name) must point at further directories.
  std::vector<std::pair<Key, std::uint32_t>> subdirectories(std::uint32_t directory,
                                                            const std::string& where) const {
    auto result = entries(directory);
    for (auto& [key, target] : result) {
      if ((target & 0x80000000u) == 0) {
        throw Malformed(where + ": entry " + key.text() + " is data, expected a directory");
      }
      target &= 0x7FFFFFFFu;
    }
    return result;
  }

  // The third level (language) must point at data entries; returns their file offsets.
  std::vector<std::pair<Key, std::size_t>> leaves(std::uint32_t directory, const Key& type,
                                                  const Key& name) const {
    std::vector<std::pair<Key, std::size_t>> result;
    for (const auto& [language, target] : entries(directory)) {
      if (target & 0x80000000u) {
        throw Malformed("type " + type.text() + " name " + name.text() +
                        ": language entry is a directory, expected data");
      }
      result.emplace_back(language, inResources(target, 16, "a resource data entry"));
    }
    return result;
  }

  Bytes bytes_;
  std::vector<Section> sections_;
  std::size_t resourceBase_ = 0;
  std::uint32_t resourceSize_ = 0;
};

// A string block holds 16 counted UTF-16 strings; block b, index i is id (b-1)*16 + i.
void printStringBlock(const PeFile& file, const Resource& block, std::string& out) {
  if (!block.name.id || *block.name.id == 0) {
    throw Malformed("string block " + block.name.text() + " is not numbered from 1");
  }
  const unsigned char* data = file.data(block);
  std::size_t at = 0;
  for (std::size_t index = 0; index < kStringsPerBlock; ++index) {
    if (at + 2 > block.size) {
      throw Malformed("string block " + block.name.text() + " ends before its 16 strings");
    }
    const std::size_t length = static_cast<std::size_t>(data[at] | (data[at + 1] << 8));
    at += 2;
    if (length * 2 > block.size - at) {
      throw Malformed("string block " + block.name.text() + ": string " +
                      std::to_string(index) + " runs past the block");
    }
    std::u16string text;
    for (std::size_t i = 0; i < length; ++i, at += 2) {
      text += static_cast<char16_t>(data[at] | (data[at + 1] << 8));
    }
    if (length == 0) continue;  // an absent id
    const std::uint64_t id = (std::uint64_t{*block.name.id} - 1) * kStringsPerBlock + index;
    out += std::to_string(block.language) + '\t' + std::to_string(id) + '\t' + printable(text) + '\n';
  }
}

std::optional<std::uint32_t> number(const char* text) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 10);
  if (end == text || *end != '\0' || value > 0xFFFFFFFFul) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

int usage() {
  std::cerr << "usage: pe_resources list FILE\n"
               "       pe_resources strings FILE\n"
               "       pe_resources data FILE TYPE NAME LANGUAGE\n";
  return 1;
}

std::vector<unsigned char> readFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open the file");
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Fills out only when the whole answer could be read.
int run(int argc, char** argv, std::string& out) {
  const std::string mode = argv[1];
  const PeFile file{Bytes{readFile(argv[2])}};
  const std::vector<Resource> resources = file.resources();

  if (mode == "list" && argc == 3) {
    for (const Resource& r : resources) {
      out += r.type.text() + '\t' + r.name.text() + '\t' + std::to_string(r.language) + '\t' +
             std::to_string(r.size) + '\t' + std::to_string(r.codePage) + '\n';
    }
    return 0;
  }
  if (mode == "strings" && argc == 3) {
    for (const Resource& r : resources) {
      if (r.type.id == kStringTableType) printStringBlock(file, r, out);
    }
    return 0;
  }
  if (mode == "data" && argc == 6) {
    const auto type = number(argv[3]);
    const auto name = number(argv[4]);
    const auto language = number(argv[5]);
    if (!type || !name || !language) return usage();
    for (const Resource& r : resources) {
      if (r.type.id == type && r.name.id == name && r.language == *language) {
        out.assign(reinterpret_cast<const char*>(file.data(r)), r.size);
        return 0;
      }
    }
    std::cerr << "pe_resources: " << argv[2] << ": no resource of type " << *type << ", name "
              << *name << ", language " << *language << '\n';
    return 3;
  }
  return usage();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  try {
    std::string out;
    const int status = run(argc, argv, out);
    std::cout.write(out.data(), static_cast<std::streamsize>(out.size()));
    std::cout.flush();
    return std::cout ? status : 2;
  } catch (const std::exception& error) {
    std::cerr << "pe_resources: " << argv[2] << ": " << error.what() << '\n';
    return 2;
  }
}
