// ASCII DXF in: group code / value line pairs, CR LF or LF.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unordered_set>

#include "drawing.h"
#include "dxf_groups.h"
#include "text_encoding.h"

namespace standin {
namespace {

using dxf::Groups;

bool fail(std::string* error, std::string message) {
  if (error != nullptr) *error = std::move(message);
  return false;
}

bool splitGroups(const std::string& bytes, Groups* groups, bool* crlf, std::string* error) {
  std::size_t pos = 0;
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
  *crlf = false;
  bool first = true;
  std::size_t lineNumber = 0;
  auto nextLine = [&](std::string_view* line) {
    if (pos >= bytes.size()) return false;
    const std::size_t end = bytes.find('\n', pos);
    const std::size_t stop = end == std::string::npos ? bytes.size() : end;
    std::string_view s(bytes.data() + pos, stop - pos);
    if (!s.empty() && s.back() == '\r') {
      s.remove_suffix(1);
      if (first) *crlf = true;
    }
    first = false;
    pos = end == std::string::npos ? bytes.size() : end + 1;
    ++lineNumber;
    *line = s;
    return true;
  };
  std::string_view codeLine;
  std::string_view valueLine;
  while (nextLine(&codeLine)) {
    if (dxf::trim(codeLine).empty() && pos >= bytes.size()) break;  // blank last line
    long long code = 0;
    if (!dxf::parseInt(codeLine, &code) || code < -5 || code > 1071)
      return fail(error, "line " + std::to_string(lineNumber) + ": not a group code");
    if (!nextLine(&valueLine))
      return fail(error, "line " + std::to_string(lineNumber) + ": group code without a value");
    groups->emplace_back(static_cast<int>(code), std::string(valueLine));
    if (code == 0 && dxf::trim(valueLine) == "EOF") break;
  }
  return true;
}

bool isZero(const std::pair<int, std::string>& g, std::string_view value) {
  return g.first == 0 && dxf::trim(g.second) == value;
}

std::string headerValue(const Groups& header, std::string_view name, int code) {
  for (std::size_t i = 0; i + 1 < header.size(); ++i) {
    if (header[i].first == 9 && dxf::trim(header[i].second) == name) {
      for (std::size_t k = i + 1; k < header.size() && header[k].first != 9; ++k) {
        if (header[k].first == code) return std::string(dxf::trim(header[k].second));
      }
    }
  }
  return {};
}

void collectLayers(const Groups& tables, int codePage, std::vector<std::wstring>* layers) {
  std::string table;
  bool inLayer = false;
  for (std::size_t i = 0; i < tables.size(); ++i) {
    const auto& [code, value] = tables[i];
    if (code == 0) {
      const std::string_view type = dxf::trim(value);
      inLayer = false;
      if (type == "TABLE") {
        table.clear();
        if (i + 1 < tables.size() && tables[i + 1].first == 2) table = dxf::trim(tables[i + 1].second);
        ++i;
      } else if (type == "LAYER" && table == "LAYER") {
        inLayer = true;
      }
    } else if (code == 2 && inLayer) {
      layers->push_back(decodeDxfString(value, codePage));
      inLayer = false;
    }
  }
}

std::uint64_t maxHandle(const Groups& groups) {
  std::uint64_t top = 0;
  for (const auto& [code, value] : groups) {
    std::uint64_t h = 0;
    if ((code == 5 || code == 105) && dxf::parseHex(value, &h)) top = std::max(top, h);
  }
  return top;
}

void collectHandles(const Groups& groups, std::unordered_set<std::uint64_t>* used) {
  for (const auto& [code, value] : groups) {
    std::uint64_t h = 0;
    if ((code == 5 || code == 105) && dxf::parseHex(value, &h)) used->insert(h);
  }
}

// Replaces the entity's own group 5 (one that is not a hexadecimal number, or
// repeats another handle), or adds one after the type.
void setOwnHandle(Groups& groups, std::uint64_t handle) {
  const std::size_t end = dxf::ownGroupsEnd(groups);
  for (std::size_t i = 1; i < end; ++i) {
    if (groups[i].first == 5) {
      groups[i].second = dxf::formatHex(handle);
      return;
    }
  }
  groups.insert(groups.begin() + 1, {5, dxf::formatHex(handle)});
}

// VERTEX, ATTRIB and SEQEND belong to the POLYLINE or INSERT before them.
bool isFollower(std::string_view type) { return type == "VERTEX" || type == "ATTRIB" || type == "SEQEND"; }

bool inPaperSpace(const Groups& g) {
  const std::size_t end = dxf::ownGroupsEnd(g);
  for (std::size_t i = 1; i < end; ++i) {
    long long v = 0;
    if (g[i].first == 67 && dxf::parseInt(g[i].second, &v)) return v == 1;
  }
  return false;
}

}  // namespace

bool Drawing::load(const std::string& path, std::string* error) {
  std::ifstream in(dxf::filePath(path), std::ios::binary);
  if (!in) {
    *this = Drawing();
    return fail(error, "cannot open " + path);
  }
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    *this = Drawing();
    return fail(error, "cannot read " + path);
  }
  Drawing loaded;
  if (!loaded.parse(content.str(), error)) {
    *this = Drawing();
    return false;
  }
  loaded.FPath = path;
  *this = std::move(loaded);
  return true;
}

bool Drawing::parse(const std::string& bytes, std::string* error) {
  if (bytes.compare(0, 18, "AutoCAD Binary DXF") == 0) return fail(error, "binary DXF is not supported");
  Groups groups;
  if (!splitGroups(bytes, &groups, &FCrLf, error)) return false;

  FSections.clear();
  FModel.clear();
  FPaper.clear();
  FLayers.clear();
  std::vector<Groups> entities;
  bool haveEntities = false;
  bool sawEof = false;
  for (std::size_t i = 0; i < groups.size(); ++i) {
    if (isZero(groups[i], "EOF")) {
      sawEof = true;
      break;
    }
    if (!isZero(groups[i], "SECTION")) {
      // Stray groups between sections (comments): kept where they are.
      if (FSections.empty() || !FSections.back().name.empty()) FSections.push_back(Section{});
      FSections.back().groups.push_back(groups[i]);
      continue;
    }
    if (i + 1 >= groups.size() || groups[i + 1].first != 2) return fail(error, "SECTION without a name");
    Section section;
    section.name = dxf::trim(groups[i + 1].second);
    i += 2;
    while (i < groups.size() && !isZero(groups[i], "ENDSEC")) {
      if (isZero(groups[i], "EOF") || isZero(groups[i], "SECTION"))
        return fail(error, "section " + section.name + " is not closed");
      section.groups.push_back(groups[i]);
      ++i;
    }
    if (i >= groups.size()) return fail(error, "section " + section.name + " is not closed");
    if (section.name == "ENTITIES") {
      if (haveEntities) return fail(error, "two ENTITIES sections");
      haveEntities = true;
      for (auto& group : section.groups) {
        if (group.first == 0 && (!isFollower(dxf::trim(group.second)) || entities.empty())) entities.emplace_back();
        if (entities.empty()) return fail(error, "ENTITIES does not start with an entity");
        entities.back().push_back(std::move(group));
      }
      section.groups.clear();
    }
    FSections.push_back(std::move(section));
  }
  if (!sawEof && FSections.empty()) return fail(error, "not a DXF file");

  Groups* header = nullptr;
  for (auto& section : FSections) {
    if (section.name == "HEADER") header = &section.groups;
  }
  const Groups noHeader;
  const Groups& headerGroups = header != nullptr ? *header : noHeader;
  FVersion = headerValue(headerGroups, "$ACADVER", 1);
  if (FVersion.empty()) FVersion = "AC1009";
  FCodePage = dxfCodePage(FVersion, headerValue(headerGroups, "$DWGCODEPAGE", 3));

  std::uint64_t top = 0;
  for (const auto& section : FSections) {
    if (section.name == "TABLES") collectLayers(section.groups, FCodePage, &FLayers);
    if (section.name != "HEADER") top = std::max(top, maxHandle(section.groups));
  }
  for (const auto& g : entities) top = std::max(top, maxHandle(g));
  std::uint64_t seed = 0;
  dxf::parseHex(headerValue(headerGroups, "$HANDSEED", 5), &seed);
  FNextHandle = std::max(top + 1, seed);

  std::unordered_set<std::uint64_t> used;
  for (const auto& section : FSections) {
    if (section.name != "HEADER") collectHandles(section.groups, &used);
  }
  for (auto& g : entities) {
    Entity e;
    e.groups = std::move(g);
    dxf::readFields(e, FCodePage);
    if (e.handle == 0 || used.count(e.handle) != 0) {
      // Files without handles (R12 with $HANDLING 0), or with a handle given
      // twice: the automation needs one handle per entity, and the saved file
      // then carries it.
      e.handle = newHandle();
      setOwnHandle(e.groups, e.handle);
    }
    used.insert(e.handle);
    if (inPaperSpace(e.groups)) FPaper.emplace_back(FModel.empty() ? 0 : FModel.back().handle, std::move(e));
    else FModel.push_back(std::move(e));
  }
  if (!haveEntities) {
    // A file without entities still gets a place for the ones added to it, before OBJECTS.
    auto at = std::find_if(FSections.begin(), FSections.end(), [](const Section& s) {
      return s.name == "OBJECTS" || s.name == "THUMBNAILIMAGE" || s.name == "ACDSDATA";
    });
    FSections.insert(at, Section{"ENTITIES", {}});
  }
  return true;
}

}  // namespace standin
