// Loads a fuzzer's DXF into the stand-in CAD's drawing, uses it as the
// server does (extents, names, boxes, filters, a copy and an erase), saves it
// and loads the saved file again: the second load sees the same entities.
// Input: the file's bytes.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "drawing.h"

namespace {

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "DXF invariant broken: %s\n", what);
    std::abort();
  }
}

// One folder per process for the saved drawings; removed at exit.
const std::string& savePath() {
  static const std::string path = [] {
    char folder[] = "/tmp/morvane-dxf-fuzz-XXXXXX";
    if (mkdtemp(folder) == nullptr) std::abort();
    static const std::string dir = folder;
    std::atexit([] { std::filesystem::remove_all(dir); });
    return dir + "/saved.dxf";
  }();
  return path;
}

// Loads the bytes through an in-memory file, so that each run costs no disk.
bool loadBytes(standin::Drawing& drawing, const std::uint8_t* data, std::size_t size, std::string* error) {
  const int fd = memfd_create("dxf", 0);
  if (fd < 0) std::abort();
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = write(fd, data + done, size - done);
    if (n <= 0) std::abort();
    done += static_cast<std::size_t>(n);
  }
  const bool ok = drawing.load("/proc/self/fd/" + std::to_string(fd), error);
  close(fd);
  return ok;
}

void useAsTheServerDoes(standin::Drawing& drawing) {
  (void)drawing.extents();
  (void)drawing.layers();
  (void)drawing.name();
  const standin::Box everything{-1e300, -1e300, 1e300, 1e300};
  for (const standin::Entity& e : drawing.entities()) {
    (void)e.objectName();
    (void)e.alignment();
    (void)standin::entityBox(e);
    (void)standin::insideWindow(e, everything);
    (void)standin::crossesWindow(e, everything);
    (void)standin::distanceTo(e, 0, 0);
    (void)standin::matchesFilter(e, {0, 8}, {L"TEXT,LINE,LWPOLYLINE", L"~HOJO*"});
    check(drawing.byHandle(e.handle) == &e, "an entity not found by its handle");
  }
  if (!drawing.entities().empty()) {
    const std::uint64_t first = drawing.entities().front().handle;
    const std::uint64_t copy = drawing.addCopy(drawing.entities().front()).handle;
    check(copy != first && drawing.byHandle(copy) != nullptr, "a copy without a handle of its own");
    standin::Entity* text = drawing.byHandle(first);
    if (text != nullptr && text->type == "TEXT") {
      text->text = L"fuzz\u3042";
      text->modified = true;
    }
    check(drawing.erase(copy), "the copy could not be erased");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  standin::Drawing drawing;
  std::string error;
  if (!loadBytes(drawing, data, size, &error)) {
    check(!error.empty(), "a failed load without a reason");
    check(drawing.entities().empty(), "a failed load left entities behind");
    return 0;
  }
  useAsTheServerDoes(drawing);
  if (!drawing.save(savePath(), &error)) return 0;
  standin::Drawing again;
  check(again.load(savePath(), &error), "the saved drawing does not load");
  check(again.entities().size() == drawing.entities().size(), "the saved drawing lost or gained entities");
  for (std::size_t i = 0; i < drawing.entities().size(); ++i) {
    const standin::Entity& a = drawing.entities()[i];
    const standin::Entity& b = again.entities()[i];
    check(a.handle == b.handle && a.type == b.type, "an entity saved as another");
  }
  return 0;
}
