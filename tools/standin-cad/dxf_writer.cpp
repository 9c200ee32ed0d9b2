// ASCII DXF out: the file as it was read, with the entities as they are now.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "drawing.h"
#include "dxf_groups.h"
#include "text_encoding.h"

namespace standin {
namespace {

using dxf::Groups;

// The smallest R2013 drawing other readers open without repairs: the tables,
// model and paper space blocks and the root dictionary with its layouts.
constexpr const char* kEmptyDrawing =
    "0\nSECTION\n2\nHEADER\n"
    "9\n$ACADVER\n1\nAC1027\n9\n$DWGCODEPAGE\n3\nANSI_1252\n9\n$INSUNITS\n70\n4\n9\n$HANDSEED\n5\n40\n"
    "0\nENDSEC\n"
    "0\nSECTION\n2\nCLASSES\n0\nENDSEC\n"
    "0\nSECTION\n2\nTABLES\n"
    "0\nTABLE\n2\nVPORT\n5\n8\n330\n0\n100\nAcDbSymbolTable\n70\n1\n"
    "0\nVPORT\n5\n30\n330\n8\n100\nAcDbSymbolTableRecord\n100\nAcDbViewportTableRecord\n2\n*Active\n70\n0\n"
    "10\n0.0\n20\n0.0\n11\n1.0\n21\n1.0\n12\n0.0\n22\n0.0\n13\n0.0\n23\n0.0\n14\n10.0\n24\n10.0\n"
    "15\n10.0\n25\n10.0\n16\n0.0\n26\n0.0\n36\n1.0\n17\n0.0\n27\n0.0\n37\n0.0\n40\n100.0\n41\n1.5\n"
    "42\n50.0\n43\n0.0\n44\n0.0\n50\n0.0\n51\n0.0\n71\n0\n72\n100\n73\n1\n74\n3\n75\n0\n76\n0\n77\n0\n78\n0\n"
    "0\nENDTAB\n"
    "0\nTABLE\n2\nLTYPE\n5\n5\n330\n0\n100\nAcDbSymbolTable\n70\n3\n"
    "0\nLTYPE\n5\n31\n330\n5\n100\nAcDbSymbolTableRecord\n100\nAcDbLinetypeTableRecord\n2\nByBlock\n70\n0\n3\n\n72\n65\n73\n0\n40\n0.0\n"
    "0\nLTYPE\n5\n32\n330\n5\n100\nAcDbSymbolTableRecord\n100\nAcDbLinetypeTableRecord\n2\nByLayer\n70\n0\n3\n\n72\n65\n73\n0\n40\n0.0\n"
    "0\nLTYPE\n5\n33\n330\n5\n100\nAcDbSymbolTableRecord\n100\nAcDbLinetypeTableRecord\n2\nContinuous\n70\n0\n3\nSolid line\n72\n65\n73\n0\n40\n0.0\n"
    "0\nENDTAB\n"
    "0\nTABLE\n2\nLAYER\n5\n2\n330\n0\n100\nAcDbSymbolTable\n70\n1\n"
    "0\nLAYER\n5\n34\n330\n2\n100\nAcDbSymbolTableRecord\n100\nAcDbLayerTableRecord\n2\n0\n70\n0\n62\n7\n6\nContinuous\n370\n-3\n390\n0\n"
    "0\nENDTAB\n"
    "0\nTABLE\n2\nSTYLE\n5\n3\n330\n0\n100\nAcDbSymbolTable\n70\n1\n"
    "0\nSTYLE\n5\n35\n330\n3\n100\nAcDbSymbolTableRecord\n100\nAcDbTextStyleTableRecord\n2\nStandard\n70\n0\n"
    "40\n0.0\n41\n1.0\n50\n0.0\n71\n0\n42\n2.5\n3\ntxt\n4\n\n"
    "0\nENDTAB\n"
    "0\nTABLE\n2\nVIEW\n5\n6\n330\n0\n100\nAcDbSymbolTable\n70\n0\n0\nENDTAB\n"
    "0\nTABLE\n2\nUCS\n5\n7\n330\n0\n100\nAcDbSymbolTable\n70\n0\n0\nENDTAB\n"
    "0\nTABLE\n2\nAPPID\n5\n9\n330\n0\n100\nAcDbSymbolTable\n70\n1\n"
    "0\nAPPID\n5\n36\n330\n9\n100\nAcDbSymbolTableRecord\n100\nAcDbRegAppTableRecord\n2\nACAD\n70\n0\n"
    "0\nENDTAB\n"
    "0\nTABLE\n2\nDIMSTYLE\n5\nA\n330\n0\n100\nAcDbSymbolTable\n70\n1\n100\nAcDbDimStyleTable\n"
    "0\nDIMSTYLE\n105\n37\n330\nA\n100\nAcDbSymbolTableRecord\n100\nAcDbDimStyleTableRecord\n2\nStandard\n70\n0\n"
    "0\nENDTAB\n"
    "0\nTABLE\n2\nBLOCK_RECORD\n5\n1\n330\n0\n100\nAcDbSymbolTable\n70\n2\n"
    "0\nBLOCK_RECORD\n5\n1F\n330\n1\n100\nAcDbSymbolTableRecord\n100\nAcDbBlockTableRecord\n2\n*Model_Space\n340\n22\n70\n0\n280\n1\n281\n0\n"
    "0\nBLOCK_RECORD\n5\n1B\n330\n1\n100\nAcDbSymbolTableRecord\n100\nAcDbBlockTableRecord\n2\n*Paper_Space\n340\n1E\n70\n0\n280\n1\n281\n0\n"
    "0\nENDTAB\n"
    "0\nENDSEC\n"
    "0\nSECTION\n2\nBLOCKS\n"
    "0\nBLOCK\n5\n20\n330\n1F\n100\nAcDbEntity\n8\n0\n100\nAcDbBlockBegin\n2\n*Model_Space\n70\n0\n"
    "10\n0.0\n20\n0.0\n30\n0.0\n3\n*Model_Space\n1\n\n"
    "0\nENDBLK\n5\n21\n330\n1F\n100\nAcDbEntity\n8\n0\n100\nAcDbBlockEnd\n"
    "0\nBLOCK\n5\n1C\n330\n1B\n100\nAcDbEntity\n67\n1\n8\n0\n100\nAcDbBlockBegin\n2\n*Paper_Space\n70\n0\n"
    "10\n0.0\n20\n0.0\n30\n0.0\n3\n*Paper_Space\n1\n\n"
    "0\nENDBLK\n5\n1D\n330\n1B\n100\nAcDbEntity\n67\n1\n8\n0\n100\nAcDbBlockEnd\n"
    "0\nENDSEC\n"
    "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n"
    "0\nSECTION\n2\nOBJECTS\n"
    "0\nDICTIONARY\n5\nC\n330\n0\n100\nAcDbDictionary\n281\n1\n3\nACAD_GROUP\n350\nD\n3\nACAD_LAYOUT\n350\n1A\n"
    "0\nDICTIONARY\n5\nD\n330\nC\n100\nAcDbDictionary\n281\n1\n"
    "0\nDICTIONARY\n5\n1A\n330\nC\n100\nAcDbDictionary\n281\n1\n3\nLayout1\n350\n1E\n3\nModel\n350\n22\n"
    "0\nLAYOUT\n5\n22\n330\n1A\n100\nAcDbPlotSettings\n1\n\n4\n\n6\n\n40\n0.0\n41\n0.0\n42\n0.0\n43\n0.0\n"
    "44\n0.0\n45\n0.0\n46\n0.0\n47\n0.0\n48\n0.0\n49\n0.0\n140\n0.0\n141\n0.0\n142\n1.0\n143\n1.0\n70\n1024\n"
    "72\n0\n73\n0\n74\n0\n7\n\n75\n0\n147\n1.0\n148\n0.0\n149\n0.0\n"
    "100\nAcDbLayout\n1\nModel\n70\n1\n71\n0\n10\n0.0\n20\n0.0\n11\n420.0\n21\n297.0\n12\n0.0\n22\n0.0\n32\n0.0\n"
    "14\n0.0\n24\n0.0\n34\n0.0\n15\n0.0\n25\n0.0\n35\n0.0\n146\n0.0\n13\n0.0\n23\n0.0\n33\n0.0\n"
    "16\n1.0\n26\n0.0\n36\n0.0\n17\n0.0\n27\n1.0\n37\n0.0\n76\n0\n330\n1F\n"
    "0\nLAYOUT\n5\n1E\n330\n1A\n100\nAcDbPlotSettings\n1\n\n4\n\n6\n\n40\n0.0\n41\n0.0\n42\n0.0\n43\n0.0\n"
    "44\n0.0\n45\n0.0\n46\n0.0\n47\n0.0\n48\n0.0\n49\n0.0\n140\n0.0\n141\n0.0\n142\n1.0\n143\n1.0\n70\n0\n"
    "72\n0\n73\n0\n74\n0\n7\n\n75\n0\n147\n1.0\n148\n0.0\n149\n0.0\n"
    "100\nAcDbLayout\n1\nLayout1\n70\n1\n71\n1\n10\n0.0\n20\n0.0\n11\n420.0\n21\n297.0\n12\n0.0\n22\n0.0\n32\n0.0\n"
    "14\n0.0\n24\n0.0\n34\n0.0\n15\n0.0\n25\n0.0\n35\n0.0\n146\n0.0\n13\n0.0\n23\n0.0\n33\n0.0\n"
    "16\n1.0\n26\n0.0\n36\n0.0\n17\n0.0\n27\n1.0\n37\n0.0\n76\n0\n330\n1B\n"
    "0\nENDSEC\n"
    "0\nEOF\n";

void appendGroup(std::string& out, int code, const std::string& value, const char* newline) {
  char codeText[16] = {};
  std::snprintf(codeText, sizeof codeText, "%3d", code);
  out += codeText;
  out += newline;
  out += value;
  out += newline;
}

// $HANDSEED as it will be after this save, added when the file had none.
Groups headerWithSeed(const Groups& header, std::uint64_t seed) {
  Groups out = header;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (out[i].first == 9 && dxf::trim(out[i].second) == "$HANDSEED") {
      for (std::size_t k = i + 1; k < out.size() && out[k].first != 9; ++k) {
        if (out[k].first == 5) {
          out[k].second = dxf::formatHex(seed);
          return out;
        }
      }
    }
  }
  out.emplace_back(9, "$HANDSEED");
  out.emplace_back(5, dxf::formatHex(seed));
  return out;
}

}  // namespace

Drawing::Drawing() {
  std::string error;
  const bool parsed = parse(kEmptyDrawing, &error);
  (void)parsed;  // the built-in drawing always parses; the unit tests read it back
  FCrLf = true;
}

bool Drawing::save(const std::string& path, std::string* error) const {
  const char* newline = FCrLf ? "\r\n" : "\n";
  const bool subclassMarkers = FVersion >= "AC1015";
  std::string out;
  for (const auto& section : FSections) {
    if (section.name.empty()) {
      for (const auto& [code, value] : section.groups) appendGroup(out, code, value, newline);
      continue;
    }
    appendGroup(out, 0, "SECTION", newline);
    appendGroup(out, 2, section.name, newline);
    if (section.name == "HEADER") {
      for (const auto& [code, value] : headerWithSeed(section.groups, FNextHandle)) appendGroup(out, code, value, newline);
    } else if (section.name == "ENTITIES") {
      auto write = [&](const Entity& e) {
        const Groups groups = e.modified && dxf::isEditableType(e.type)
                                  ? dxf::writeFields(e, FCodePage, subclassMarkers)
                                  : e.groups;
        for (const auto& [code, value] : groups) appendGroup(out, code, value, newline);
      };
      std::vector<bool> written(FPaper.size(), false);
      auto writePaperAfter = [&](std::uint64_t handle) {
        for (std::size_t i = 0; i < FPaper.size(); ++i) {
          if (!written[i] && FPaper[i].first == handle) {
            write(FPaper[i].second);
            written[i] = true;
          }
        }
      };
      writePaperAfter(0);
      for (const Entity& e : FModel) {
        write(e);
        writePaperAfter(e.handle);
      }
      for (std::size_t i = 0; i < FPaper.size(); ++i) {
        if (!written[i]) write(FPaper[i].second);  // what they followed was erased
      }
    } else {
      for (const auto& [code, value] : section.groups) appendGroup(out, code, value, newline);
    }
    appendGroup(out, 0, "ENDSEC", newline);
  }
  appendGroup(out, 0, "EOF", newline);

  // Written beside the target first, so a failed write leaves the old file whole.
  const std::filesystem::path target = dxf::filePath(path);
  std::filesystem::path temporary = target;
  temporary += ".tmp";
  std::error_code ignored;
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) {
      if (error != nullptr) *error = "cannot write " + path + ".tmp";
      return false;  // whatever holds that name is not ours to remove
    }
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    file.flush();
    if (!file) {
      if (error != nullptr) *error = "cannot write " + path + ".tmp";
      file.close();
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code renamed;
  std::filesystem::rename(temporary, target, renamed);
  if (renamed) {
    if (error != nullptr) *error = "cannot replace " + path + ": " + renamed.message();
    std::filesystem::remove(temporary, ignored);
    return false;
  }
  return true;
}

}  // namespace standin
