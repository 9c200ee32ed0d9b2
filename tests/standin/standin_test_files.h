// Files for the stand-in CAD's model tests: a private temporary folder and
// DXF text built from groups, in the layout the CAD itself writes.
#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace standin_test {

using TGroups = std::vector<std::pair<int, std::string>>;

class TTempDir {
 public:
  TTempDir() {
    static int counter = 0;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    FPath = std::filesystem::temp_directory_path() /
            ("standin-model-" + std::to_string(stamp) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(FPath);
  }
  ~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  std::string file(const std::string& name) const { return (FPath / name).string(); }

 private:
  std::filesystem::path FPath;
};

inline std::string dxfText(const TGroups& groups, const char* newline = "\r\n") {
  std::string out;
  for (const auto& [code, value] : groups) {
    char codeText[16] = {};
    std::snprintf(codeText, sizeof codeText, "%3d", code);
    out += codeText;
    out += newline;
    out += value;
    out += newline;
  }
  return out;
}

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

inline TGroups concat(std::initializer_list<TGroups> parts) {
  TGroups out;
  for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// A whole file: header with version and code page, a LAYER table, the given
// entities, and an OBJECTS section whose dictionary handle is `objectsHandle`.
inline TGroups drawingGroups(const std::string& version, const std::string& codePage, const std::string& seed,
                             const TGroups& entities, const std::string& objectsHandle = "C") {
  return concat({
      {{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, version}, {9, "$DWGCODEPAGE"}, {3, codePage},
       {9, "$HANDSEED"}, {5, seed}, {0, "ENDSEC"}},
      {{0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"}, {5, "2"}, {70, "2"},
       {0, "LAYER"}, {5, "10"}, {2, "0"}, {70, "0"}, {62, "7"}, {6, "CONTINUOUS"},
       {0, "LAYER"}, {5, "11"}, {2, "TABLE"}, {70, "0"}, {62, "1"}, {6, "CONTINUOUS"},
       {0, "ENDTAB"}, {0, "ENDSEC"}},
      {{0, "SECTION"}, {2, "ENTITIES"}},
      entities,
      {{0, "ENDSEC"}},
      {{0, "SECTION"}, {2, "OBJECTS"}, {0, "DICTIONARY"}, {5, objectsHandle}, {330, "0"}, {100, "AcDbDictionary"},
       {0, "ENDSEC"}, {0, "EOF"}},
  });
}

}  // namespace standin_test
