#include <algorithm>

#include "drawing.h"
#include "dxf_groups.h"
#include "platform/utf8.h"

namespace standin {
namespace {

using dxf::Groups;

bool isLinkStart(const std::pair<int, std::string>& g) { return g.first == 102 && dxf::trim(g.second).starts_with("{"); }
bool isLinkEnd(const std::pair<int, std::string>& g) { return g.first == 102 && dxf::trim(g.second) == "}"; }

}  // namespace

std::vector<Entity>& Drawing::entities() { return FModel; }
const std::vector<Entity>& Drawing::entities() const { return FModel; }

Entity* Drawing::byHandle(std::uint64_t h) {
  return const_cast<Entity*>(static_cast<const Drawing*>(this)->byHandle(h));
}

const Entity* Drawing::byHandle(std::uint64_t h) const {
  const auto found = std::find_if(FModel.begin(), FModel.end(), [h](const Entity& e) { return e.handle == h; });
  if (found != FModel.end()) return &*found;
  for (const auto& [after, e] : FPaper) {
    if (e.handle == h) return &e;
  }
  return nullptr;
}

std::uint64_t Drawing::newHandle() { return FNextHandle++; }

Entity& Drawing::addCopy(const Entity& e) {
  Entity copy = e;  // before the vector grows: e may be one of its elements
  Groups groups;
  groups.reserve(copy.groups.size());
  // The copy's own handle and those of its VERTEX/ATTRIB/SEQEND entities are
  // new; their owner links follow. Reactors and extension dictionaries name
  // objects that know only the original, so the copy has none.
  std::vector<std::pair<std::string, std::string>> renamed;
  bool inLink = false;
  for (const auto& group : copy.groups) {
    if (isLinkStart(group)) {
      inLink = true;
      continue;
    }
    if (inLink) {
      if (isLinkEnd(group)) inLink = false;
      continue;
    }
    if (group.first == 5) {
      const std::uint64_t h = newHandle();
      if (renamed.empty()) copy.handle = h;
      renamed.emplace_back(std::string(dxf::trim(group.second)), dxf::formatHex(h));
      groups.emplace_back(5, renamed.back().second);
      continue;
    }
    if (group.first == 330 && !renamed.empty()) {
      const std::string_view owner = dxf::trim(group.second);
      const auto found = std::find_if(renamed.begin(), renamed.end(), [owner](const auto& r) { return r.first == owner; });
      if (found != renamed.end()) {
        groups.emplace_back(330, found->second);
        continue;
      }
    }
    groups.push_back(group);
  }
  if (renamed.empty()) {
    copy.handle = newHandle();
    groups.insert(groups.begin() + (groups.empty() ? 0 : 1), {5, dxf::formatHex(copy.handle)});
  }
  copy.groups = std::move(groups);
  FModel.push_back(std::move(copy));
  return FModel.back();
}

bool Drawing::erase(std::uint64_t h) {
  const auto found = std::find_if(FModel.begin(), FModel.end(), [h](const Entity& e) { return e.handle == h; });
  if (found == FModel.end()) return false;
  FModel.erase(found);
  return true;
}

std::wstring Drawing::name() const {
  if (FPath.empty()) return L"Drawing1.dxf";
  const std::size_t slash = FPath.find_last_of("/\\");
  return fromUtf8(slash == std::string::npos ? FPath : FPath.substr(slash + 1));
}

const std::string& Drawing::path() const { return FPath; }

std::string Drawing::version() const { return FVersion; }

std::vector<std::wstring> Drawing::layers() const { return FLayers; }

Drawing::Extents Drawing::extents() const {
  Extents x;
  for (const Entity& e : FModel) {
    const Box b = entityBox(e);
    if (!x.valid) {
      x = Extents{b.minx, b.miny, b.maxx, b.maxy, true};
      continue;
    }
    x.minx = std::min(x.minx, b.minx);
    x.miny = std::min(x.miny, b.miny);
    x.maxx = std::max(x.maxx, b.maxx);
    x.maxy = std::max(x.maxy, b.maxy);
  }
  return x;
}

}  // namespace standin
