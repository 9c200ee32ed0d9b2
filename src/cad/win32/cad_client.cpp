#include "cad/win32/cad_client.h"

#include <objbase.h>

#include "cad/win32/cad_ids.h"
#include "cad/win32/variant_decode.h"
#include "platform/errors.h"
#include "platform/win32/system_message.h"

namespace {

// One automation object held through one of its interfaces.
class TComObject {
 public:
  TComObject(TComPtr<IDispatch> object, TDispIdCachePtr cache, TDispatchKind kind) noexcept
      : FObject(std::move(object)), FView(std::move(cache), FObject.get(), std::move(kind)) {}
  TComObject(TComPtr<IDispatch> object, TDispIdCachePtr cache, const GUID& iid)
      : TComObject(std::move(object), std::move(cache), TDispatchKind::ofInterface(iid)) {}
  TComObject(TComPtr<IDispatch> object, TDispIdCachePtr cache, const wchar_t* kindName)
      : TComObject(std::move(object), std::move(cache), TDispatchKind::named(kindName)) {}

 protected:
  const TDispatchObject& view() const noexcept { return FView; }
  const TDispIdCachePtr& cache() const noexcept { return FView.cache(); }
  IDispatch* object() const noexcept { return FObject.get(); }

 private:
  TComPtr<IDispatch> FObject;
  TDispatchObject FView;  // borrows FObject, declared after it
};

// The object seen through another of its interfaces; a failed query is an error.
TComPtr<IDispatch> queryKind(IDispatch* object, const GUID& iid, const wchar_t* kind) {
  TComPtr<IDispatch> out;
  const HRESULT hr = object->QueryInterface(iid, out.receiveVoid());
  if (FAILED(hr) || !out) {
    throw TCadError(std::wstring(L"図形は ") + kind + L" ではありません: " + systemMessage(static_cast<DWORD>(hr)),
                    callUnanswered(hr));
  }
  return out;
}

class TComLine : public TCadLine, TComObject {
 public:
  using TComObject::TComObject;
  TPoint3 StartPoint() override { return variantPoint(view().get(L"StartPoint").get(), L"StartPoint"); }
  TPoint3 EndPoint() override { return variantPoint(view().get(L"EndPoint").get(), L"EndPoint"); }
};

class TComPolyline : public TCadPolyline, TComObject {
 public:
  using TComObject::TComObject;
  std::vector<double> Coordinates() override {
    return variantVertices(view().get(L"Coordinates").get(), L"Coordinates");
  }
  bool Closed() override { return variantBool(view().get(L"Closed").get(), L"Closed"); }
};

class TComText : public TCadText, TComObject {
 public:
  using TComObject::TComObject;
  std::wstring Handle() override { return variantString(view().get(L"Handle").get(), L"Handle"); }
  std::wstring TextString() override { return variantString(view().get(L"TextString").get(), L"TextString"); }
  void setTextString(const std::wstring& text) override { view().put(L"TextString", TVariant::fromString(text)); }
  std::int32_t Alignment() override { return variantInt32(view().get(L"Alignment").get(), L"Alignment"); }
  TPoint3 InsertionPoint() override {
    return variantPoint(view().get(L"InsertionPoint").get(), L"InsertionPoint");
  }
  void setInsertionPoint(const TPoint3& p) override { view().put(L"InsertionPoint", pointVariant(p)); }
  TPoint3 TextAlignmentPoint() override {
    return variantPoint(view().get(L"TextAlignmentPoint").get(), L"TextAlignmentPoint");
  }
  void setTextAlignmentPoint(const TPoint3& p) override { view().put(L"TextAlignmentPoint", pointVariant(p)); }
  std::int32_t ObjectID() override { return variantLow32(view().get(L"ObjectID").get(), L"ObjectID"); }
  std::unique_ptr<TCadEntity> Copy() override {
    return makeCadEntity(variantDispatch(view().method(L"Copy"), L"Copy"), cache());
  }
  void Erase() override { view().method(L"Erase"); }
  void Update() override { view().method(L"Update"); }
};

// Keeps the IDispatch that Item handed out: the type name is read through it
// (entity members answer through every kind's interface), and the kind's
// interface is queried only once the caller knows which kind it wants. The
// entity itself is never queried, so its DISPIDs are cached under a name.
class TComEntity : public TCadEntity, TComObject {
 public:
  TComEntity(TComPtr<IDispatch> object, TDispIdCachePtr cache)
      : TComObject(std::move(object), std::move(cache), kCadEntityKind) {}
  std::wstring ObjectName() override { return variantString(view().get(L"ObjectName").get(), L"ObjectName"); }
  std::unique_ptr<TCadLine> asLine() override {
    return std::make_unique<TComLine>(queryKind(object(), kCadLineIid, L"線分"), cache(), kCadLineIid);
  }
  std::unique_ptr<TCadPolyline> asPolyline() override {
    return std::make_unique<TComPolyline>(queryKind(object(), kCadPolylineIid, L"ポリライン"), cache(),
                                          kCadPolylineIid);
  }
  std::unique_ptr<TCadText> asText() override {
    return std::make_unique<TComText>(queryKind(object(), kCadTextIid, L"文字"), cache(), kCadTextIid);
  }
  void Erase() override { view().method(L"Erase"); }
};

class TComSelectionSet : public TCadSelectionSet, TComObject {
 public:
  TComSelectionSet(TComPtr<IDispatch> object, TDispIdCachePtr cache)
      : TComObject(std::move(object), std::move(cache), kCadSelectionSetKind) {}
  std::wstring Name() override { return variantString(view().get(L"Name").get(), L"Name"); }
  std::int32_t Count() override { return variantCount(view().get(L"Count").get(), L"Count"); }
  std::unique_ptr<TCadEntity> Item(std::int32_t index) override {
    return makeCadEntity(variantDispatch(view().method(L"Item", TVariant::fromInt32(index)), L"Item"), cache());
  }
  void Clear() override { view().method(L"Clear"); }
  void Delete() override { view().method(L"Delete"); }
  void SelectOnScreen(const std::vector<std::int16_t>& filterCodes,
                      const std::vector<std::wstring>& filterValues) override {
    if (filterCodes.size() != filterValues.size()) {
      throw TCadError(L"SelectOnScreen: フィルタの数が一致しません");
    }
    // Fresh arrays for every call: an array handed to the server is not reused.
    view().method(L"SelectOnScreen", shortArrayVariant(filterCodes), stringArrayVariant(filterValues));
  }
};

class TComSelectionSets : public TCadSelectionSets, TComObject {
 public:
  TComSelectionSets(TComPtr<IDispatch> object, TDispIdCachePtr cache)
      : TComObject(std::move(object), std::move(cache), kCadSelectionSetsKind) {}
  std::int32_t Count() override { return variantCount(view().get(L"Count").get(), L"Count"); }
  std::unique_ptr<TCadSelectionSet> Item(std::int32_t index) override {
    return std::make_unique<TComSelectionSet>(
        variantDispatch(view().method(L"Item", TVariant::fromInt32(index)), L"Item"), cache());
  }
  std::unique_ptr<TCadSelectionSet> Add(const std::wstring& name) override {
    return std::make_unique<TComSelectionSet>(
        variantDispatch(view().method(L"Add", TVariant::fromString(name)), L"Add"), cache());
  }
};

class TComDocument : public TCadDocument, TComObject {
 public:
  TComDocument(TComPtr<IDispatch> object, TDispIdCachePtr cache)
      : TComObject(std::move(object), std::move(cache), kCadDocumentKind) {}
  std::wstring Name() override { return variantString(view().get(L"Name").get(), L"Name"); }
  std::wstring FullName() override { return variantString(view().get(L"FullName").get(), L"FullName"); }
  std::unique_ptr<TCadSelectionSets> SelectionSets() override {
    return std::make_unique<TComSelectionSets>(variantDispatch(view().get(L"SelectionSets"), L"SelectionSets"),
                                               cache());
  }
  std::unique_ptr<TCadEntity> HandleToObject(const std::wstring& handle) override {
    return makeCadEntity(
        variantDispatch(view().method(L"HandleToObject", TVariant::fromString(handle)), L"HandleToObject"), cache());
  }
  double GetVariable(const std::wstring& name) override {
    return variantDouble(view().method(L"GetVariable", TVariant::fromString(name)).get(), L"GetVariable");
  }
  std::int32_t windowHandle() override { return variantLow32(view().get(L"HWND").get(), L"HWND"); }
  void Regen(std::int32_t which) override { view().method(L"Regen", TVariant::fromInt32(which)); }
  void SendCommand(const std::wstring& command) override {
    view().method(L"SendCommand", TVariant::fromString(command));
  }
  void StartUndoMark() override { view().method(L"StartUndoMark"); }
  void EndUndoMark() override { view().method(L"EndUndoMark"); }
};

class TComApplication : public TCadApplication, TComObject {
 public:
  TComApplication(TComPtr<IDispatch> object, TDispIdCachePtr cache)
      : TComObject(std::move(object), std::move(cache), kCadApplicationIid) {}
  std::int32_t windowHandle() override { return variantLow32(view().get(L"HWND").get(), L"HWND"); }
  std::int32_t DocumentsCount() override {
    const TComPtr<IDispatch> documents = variantDispatch(view().get(L"Documents"), L"Documents");
    const TDispatchObject collection(cache(), documents.get(), TDispatchKind::named(kCadDocumentsKind));
    return variantCount(collection.get(L"Count").get(), L"Count");
  }
  std::unique_ptr<TCadDocument> ActiveDocument() override {
    return std::make_unique<TComDocument>(variantDispatch(view().get(L"ActiveDocument"), L"ActiveDocument"),
                                          cache());
  }
  void ZoomWindow(const TPoint3& lowerLeft, const TPoint3& upperRight) override {
    view().method(L"ZoomWindow", pointVariant(lowerLeft), pointVariant(upperRight));
  }
};

}  // namespace

std::unique_ptr<TCadApplication> makeCadApplication(TComPtr<IDispatch> application, TDispIdCachePtr cache) {
  if (!application) {
    throw TCadError(L"CAD のアプリケーションがありません");
  }
  return std::make_unique<TComApplication>(std::move(application), std::move(cache));
}

std::unique_ptr<TCadEntity> makeCadEntity(TComPtr<IDispatch> entity, TDispIdCachePtr cache) {
  if (!entity) {
    throw TCadError(L"CAD の図形がありません");
  }
  return std::make_unique<TComEntity>(std::move(entity), std::move(cache));
}

std::unique_ptr<TCadApplication> TComCadConnector::createApplication() {
  TComPtr<IUnknown> unknown;
  HRESULT hr = CoCreateInstance(kCadApplicationClsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IUnknown, unknown.receiveVoid());
  if (FAILED(hr) || !unknown) {
    throw TCadError(L"CAD に接続できません: " + systemMessage(static_cast<DWORD>(hr)));
  }
  TComPtr<IDispatch> application;
  hr = unknown->QueryInterface(kCadApplicationIid, application.receiveVoid());
  if (FAILED(hr) || !application) {
    throw TCadError(L"CAD に接続できません: " + systemMessage(static_cast<DWORD>(hr)));
  }
  return makeCadApplication(std::move(application), FCache);
}
