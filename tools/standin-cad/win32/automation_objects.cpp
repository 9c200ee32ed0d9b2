#include "automation_objects.h"

#include <algorithm>
#include <cwctype>

#include "automation_object.h"
#include "platform/win32/bstr.h"
#include "standin.h"
#include "variant_values.h"

namespace {

HRESULT putString(const std::wstring& text, BSTR* out) {
  if (out == nullptr) {
    return E_POINTER;
  }
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out == nullptr ? E_OUTOFMEMORY : S_OK;
}

template <class T>
HRESULT putValue(T value, T* out) {
  if (out == nullptr) {
    return E_POINTER;
  }
  *out = value;
  return S_OK;
}

std::wstring upper(std::wstring s) {
  for (wchar_t& c : s) {
    c = static_cast<wchar_t>(std::towupper(c));
  }
  return s;
}

std::wstring trimmed(const std::wstring& s) {
  const std::size_t first = s.find_first_not_of(L" \t\r\n");
  if (first == std::wstring::npos) {
    return std::wstring();
  }
  const std::size_t last = s.find_last_not_of(L" \t\r\n");
  return s.substr(first, last - first + 1);
}

// A handle as the client writes it: hexadecimal digits, any case.
bool parseHandle(const std::wstring& text, std::uint64_t& out) {
  const std::wstring t = trimmed(text);
  if (t.empty() || t.size() > 16) {
    return false;
  }
  std::uint64_t v = 0;
  for (const wchar_t c : t) {
    int digit = 0;
    if (c >= L'0' && c <= L'9') {
      digit = c - L'0';
    } else if (c >= L'A' && c <= L'F') {
      digit = c - L'A' + 10;
    } else if (c >= L'a' && c <= L'f') {
      digit = c - L'a' + 10;
    } else {
      return false;
    }
    v = v * 16 + static_cast<std::uint64_t>(digit);
  }
  out = v;
  return true;
}

void changed(TServerContext& context) {
  if (context.host != nullptr) {
    context.host->drawingChanged();
  }
}

// ---- entities -------------------------------------------------------------

template <class TInterface>
class TEntityObject : public TAutomationObject<TInterface> {
 public:
  TEntityObject(TServerContext& context, std::uint64_t handle, std::initializer_list<IID> iids)
      : TAutomationObject<TInterface>(context, iids), FHandle(handle) {}

  HRESULT STDMETHODCALLTYPE get_ObjectName(BSTR* out) override {
    return guardedMember([&] { return putString(entity().objectName(), out); });
  }
  HRESULT STDMETHODCALLTYPE get_Handle(BSTR* out) override {
    return guardedMember([&] { return putString(hexHandle(entity().handle), out); });
  }
  HRESULT STDMETHODCALLTYPE get_ObjectID(LONGLONG* out) override {
    return guardedMember([&] { return putValue(static_cast<LONGLONG>(entity().handle), out); });
  }
  HRESULT STDMETHODCALLTYPE get_Layer(BSTR* out) override {
    return guardedMember([&] { return putString(entity().layer, out); });
  }
  HRESULT STDMETHODCALLTYPE put_Layer(BSTR layer) override {
    return guardedMember([&] {
      standin::Entity& e = writable();
      e.layer = TBstr::toString(layer);
      e.modified = true;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE Copy(IDispatch** out) override {
    return guardedMember([&] {
      if (out == nullptr) {
        return E_POINTER;
      }
      // addCopy may move the entities, so the source is copied out first.
      const standin::Entity source = entity();
      const std::uint64_t handle = this->context().requireDocument().writableDrawing().addCopy(source).handle;
      changed(this->context());
      return newEntityObject(this->context(), handle, out);
    });
  }
  HRESULT STDMETHODCALLTYPE Erase() override {
    return guardedMember([&] {
      entity();
      // Only model space entities can be erased: one in paper space stays, and saying so beats a silent S_OK.
      if (!this->context().requireDocument().writableDrawing().erase(FHandle)) {
        throw TDispatchFault{L"この図形は削除できません"};
      }
      changed(this->context());
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE Update() override {
    return guardedMember([&] {
      entity();
      changed(this->context());
      return S_OK;
    });
  }

 protected:
  standin::Entity& entity() const { return this->context().requireEntity(FHandle); }
  // The entity about to be changed: the undo keeps the drawing as it was.
  standin::Entity& writable() const {
    entity();
    this->context().requireDocument().writableDrawing();
    return entity();
  }

 private:
  std::uint64_t FHandle;
};

class TPlainEntityObject : public TEntityObject<IStandinEntity> {
 public:
  TPlainEntityObject(TServerContext& context, std::uint64_t handle)
      : TEntityObject(context, handle, {IID_IStandinEntity}) {}
};

class TLineObject : public TEntityObject<IStandinLine> {
 public:
  TLineObject(TServerContext& context, std::uint64_t handle)
      : TEntityObject(context, handle, {IID_IStandinLine, IID_IStandinEntity}) {}

  HRESULT STDMETHODCALLTYPE get_StartPoint(VARIANT* out) override {
    return guardedMember([&] { return pointVariant(entity().p1, out); });
  }
  HRESULT STDMETHODCALLTYPE put_StartPoint(VARIANT point) override {
    return guardedMember([&] {
      const standin::Point p = readPoint(point);
      standin::Entity& e = writable();
      e.p1 = p;
      e.modified = true;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_EndPoint(VARIANT* out) override {
    return guardedMember([&] { return pointVariant(entity().p2, out); });
  }
  HRESULT STDMETHODCALLTYPE put_EndPoint(VARIANT point) override {
    return guardedMember([&] {
      const standin::Point p = readPoint(point);
      standin::Entity& e = writable();
      e.p2 = p;
      e.modified = true;
      return S_OK;
    });
  }
};

class TPolylineObject : public TEntityObject<IStandinPolyline> {
 public:
  TPolylineObject(TServerContext& context, std::uint64_t handle)
      : TEntityObject(context, handle, {IID_IStandinPolyline, IID_IStandinEntity}) {}

  HRESULT STDMETHODCALLTYPE get_Coordinates(VARIANT* out) override {
    return guardedMember([&] {
      std::vector<double> xy;
      for (const auto& [x, y] : entity().vertices) {
        xy.push_back(x);
        xy.push_back(y);
      }
      return doubleArrayVariant(xy, out);
    });
  }
  HRESULT STDMETHODCALLTYPE get_Closed(VARIANT_BOOL* out) override {
    return guardedMember(
        [&] { return putValue<VARIANT_BOOL>(entity().closed ? VARIANT_TRUE : VARIANT_FALSE, out); });
  }
};

// What a TEXT and an MTEXT serve alike: the string as the CAD holds it (an
// MTEXT's with its format codes), the insertion point and the height.
template <class TInterface>
class TTextualObject : public TEntityObject<TInterface> {
 public:
  using TEntityObject<TInterface>::TEntityObject;

  HRESULT STDMETHODCALLTYPE get_TextString(BSTR* out) override {
    return guardedMember([&] { return putString(this->entity().text, out); });
  }
  HRESULT STDMETHODCALLTYPE put_TextString(BSTR text) override {
    return guardedMember([&] {
      standin::Entity& e = this->writable();
      e.text = TBstr::toString(text);
      e.modified = true;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_InsertionPoint(VARIANT* out) override {
    return guardedMember([&] { return pointVariant(this->entity().p1, out); });
  }
  HRESULT STDMETHODCALLTYPE put_InsertionPoint(VARIANT point) override {
    return guardedMember([&] {
      const standin::Point p = readPoint(point);
      if (!this->writable().placeInsertionPoint(p)) {
        throw TDispatchFault{L"この位置合わせの文字には挿入点を設定できません"};
      }
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_Height(double* out) override {
    return guardedMember([&] { return putValue(this->entity().height, out); });
  }
};

class TTextObject : public TTextualObject<IStandinText> {
 public:
  TTextObject(TServerContext& context, std::uint64_t handle)
      : TTextualObject(context, handle, {IID_IStandinText, IID_IStandinEntity}) {}

  HRESULT STDMETHODCALLTYPE get_Alignment(AcAlignment* out) override {
    return guardedMember([&] { return putValue(static_cast<AcAlignment>(entity().alignment()), out); });
  }
  HRESULT STDMETHODCALLTYPE put_Alignment(AcAlignment alignment) override {
    return guardedMember([&] {
      const int a = static_cast<int>(alignment);
      if (a < 0 || a > 14) {
        throw TDispatchFault{L"位置合わせの値が不正です"};
      }
      standin::Entity& e = writable();
      e.setAlignment(a);
      e.modified = true;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_TextAlignmentPoint(VARIANT* out) override {
    return guardedMember([&] { return pointVariant(entity().p2, out); });
  }
  HRESULT STDMETHODCALLTYPE put_TextAlignmentPoint(VARIANT point) override {
    return guardedMember([&] {
      const standin::Point p = readPoint(point);
      if (!writable().placeAlignmentPoint(p)) {
        throw TDispatchFault{L"左寄せの文字には位置合わせ点を設定できません"};
      }
      return S_OK;
    });
  }
};

class TMTextObject : public TTextualObject<IStandinMText> {
 public:
  TMTextObject(TServerContext& context, std::uint64_t handle)
      : TTextualObject(context, handle, {IID_IStandinMText, IID_IStandinEntity}) {}

  HRESULT STDMETHODCALLTYPE put_Height(double height) override {
    return guardedMember([&] {
      if (!(height > 0)) {
        throw TDispatchFault{L"文字の高さが不正です"};
      }
      standin::Entity& e = writable();
      e.height = height;
      e.modified = true;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_AttachmentPoint(AcAttachmentPoint* out) override {
    return guardedMember([&] { return putValue(static_cast<AcAttachmentPoint>(entity().attachment()), out); });
  }
  HRESULT STDMETHODCALLTYPE put_AttachmentPoint(AcAttachmentPoint attachment) override {
    return guardedMember([&] {
      const int a = static_cast<int>(attachment);
      if (a < 1 || a > 9) {
        throw TDispatchFault{L"基点の値が不正です"};
      }
      standin::Entity& e = writable();
      e.setAttachment(a);
      e.modified = true;
      return S_OK;
    });
  }
  // The reference column width; 0 where the text runs without one.
  HRESULT STDMETHODCALLTYPE get_Width(double* out) override {
    return guardedMember([&] { return putValue(entity().widthFactor, out); });
  }
  HRESULT STDMETHODCALLTYPE put_Width(double width) override {
    return guardedMember([&] {
      if (!(width >= 0)) {
        throw TDispatchFault{L"幅の値が不正です"};
      }
      standin::Entity& e = writable();
      e.widthFactor = width;
      e.modified = true;
      return S_OK;
    });
  }
};

// ---- selection sets -------------------------------------------------------

class TSelectionSetObject : public TAutomationObject<IStandinSelectionSet> {
 public:
  TSelectionSetObject(TServerContext& context, std::shared_ptr<TSelectionSetData> data)
      : TAutomationObject(context, {IID_IStandinSelectionSet}), FData(std::move(data)) {}

  HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override {
    return guardedMember([&] { return putString(live().name, out); });
  }
  HRESULT STDMETHODCALLTYPE get_Count(long* out) override {
    return guardedMember([&] { return putValue(static_cast<long>(live().handles.size()), out); });
  }
  HRESULT STDMETHODCALLTYPE Item(VARIANT index, IDispatch** out) override {
    return guardedMember([&] {
      const TIndex i = readIndex(index);
      TSelectionSetData& d = live();
      if (i.byName || i.number < 0 || static_cast<std::size_t>(i.number) >= d.handles.size()) {
        throw TDispatchFault{L"インデックスが範囲外です"};
      }
      const std::uint64_t handle = d.handles[static_cast<std::size_t>(i.number)];
      context().requireEntity(handle);
      return newEntityObject(context(), handle, out);
    });
  }
  HRESULT STDMETHODCALLTYPE Clear() override {
    return guardedMember([&] {
      live().handles.clear();
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE Delete() override {
    return guardedMember([&] {
      live();
      auto& sets = context().requireDocument().selectionSets;
      sets.erase(std::remove(sets.begin(), sets.end(), FData), sets.end());
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE SelectOnScreen(VARIANT types, VARIANT data) override {
    return guardedMember([&] {
      const TSelectionFilter filter = readFilter(types, data);
      live();
      if (context().host == nullptr) {
        throw TDispatchFault{L"画面がありません"};
      }
      std::vector<std::uint64_t> picked;
      if (!context().host->selectOnScreen(filter, picked)) {
        throw TDispatchFault{L"Selection cancelled"};
      }
      // Calls served during the selection may have deleted the set or erased
      // some of what was picked.
      TSelectionSetData& d = live();
      const standin::Drawing& drawing = context().requireDocument().drawing;
      for (const std::uint64_t h : picked) {
        if (drawing.byHandle(h) != nullptr && std::find(d.handles.begin(), d.handles.end(), h) == d.handles.end()) {
          d.handles.push_back(h);
        }
      }
      return S_OK;
    });
  }

 private:
  // The set as long as it is still in its document's collection.
  TSelectionSetData& live() const {
    TDocumentState& doc = context().requireDocument();
    if (std::find(doc.selectionSets.begin(), doc.selectionSets.end(), FData) == doc.selectionSets.end()) {
      throw TDispatchFault{L"選択セットは削除されています"};
    }
    return *FData;
  }

  std::shared_ptr<TSelectionSetData> FData;
};

class TSelectionSetsObject : public TAutomationObject<IStandinSelectionSets> {
 public:
  explicit TSelectionSetsObject(TServerContext& context)
      : TAutomationObject(context, {IID_IStandinSelectionSets}) {}

  HRESULT STDMETHODCALLTYPE get_Count(long* out) override {
    return guardedMember(
        [&] { return putValue(static_cast<long>(context().requireDocument().selectionSets.size()), out); });
  }
  HRESULT STDMETHODCALLTYPE Item(VARIANT index, IDispatch** out) override {
    return guardedMember([&] {
      const TIndex i = readIndex(index);
      auto& sets = context().requireDocument().selectionSets;
      std::shared_ptr<TSelectionSetData> found;
      if (i.byName) {
        for (const auto& s : sets) {
          if (upper(s->name) == upper(i.name)) {
            found = s;
            break;
          }
        }
      } else if (i.number >= 0 && static_cast<std::size_t>(i.number) < sets.size()) {
        found = sets[static_cast<std::size_t>(i.number)];
      }
      if (!found) {
        throw TDispatchFault{L"選択セットが見つかりません"};
      }
      return createObject<TSelectionSetObject>(out, context(), found);
    });
  }
  HRESULT STDMETHODCALLTYPE Add(BSTR name, IDispatch** out) override {
    return guardedMember([&] {
      const std::wstring n = TBstr::toString(name);
      if (trimmed(n).empty()) {
        throw TDispatchFault{L"選択セットの名前が空です"};
      }
      auto& sets = context().requireDocument().selectionSets;
      for (const auto& s : sets) {
        if (upper(s->name) == upper(n)) {
          throw TDispatchFault{L"同じ名前の選択セットが既にあります"};
        }
      }
      auto data = std::make_shared<TSelectionSetData>();
      data->name = n;
      sets.push_back(data);
      return createObject<TSelectionSetObject>(out, context(), data);
    });
  }
};

// ---- document and application ---------------------------------------------

class TDocumentObject : public TAutomationObject<IStandinDocument> {
 public:
  explicit TDocumentObject(TServerContext& context) : TAutomationObject(context, {IID_IStandinDocument}) {}

  HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override {
    return guardedMember([&] { return putString(context().requireDocument().drawing.name(), out); });
  }
  // The file with its full path, as the CAD reports it; empty for a drawing
  // never saved.
  HRESULT STDMETHODCALLTYPE get_FullName(BSTR* out) override {
    return guardedMember([&] {
      const std::wstring& path = context().requireDocument().path;
      std::wstring full;
      if (!path.empty()) {
        full.resize(MAX_PATH * 4);
        const DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        full.resize(n > 0 && n < full.size() ? n : 0);
        if (full.empty()) full = path;
      }
      return putString(full, out);
    });
  }
  HRESULT STDMETHODCALLTYPE get_SelectionSets(IDispatch** out) override {
    return guardedMember([&] {
      context().requireDocument();
      return createObject<TSelectionSetsObject>(out, context());
    });
  }
  HRESULT STDMETHODCALLTYPE HandleToObject(BSTR handle, IDispatch** out) override {
    return guardedMember([&] {
      std::uint64_t h = 0;
      if (!parseHandle(TBstr::toString(handle), h) || context().requireDocument().drawing.byHandle(h) == nullptr) {
        throw TDispatchFault{L"無効なハンドルです"};
      }
      return newEntityObject(context(), h, out);
    });
  }
  HRESULT STDMETHODCALLTYPE GetVariable(BSTR name, VARIANT* out) override {
    return guardedMember([&] {
      if (out == nullptr) {
        return E_POINTER;
      }
      const std::wstring n = upper(trimmed(TBstr::toString(name)));
      TDocumentState& doc = context().requireDocument();
      if (n == L"VIEWSIZE") {
        if (context().host == nullptr) {
          throw TDispatchFault{L"画面がありません"};
        }
        VariantInit(out);
        out->vt = VT_R8;
        out->dblVal = context().host->viewSize();
        return S_OK;
      }
      if (n == L"DWGNAME") {
        VariantInit(out);
        out->vt = VT_BSTR;
        return putString(doc.drawing.name(), &out->bstrVal);
      }
      throw TDispatchFault{L"システム変数が見つかりません: " + n};
    });
  }
  HRESULT STDMETHODCALLTYPE get_HWND(LONGLONG* out) override {
    return guardedMember([&] {
      context().requireDocument();
      const HWND w = context().host == nullptr ? nullptr : context().host->documentWindow();
      return putValue(static_cast<LONGLONG>(reinterpret_cast<LONG_PTR>(w)), out);
    });
  }
  HRESULT STDMETHODCALLTYPE Regen(AcRegenType which) override {
    return guardedMember([&] {
      if (which != acActiveViewport && which != acAllViewports) {
        throw TDispatchFault{L"再作図の対象が不正です"};
      }
      context().requireDocument();
      changed(context());
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE StartUndoMark() override {
    return guardedMember([&] {
      TDocumentState& doc = context().requireDocument();
      doc.undo.startMark(doc.drawing);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE EndUndoMark() override {
    return guardedMember([&] {
      context().requireDocument().undo.endMark();
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE SendCommand(BSTR command) override {
    return guardedMember([&] {
      context().requireDocument();
      const std::wstring c = TBstr::toString(command);
      if (upper(trimmed(c)) == L"REGEN") {
        changed(context());
      }
      if (context().host != nullptr) {
        context().host->showMessage(L"コマンド: " + trimmed(c));
      }
      return S_OK;
    });
  }
};

class TDocumentsObject : public TAutomationObject<IStandinDocuments> {
 public:
  explicit TDocumentsObject(TServerContext& context) : TAutomationObject(context, {IID_IStandinDocuments}) {}

  HRESULT STDMETHODCALLTYPE get_Count(long* out) override {
    return guardedMember([&] { return putValue(context().document ? 1L : 0L, out); });
  }
  HRESULT STDMETHODCALLTYPE Item(VARIANT index, IDispatch** out) override {
    return guardedMember([&] {
      const TIndex i = readIndex(index);
      const bool found = context().document &&
                         (i.byName ? upper(i.name) == upper(context().document->drawing.name()) : i.number == 0);
      if (!found) {
        throw TDispatchFault{L"図面が見つかりません"};
      }
      return createObject<TDocumentObject>(out, context());
    });
  }
  // As the user's ファイル → 開く: the drawing takes the place of the open one,
  // whose objects then answer for the new one.
  HRESULT STDMETHODCALLTYPE Open(BSTR name, IDispatch** out) override {
    return guardedMember([&] {
      std::wstring error;
      if (!loadDocument(context(), TBstr::toString(name), &error)) {
        throw TDispatchFault{L"図面を開けません: " + error};
      }
      if (context().host != nullptr) {
        context().host->documentReplaced();
      }
      return createObject<TDocumentObject>(out, context());
    });
  }
};

class TApplicationObject : public TAutomationObject<IStandinApplication> {
 public:
  explicit TApplicationObject(TServerContext& context)
      : TAutomationObject(context, {IID_IStandinApplication}) {}

  HRESULT STDMETHODCALLTYPE get_HWND(LONGLONG* out) override {
    return guardedMember([&] {
      const HWND w = context().host == nullptr ? nullptr : context().host->mainWindow();
      return putValue(static_cast<LONGLONG>(reinterpret_cast<LONG_PTR>(w)), out);
    });
  }
  HRESULT STDMETHODCALLTYPE get_Documents(IDispatch** out) override {
    return guardedMember([&] { return createObject<TDocumentsObject>(out, context()); });
  }
  HRESULT STDMETHODCALLTYPE get_ActiveDocument(IDispatch** out) override {
    return guardedMember([&] {
      if (!context().document) {
        throw TDispatchFault{L"アクティブな図面がありません"};
      }
      return createObject<TDocumentObject>(out, context());
    });
  }
  HRESULT STDMETHODCALLTYPE ZoomWindow(VARIANT lowerLeft, VARIANT upperRight) override {
    return guardedMember([&] {
      const standin::Point a = readPoint(lowerLeft);
      const standin::Point b = readPoint(upperRight);
      if (context().host == nullptr) {
        throw TDispatchFault{L"画面がありません"};
      }
      context().host->zoomWindow(a.x, a.y, b.x, b.y);
      // The window itself, for tests that check where a client looked.
      context().callLog.line(L"zoom " + std::to_wstring(a.x) + L" " + std::to_wstring(a.y) + L" " +
                             std::to_wstring(b.x) + L" " + std::to_wstring(b.y));
      return S_OK;
    });
  }
};

class TApplicationFactory : public IClassFactory {
 public:
  explicit TApplicationFactory(IDispatch* application) : FApplication(TComPtr<IDispatch>::share(application)) {}
  virtual ~TApplicationFactory() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (out == nullptr) {
      return E_POINTER;
    }
    *out = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --FRefs;
    if (left == 0) {
      delete this;
    }
    return left;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (out == nullptr) {
      return E_POINTER;
    }
    *out = nullptr;
    if (outer != nullptr) {
      return CLASS_E_NOAGGREGATION;
    }
    return FApplication->QueryInterface(riid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  TComPtr<IDispatch> FApplication;
  ULONG FRefs = 1;
};

}  // namespace

IDispatch* newApplicationObject(TServerContext& context) {
  return new TApplicationObject(context);
}

HRESULT newEntityObject(TServerContext& context, std::uint64_t handle, IDispatch** out) {
  const standin::Entity& e = context.requireEntity(handle);
  if (e.type == "LINE") {
    return createObject<TLineObject>(out, context, handle);
  }
  if (e.type == "LWPOLYLINE") {
    return createObject<TPolylineObject>(out, context, handle);
  }
  if (e.type == "TEXT") {
    return createObject<TTextObject>(out, context, handle);
  }
  if (e.type == "MTEXT") {
    return createObject<TMTextObject>(out, context, handle);
  }
  return createObject<TPlainEntityObject>(out, context, handle);
}

IClassFactory* newApplicationFactory(IDispatch* application) {
  return new TApplicationFactory(application);
}

std::vector<IID> servedInterfaces() {
  return {IID_IUnknown,           IID_IDispatch,           IID_ISupportErrorInfo,  IID_IClassFactory,
          IID_IStandinApplication, IID_IStandinDocuments,  IID_IStandinDocument,   IID_IStandinSelectionSets,
          IID_IStandinSelectionSet, IID_IStandinEntity,    IID_IStandinLine,       IID_IStandinPolyline,
          IID_IStandinText,        IID_IStandinMText};
}

std::vector<TComPtr<IDispatch>> newKindSpecimens(TServerContext& context) {
  // Handle 0 names no entity and the set's data is in no document.
  std::vector<TComPtr<IDispatch>> specimens;
  specimens.push_back(TComPtr<IDispatch>::attach(new TDocumentsObject(context)));
  specimens.push_back(TComPtr<IDispatch>::attach(new TDocumentObject(context)));
  specimens.push_back(TComPtr<IDispatch>::attach(new TSelectionSetsObject(context)));
  specimens.push_back(
      TComPtr<IDispatch>::attach(new TSelectionSetObject(context, std::make_shared<TSelectionSetData>())));
  specimens.push_back(TComPtr<IDispatch>::attach(new TPlainEntityObject(context, 0)));
  specimens.push_back(TComPtr<IDispatch>::attach(new TLineObject(context, 0)));
  specimens.push_back(TComPtr<IDispatch>::attach(new TPolylineObject(context, 0)));
  specimens.push_back(TComPtr<IDispatch>::attach(new TTextObject(context, 0)));
  specimens.push_back(TComPtr<IDispatch>::attach(new TMTextObject(context, 0)));
  return specimens;
}
