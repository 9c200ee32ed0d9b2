// standin_dxf_tool: the stand-in CAD's drawing model from the command line,
// so that another DXF reader can check what it reads and writes.
//   dump FILE          model space as the model reads it, one entity a line
//   roundtrip IN OUT   load and save unchanged
//   edit IN OUT        load, copy the first TEXT (new string, moved), copy the first MTEXT
//                      (a long string, moved), erase the first LINE, save
//   new OUT            save an empty drawing
#include <cstdio>
#include <iostream>
#include <string>

#include "drawing.h"
#include "platform/utf8.h"

namespace {

std::string escaped(const std::wstring& s) {
  std::string out;
  for (const char c : toUtf8(s)) {
    if (c == '\\') out += "\\\\";
    else if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out.push_back(c);
  }
  return out;
}

std::string hex(std::uint64_t h) {
  char buffer[32] = {};
  std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(h));
  return buffer;
}

// Japanese with MTEXT codes, 792 bytes in UTF-8: more than three groups hold.
std::wstring longMText() {
  std::wstring text;
  for (int i = 0; i < 12; ++i) text += L"{\\fＭＳ ゴシック|b0|i0|c128|p49;寸法\\P%%c10}材質\\~SS400 ";
  return text;
}

int dump(const std::string& path) {
  standin::Drawing drawing;
  std::string error;
  if (!drawing.load(path, &error)) {
    std::cerr << "cannot load " << path << ": " << error << "\n";
    return 1;
  }
  std::cout << "version\t" << drawing.version() << "\n";
  for (const auto& e : drawing.entities()) {
    std::cout << "entity\t" << e.type << "\t" << hex(e.handle) << "\t" << escaped(e.layer) << "\n";
    if (e.type == "TEXT") {
      std::printf("text\t%s\t%d\t%.6f\t%.6f\t", hex(e.handle).c_str(), e.alignment(),
                  e.alignment() == 0 ? e.p1.x : e.p2.x, e.alignment() == 0 ? e.p1.y : e.p2.y);
      std::fflush(stdout);
      std::cout << escaped(e.text) << "\n";
    }
    if (e.type == "MTEXT") {
      std::printf("mtext\t%s\t%d\t%.6f\t%.6f\t%.6f\t%.6f\t", hex(e.handle).c_str(), e.attachment(), e.p1.x, e.p1.y,
                  e.height, e.widthFactor);
      std::fflush(stdout);
      std::cout << escaped(e.text) << "\n";
    }
  }
  return 0;
}

int roundtrip(const std::string& in, const std::string& out, bool edit) {
  standin::Drawing drawing;
  std::string error;
  if (!drawing.load(in, &error)) {
    std::cerr << "cannot load " << in << ": " << error << "\n";
    return 1;
  }
  if (edit) {
    std::uint64_t firstText = 0;
    std::uint64_t firstMText = 0;
    std::uint64_t firstLine = 0;
    for (const auto& e : drawing.entities()) {
      if (e.type == "TEXT" && firstText == 0) firstText = e.handle;
      if (e.type == "MTEXT" && firstMText == 0) firstMText = e.handle;
      if (e.type == "LINE" && firstLine == 0) firstLine = e.handle;
    }
    if (firstText != 0) {
      standin::Entity& copy = drawing.addCopy(*drawing.byHandle(firstText));
      copy.text = L"複製 copy";
      copy.p1.y -= 10;
      copy.p2.y -= 10;
      copy.modified = true;
      std::cout << "copied\t" << hex(firstText) << "\t" << hex(copy.handle) << "\n";
    }
    if (firstMText != 0) {
      standin::Entity& copy = drawing.addCopy(*drawing.byHandle(firstMText));
      copy.text = longMText();
      copy.p1.y -= 10;
      copy.modified = true;
      std::cout << "mcopied\t" << hex(firstMText) << "\t" << hex(copy.handle) << "\n";
    }
    if (firstLine != 0 && drawing.erase(firstLine)) std::cout << "erased\t" << hex(firstLine) << "\n";
  }
  if (!drawing.save(out, &error)) {
    std::cerr << "cannot save " << out << ": " << error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "dump" && argc == 3) return dump(argv[2]);
  if (command == "roundtrip" && argc == 4) return roundtrip(argv[2], argv[3], false);
  if (command == "edit" && argc == 4) return roundtrip(argv[2], argv[3], true);
  if (command == "new" && argc == 3) {
    std::string error;
    if (standin::Drawing().save(argv[2], &error)) return 0;
    std::cerr << "cannot save " << argv[2] << ": " << error << "\n";
    return 1;
  }
  std::cerr << "usage: standin_dxf_tool dump FILE | roundtrip IN OUT | edit IN OUT | new OUT\n";
  return 2;
}
