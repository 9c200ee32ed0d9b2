#include "fake_cad.h"

#include <cwctype>
#include <functional>
#include <utility>

#include "fake_desktop.h"

namespace {

wchar_t upper(wchar_t ch) { return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(ch))); }

// The CAD reads a handle as a number: "001A0" is "1a0".
std::wstring withoutLeadingZeros(const std::wstring& handle) {
  const std::size_t first = handle.find_first_not_of(L'0');
  return first == std::wstring::npos ? L"0" : handle.substr(first);
}

bool sameText(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

// One alternative of a wildcard pattern (no top-level commas), from `p` on.
bool matchAlternative(const std::wstring& text, std::size_t t, const std::wstring& pat, std::size_t p) {
  while (p < pat.size()) {
    const wchar_t pc = pat[p];
    if (pc == L'*') {
      for (std::size_t k = t; k <= text.size(); ++k) {
        if (matchAlternative(text, k, pat, p + 1)) return true;
      }
      return false;
    }
    if (t >= text.size()) return false;
    const wchar_t tc = text[t];
    if (pc == L'`' && p + 1 < pat.size()) {
      if (upper(pat[p + 1]) != upper(tc)) return false;
      p += 2;
    } else if (pc == L'?') {
      ++p;
    } else if (pc == L'#') {
      if (!std::iswdigit(static_cast<wint_t>(tc))) return false;
      ++p;
    } else if (pc == L'@') {
      if (!std::iswalpha(static_cast<wint_t>(tc))) return false;
      ++p;
    } else if (pc == L'.') {
      if (std::iswalnum(static_cast<wint_t>(tc))) return false;
      ++p;
    } else if (pc == L'[') {
      std::size_t q = p + 1;
      bool negate = false;
      if (q < pat.size() && pat[q] == L'~') {
        negate = true;
        ++q;
      }
      bool hit = false;
      bool closed = false;
      for (bool first = true; q < pat.size(); first = false) {
        if (pat[q] == L']' && !first) {
          closed = true;
          break;
        }
        if (q + 2 < pat.size() && pat[q + 1] == L'-' && pat[q + 2] != L']') {
          hit = hit || (upper(tc) >= upper(pat[q]) && upper(tc) <= upper(pat[q + 2]));
          q += 3;
        } else {
          hit = hit || upper(tc) == upper(pat[q]);
          ++q;
        }
      }
      if (!closed) return false;  // an unclosed bracket matches nothing
      if (hit == negate) return false;
      p = q + 1;
    } else {
      if (upper(pc) != upper(tc)) return false;
      ++p;
    }
    ++t;
  }
  return t == text.size();
}

std::vector<std::wstring> splitAlternatives(const std::wstring& pattern) {
  std::vector<std::wstring> out(1);
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == L'`' && i + 1 < pattern.size()) {
      out.back() += pattern[i];
      out.back() += pattern[++i];
    } else if (pattern[i] == L',') {
      out.emplace_back();
    } else {
      out.back() += pattern[i];
    }
  }
  return out;
}

// Evaluates filter items from `pos` until the closing bracket `close` (or the
// end when `close` is empty); the items are joined by `op`.
enum class TJoin { And, Or, Xor };

bool evalGroup(const TFakeEntity& e, const std::vector<std::int16_t>& codes,
               const std::vector<std::wstring>& values, std::size_t& pos, const std::wstring& close,
               TJoin op) {
  bool result = op == TJoin::And;
  int operands = 0;
  while (pos < codes.size()) {
    const std::int16_t code = codes[pos];
    const std::wstring& value = values[pos];
    ++pos;
    bool item = true;
    if (code == -4) {
      if (!close.empty() && sameText(value, close)) {
        if (op == TJoin::Xor && operands != 2) throw TAutomationError(L"フィルターが不正です");
        return result;
      }
      if (sameText(value, L"<NOT")) {
        item = !evalGroup(e, codes, values, pos, L"NOT>", TJoin::And);
      } else if (sameText(value, L"<AND")) {
        item = evalGroup(e, codes, values, pos, L"AND>", TJoin::And);
      } else if (sameText(value, L"<OR")) {
        item = evalGroup(e, codes, values, pos, L"OR>", TJoin::Or);
      } else if (sameText(value, L"<XOR")) {
        item = evalGroup(e, codes, values, pos, L"XOR>", TJoin::Xor);
      } else {
        throw TAutomationError(L"フィルターが不正です: " + value);
      }
    } else if (code == 0) {
      item = TFakeCad::wildcardMatch(e.dxfName, value);
    } else if (code == 8) {
      item = TFakeCad::wildcardMatch(e.layer, value);
    } else {
      throw TAutomationError(L"このフィルター コードは扱えません: " + std::to_wstring(code));
    }
    ++operands;
    switch (op) {
      case TJoin::And: result = result && item; break;
      case TJoin::Or: result = result || item; break;
      case TJoin::Xor: result = result != item; break;
    }
  }
  if (!close.empty()) throw TAutomationError(L"フィルターの括弧が閉じていません: " + close);
  return result;
}

// One entity of one document, as every kind's object sees it: each access is
// a served call, and an erased entity is an error.
class TFakeEntityRef {
 protected:
  TFakeEntityRef(TFakeCad& cad, std::size_t d, std::size_t e) : FCad(cad), FDoc(d), FEnt(e) {}
  TFakeEntity& entity(const std::wstring& op, const std::wstring& arg = {}) {
    FCad.serve(op, arg);
    TFakeEntity& e = FCad.documents.at(FDoc).entities.at(FEnt);
    if (e.erased) throw TAutomationError(L"オブジェクトは削除されています");
    return e;
  }
  TFakeCad& FCad;
  std::size_t FDoc;
  std::size_t FEnt;
};

class TFakeLineObject : public TCadLine, private TFakeEntityRef {
 public:
  TFakeLineObject(TFakeCad& cad, std::size_t d, std::size_t e) : TFakeEntityRef(cad, d, e) {}
  TPoint3 StartPoint() override { return entity(L"Line.StartPoint").start; }
  TPoint3 EndPoint() override { return entity(L"Line.EndPoint").end; }

};

class TFakePolylineObject : public TCadPolyline, private TFakeEntityRef {
 public:
  TFakePolylineObject(TFakeCad& cad, std::size_t d, std::size_t e) : TFakeEntityRef(cad, d, e) {}
  std::vector<double> Coordinates() override { return entity(L"Polyline.Coordinates").coordinates; }
  bool Closed() override { return entity(L"Polyline.Closed").closed; }

};

// A TEXT, or an MTEXT seen through the members it shares with one ("MText.*"
// calls); an MTEXT has no Alignment nor TextAlignmentPoint, as a CAD's has not.
class TFakeTextObject : public TCadText, private TFakeEntityRef {
 public:
  TFakeTextObject(TFakeCad& cad, std::size_t d, std::size_t e, bool mtext = false)
      : TFakeEntityRef(cad, d, e), FKind(mtext ? L"MText." : L"Text.") {}
  std::wstring Handle() override { return entity(FKind + L"Handle").handle; }
  std::wstring TextString() override { return entity(FKind + L"TextString").text; }
  void setTextString(const std::wstring& text) override { entity(FKind + L"setTextString", text).text = text; }
  std::int32_t Alignment() override { return textOnly(L"Alignment").alignment; }
  TPoint3 InsertionPoint() override { return entity(FKind + L"InsertionPoint").insertion; }
  void setInsertionPoint(const TPoint3& p) override { entity(FKind + L"setInsertionPoint").insertion = p; }
  TPoint3 TextAlignmentPoint() override { return textOnly(L"TextAlignmentPoint").alignmentPoint; }
  void setTextAlignmentPoint(const TPoint3& p) override { textOnly(L"setTextAlignmentPoint").alignmentPoint = p; }
  std::int32_t ObjectID() override { return entity(FKind + L"ObjectID").objectId; }
  std::unique_ptr<TCadEntity> Copy() override;
  void Erase() override { entity(FKind + L"Erase").erased = true; }
  void Update() override { entity(FKind + L"Update"); }

 private:
  TFakeEntity& textOnly(const std::wstring& member) {
    TFakeEntity& e = entity(FKind + member);
    if (e.isMText()) throw TAutomationError(L"不明な名前です: " + member);
    return e;
  }
  std::wstring FKind;
};

class TFakeEntityObject : public TCadEntity {
 public:
  TFakeEntityObject(TFakeCad& cad, std::size_t d, std::size_t e) : FCad(cad), FDoc(d), FEnt(e) {}
  std::wstring ObjectName() override {
    FCad.serve(L"Entity.ObjectName");
    return entity().objectName;
  }
  std::unique_ptr<TCadLine> asLine() override {
    FCad.serve(L"Entity.asLine");
    if (!entity().isLine()) throw TAutomationError(L"インターフェイスがサポートされていません");
    return std::make_unique<TFakeLineObject>(FCad, FDoc, FEnt);
  }
  std::unique_ptr<TCadPolyline> asPolyline() override {
    FCad.serve(L"Entity.asPolyline");
    if (!entity().isPolyline()) throw TAutomationError(L"インターフェイスがサポートされていません");
    return std::make_unique<TFakePolylineObject>(FCad, FDoc, FEnt);
  }
  std::unique_ptr<TCadText> asText() override {
    FCad.serve(L"Entity.asText");
    if (!entity().isText() && !entity().answersAsText) throw TAutomationError(L"インターフェイスがサポートされていません");
    return std::make_unique<TFakeTextObject>(FCad, FDoc, FEnt);
  }
  std::unique_ptr<TCadText> asMText() override {
    FCad.serve(L"Entity.asMText");
    if (!entity().isMText()) throw TAutomationError(L"図形は MTEXT ではありません");
    return std::make_unique<TFakeTextObject>(FCad, FDoc, FEnt, true);
  }
  void Erase() override {
    FCad.serve(L"Entity.Erase");
    entity().erased = true;
  }

 private:
  TFakeEntity& entity() {
    TFakeEntity& e = FCad.documents.at(FDoc).entities.at(FEnt);
    if (e.erased) throw TAutomationError(L"オブジェクトは削除されています");
    return e;
  }
  TFakeCad& FCad;
  std::size_t FDoc;
  std::size_t FEnt;
};

std::unique_ptr<TCadEntity> TFakeTextObject::Copy() {
  TFakeEntity copy = entity(FKind + L"Copy");
  TFakeDocumentData& d = FCad.documents.at(FDoc);
  copy.handle = FCad.nextHandle(d);
  copy.objectId = FCad.nextObjectId++;
  d.entities.push_back(std::move(copy));
  return std::make_unique<TFakeEntityObject>(FCad, FDoc, d.entities.size() - 1);
}

class TFakeSelectionSetObject : public TCadSelectionSet {
 public:
  TFakeSelectionSetObject(TFakeCad& cad, std::size_t d, std::size_t s) : FCad(cad), FDoc(d), FSet(s) {}
  std::wstring Name() override { return set(L"SelectionSet.Name").name; }
  std::int32_t Count() override {
    return static_cast<std::int32_t>(set(L"SelectionSet.Count").members.size());
  }
  std::unique_ptr<TCadEntity> Item(std::int32_t index) override {
    TFakeSelectionSetData& s = set(L"SelectionSet.Item", std::to_wstring(index));
    if (index < 0 || static_cast<std::size_t>(index) >= s.members.size()) {
      throw TAutomationError(L"インデックスが範囲外です");
    }
    return std::make_unique<TFakeEntityObject>(FCad, FDoc, s.members[static_cast<std::size_t>(index)]);
  }
  void Clear() override { set(L"SelectionSet.Clear").members.clear(); }
  void Delete() override { set(L"SelectionSet.Delete").deleted = true; }
  void SelectOnScreen(const std::vector<std::int16_t>& codes,
                      const std::vector<std::wstring>& values) override {
    TFakeSelectionSetData& s = set(L"SelectionSet.SelectOnScreen");
    FCad.lastFilterCodes = codes;
    FCad.lastFilterValues = values;
    if (codes.size() != values.size()) throw TAutomationError(L"フィルターの長さが一致しません");
    if (FCad.onSelectOnScreen) FCad.onSelectOnScreen();
    if (FCad.selectMode == TFakeSelectMode::Cancel) throw TAutomationError(L"ユーザーが選択を取り消しました");
    const TFakeDocumentData& d = FCad.documents.at(FDoc);
    std::vector<std::size_t> candidates;
    if (FCad.selectMode == TFakeSelectMode::WholeDrawing) {
      for (std::size_t i = 0; i < d.entities.size(); ++i) candidates.push_back(i);
    } else {
      candidates = FCad.picked;
    }
    for (const std::size_t i : candidates) {
      const TFakeEntity& e = d.entities.at(i);
      if (e.erased || !TFakeCad::matchesFilter(e, codes, values)) continue;
      bool already = false;
      for (const std::size_t m : s.members) already = already || m == i;
      if (!already) s.members.push_back(i);
    }
  }

 private:
  TFakeSelectionSetData& set(const std::wstring& op, const std::wstring& arg = {}) {
    FCad.serve(op, arg);
    TFakeSelectionSetData& s = FCad.documents.at(FDoc).selectionSets.at(FSet);
    if (s.deleted) throw TAutomationError(L"選択セットは削除されています");
    return s;
  }
  TFakeCad& FCad;
  std::size_t FDoc;
  std::size_t FSet;
};

class TFakeSelectionSetsObject : public TCadSelectionSets {
 public:
  TFakeSelectionSetsObject(TFakeCad& cad, std::size_t d) : FCad(cad), FDoc(d) {}
  std::int32_t Count() override {
    FCad.serve(L"SelectionSets.Count");
    return static_cast<std::int32_t>(live().size());
  }
  std::unique_ptr<TCadSelectionSet> Item(std::int32_t index) override {
    FCad.serve(L"SelectionSets.Item", std::to_wstring(index));
    const std::vector<std::size_t> sets = live();
    if (index < 0 || static_cast<std::size_t>(index) >= sets.size()) {
      throw TAutomationError(L"インデックスが範囲外です");
    }
    return std::make_unique<TFakeSelectionSetObject>(FCad, FDoc, sets[static_cast<std::size_t>(index)]);
  }
  std::unique_ptr<TCadSelectionSet> Add(const std::wstring& name) override {
    FCad.serve(L"SelectionSets.Add", name);
    TFakeDocumentData& d = FCad.documents.at(FDoc);
    for (const std::size_t i : live()) {
      if (sameText(d.selectionSets[i].name, name)) throw TAutomationError(L"重複したレコード名です");
    }
    d.selectionSets.push_back({name, {}, false});
    return std::make_unique<TFakeSelectionSetObject>(FCad, FDoc, d.selectionSets.size() - 1);
  }

 private:
  std::vector<std::size_t> live() const {
    std::vector<std::size_t> out;
    const auto& sets = FCad.documents.at(FDoc).selectionSets;
    for (std::size_t i = 0; i < sets.size(); ++i) {
      if (!sets[i].deleted) out.push_back(i);
    }
    return out;
  }
  TFakeCad& FCad;
  std::size_t FDoc;
};

class TFakeDocumentObject : public TCadDocument {
 public:
  TFakeDocumentObject(TFakeCad& cad, std::size_t d) : FCad(cad), FDoc(d) {}
  std::wstring Name() override {
    FCad.serve(L"Document.Name");
    return doc().name;
  }
  std::wstring FullName() override {
    FCad.serve(L"Document.FullName");
    return doc().fullName;
  }
  std::unique_ptr<TCadSelectionSets> SelectionSets() override {
    FCad.serve(L"Document.SelectionSets");
    return std::make_unique<TFakeSelectionSetsObject>(FCad, FDoc);
  }
  std::unique_ptr<TCadEntity> HandleToObject(const std::wstring& handle) override {
    FCad.serve(L"Document.HandleToObject", handle);
    const auto& entities = doc().entities;
    for (std::size_t i = 0; i < entities.size(); ++i) {
      if (!entities[i].erased && sameText(withoutLeadingZeros(entities[i].handle), withoutLeadingZeros(handle))) {
        return std::make_unique<TFakeEntityObject>(FCad, FDoc, i);
      }
    }
    throw TAutomationError(L"無効なハンドルです: " + handle);
  }
  double GetVariable(const std::wstring& name) override {
    FCad.serve(L"Document.GetVariable", name);
    if (sameText(name, L"VIEWSIZE")) return doc().viewSize;
    throw TAutomationError(L"システム変数がありません: " + name);
  }
  std::int32_t windowHandle() override {
    FCad.serve(L"Document.HWND");
    return doc().drawingWindow;
  }
  void Regen(std::int32_t which) override {
    FCad.serve(L"Document.Regen", std::to_wstring(which));
    doc().regens.push_back(which);
  }
  void SendCommand(const std::wstring& command) override {
    FCad.serve(L"Document.SendCommand", command);
    doc().sentCommands.push_back(command);
  }
  void StartUndoMark() override { undoMark(L"Document.StartUndoMark", L"start"); }
  void EndUndoMark() override { undoMark(L"Document.EndUndoMark", L"end"); }

 private:
  void undoMark(const std::wstring& operation, const std::wstring& mark) {
    FCad.serve(operation);
    if (FCad.lacksUndoMarks) throw TAutomationError(L"不明な名前です。");
    doc().undoMarks.push_back(mark);
  }
  TFakeDocumentData& doc() { return FCad.documents.at(FDoc); }
  TFakeCad& FCad;
  std::size_t FDoc;
};

class TFakeApplicationObject : public TCadApplication {
 public:
  explicit TFakeApplicationObject(TFakeCad& cad) : FCad(cad) {}
  std::int32_t windowHandle() override {
    FCad.serve(L"Application.HWND");
    return FCad.mainWindow;
  }
  std::int32_t DocumentsCount() override {
    FCad.serve(L"Documents.Count");
    return static_cast<std::int32_t>(FCad.documents.size());
  }
  std::unique_ptr<TCadDocument> ActiveDocument() override {
    FCad.serve(L"Application.ActiveDocument");
    if (FCad.activeDocument >= FCad.documents.size()) throw TAutomationError(L"アクティブなドキュメントがありません");
    return std::make_unique<TFakeDocumentObject>(FCad, FCad.activeDocument);
  }
  void ZoomWindow(const TPoint3& lowerLeft, const TPoint3& upperRight) override {
    FCad.serve(L"Application.ZoomWindow");
    FCad.lastZoom = std::make_pair(lowerLeft, upperRight);
  }

 private:
  TFakeCad& FCad;
};

}  // namespace

TFakeCad::TFakeCad() : documents(1) {}

std::wstring TFakeCad::nextHandle(TFakeDocumentData& document) {
  const wchar_t* const digits = document.lowerCaseHandles ? L"0123456789abcdef" : L"0123456789ABCDEF";
  std::uint64_t v = static_cast<std::uint64_t>(document.nextHandle++);
  std::wstring out;
  do {
    out.insert(out.begin(), digits[v & 0xF]);
    v >>= 4;
  } while (v != 0);
  if (out.size() < static_cast<std::size_t>(document.handleWidth)) {
    out.insert(0, static_cast<std::size_t>(document.handleWidth) - out.size(), L'0');
  }
  return out;
}

std::size_t TFakeCad::addLine(TPoint3 start, TPoint3 end, const std::wstring& layer) {
  TFakeEntity e;
  e.objectName = L"AcDbLine";
  e.dxfName = L"LINE";
  e.layer = layer;
  e.handle = nextHandle(doc());
  e.start = start;
  e.end = end;
  doc().entities.push_back(std::move(e));
  return doc().entities.size() - 1;
}

std::size_t TFakeCad::addPolyline(std::vector<double> coordinates, bool closed, double elevation,
                                  const std::wstring& layer) {
  TFakeEntity e;
  e.objectName = L"AcDbPolyline";
  e.dxfName = L"LWPOLYLINE";
  e.layer = layer;
  e.handle = nextHandle(doc());
  e.coordinates = std::move(coordinates);
  e.closed = closed;
  e.elevation = elevation;
  doc().entities.push_back(std::move(e));
  return doc().entities.size() - 1;
}

std::size_t TFakeCad::addText(const std::wstring& text, TPoint3 insertion, std::int32_t alignment,
                              TPoint3 alignmentPoint, const std::wstring& layer,
                              const std::wstring& handle) {
  TFakeEntity e;
  e.objectName = L"AcDbText";
  e.dxfName = L"TEXT";
  e.layer = layer;
  e.handle = handle.empty() ? nextHandle(doc()) : handle;
  e.text = text;
  e.insertion = insertion;
  e.alignment = alignment;
  e.alignmentPoint = alignmentPoint;
  e.objectId = nextObjectId++;
  doc().entities.push_back(std::move(e));
  return doc().entities.size() - 1;
}

std::size_t TFakeCad::addMText(const std::wstring& source, TPoint3 insertion, const std::wstring& layer,
                               const std::wstring& handle) {
  TFakeEntity e;
  e.objectName = L"AcDbMText";
  e.dxfName = L"MTEXT";
  e.layer = layer;
  e.handle = handle.empty() ? nextHandle(doc()) : handle;
  e.text = source;
  e.insertion = insertion;
  e.objectId = nextObjectId++;
  doc().entities.push_back(std::move(e));
  return doc().entities.size() - 1;
}

std::size_t TFakeCad::addOther(const std::wstring& objectName, const std::wstring& dxfName,
                               const std::wstring& layer) {
  TFakeEntity e;
  e.objectName = objectName;
  e.dxfName = dxfName;
  e.layer = layer;
  e.handle = nextHandle(doc());
  doc().entities.push_back(std::move(e));
  return doc().entities.size() - 1;
}

void TFakeCad::addSelectionSet(const std::wstring& name, std::vector<std::size_t> members) {
  doc().selectionSets.push_back({name, std::move(members), false});
}

std::vector<std::wstring> TFakeCad::selectionSetNames() const {
  std::vector<std::wstring> out;
  for (const auto& s : documents.at(activeDocument).selectionSets) {
    if (!s.deleted) out.push_back(s.name);
  }
  return out;
}

int TFakeCad::countOf(const std::wstring& operation) const {
  const auto it = FServed.find(operation);
  return it == FServed.end() ? 0 : it->second;
}

void TFakeCad::failOn(const std::wstring& operation, const std::wstring& message, int skip, int times,
                      bool unreachable) {
  FFaults[operation] = {message, skip, times, unreachable};
}

void TFakeCad::serve(const std::wstring& operation, const std::wstring& argument) {
  calls.push_back(argument.empty() ? operation : operation + L" " + argument);
  ++FServed[operation];
  const auto it = FFaults.find(operation);
  if (it == FFaults.end()) return;
  TFault& f = it->second;
  if (f.skip > 0) {
    --f.skip;
    return;
  }
  if (f.times == 0) return;
  if (f.times > 0) --f.times;
  throw TAutomationError(f.message, f.unreachable);
}

bool TFakeCad::wildcardMatch(const std::wstring& text, const std::wstring& pattern) {
  for (const std::wstring& alt : splitAlternatives(pattern)) {
    if (!alt.empty() && alt[0] == L'~') {
      if (!matchAlternative(text, 0, alt, 1)) return true;
    } else if (matchAlternative(text, 0, alt, 0)) {
      return true;
    }
  }
  return false;
}

bool TFakeCad::matchesFilter(const TFakeEntity& entity, const std::vector<std::int16_t>& codes,
                             const std::vector<std::wstring>& values) {
  if (codes.size() != values.size()) throw TAutomationError(L"フィルターの長さが一致しません");
  std::size_t pos = 0;
  return evalGroup(entity, codes, values, pos, {}, TJoin::And);
}

std::unique_ptr<TCadApplication> TFakeCad::createApplication() {
  serve(L"Connector.createApplication");
  if (serverMissing) throw TAutomationError(L"クラスが登録されていません");
  return std::make_unique<TFakeApplicationObject>(*this);
}

void addCadWindow(TFakeDesktop& desktop, const TFakeCad& cad, std::uint32_t thread) {
  // Widened as the program widens the handle the CAD reports (sign-extended).
  desktop.windows[static_cast<TWnd>(static_cast<std::int64_t>(cad.mainWindow))] = {L"nanoCAD 5", thread, false};
}
