#include "cad/win32/cad_client.h"

#include <objbase.h>

#include "cad/win32/cad_ids.h"
#include "platform/errors.h"
#include "platform/win32/com_object.h"
#include "platform/win32/system_message.h"

namespace {

// The object seen through another of its interfaces; a failed query is an error.
TComPtr<IDispatch> queryKind(IDispatch* object, const GUID& iid, const wchar_t* kind) {
  TComPtr<IDispatch> out;
  const HRESULT hr = object->QueryInterface(iid, out.receiveVoid());
  if (FAILED(hr) || !out) {
    throw TAutomationError(
        std::wstring(L"図形は ") + kind + L" ではありません: " + systemMessage(static_cast<DWORD>(hr)),
        callUnanswered(hr));
  }
  return out;
}

class TComLine : public TCadLine, TComObject {
 public:
  using TComObject::TComObject;
  TPoint3 StartPoint() override { return getPoint(L"StartPoint"); }
  TPoint3 EndPoint() override { return getPoint(L"EndPoint"); }
};

class TComPolyline : public TCadPolyline, TComObject {
 public:
  using TComObject::TComObject;
  std::vector<double> Coordinates() override { return getVertices(L"Coordinates"); }
  bool Closed() override { return getBool(L"Closed"); }
};

class TComText : public TCadText, TComObject {
 public:
  using TComObject::TComObject;
  std::wstring Handle() override { return getString(L"Handle"); }
  std::wstring TextString() override { return getString(L"TextString"); }
  void setTextString(const std::wstring& text) override { put(L"TextString", TVariant::fromString(text)); }
  std::int32_t Alignment() override { return getInt32(L"Alignment"); }
  TPoint3 InsertionPoint() override { return getPoint(L"InsertionPoint"); }
  void setInsertionPoint(const TPoint3& p) override { put(L"InsertionPoint", pointVariant(p)); }
  TPoint3 TextAlignmentPoint() override { return getPoint(L"TextAlignmentPoint"); }
  void setTextAlignmentPoint(const TPoint3& p) override { put(L"TextAlignmentPoint", pointVariant(p)); }
  std::int32_t ObjectID() override { return getLow32(L"ObjectID"); }
  std::unique_ptr<TCadEntity> Copy() override { return makeCadEntity(callObject(L"Copy"), cache()); }
  void Erase() override { call(L"Erase"); }
  void Update() override { call(L"Update"); }
};

// Keeps the IDispatch that Item handed out: the type name is read through it
// (entity members answer through every kind's interface), and the kind's
// interface is queried only once the caller knows which kind it wants. The
// entity itself is never queried, so its DISPIDs are cached under a name.
class TComEntity : public TCadEntity, TComObject {
 public:
  TComEntity(TComPtr<IDispatch> object, TDispIdCachePtr cache)
      : TComObject(std::move(object), std::move(cache), kCadEntityKind) {}
  std::wstring ObjectName() override { return getString(L"ObjectName"); }
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
  std::unique_ptr<TCadText> asMText() override {
    return std::make_unique<TComText>(TComPtr<IDispatch>::share(object()), cache(), kCadMTextKind);
  }
  void Erase() override { call(L"Erase"); }
};

class TComSelectionSet : public TCadSelectionSet, TComObject {
 public:
  TComSelectionSet(TComPtr<IDispatch> object, TDispIdCachePtr cache)
      : TComObject(std::move(object), std::move(cache), kCadSelectionSetKind) {}
  std::wstring Name() override { return getString(L"Name"); }
  std::int32_t Count() override { return getCount(L"Count"); }
  std::unique_ptr<TCadEntity> Item(std::int32_t index) override {
    return makeCadEntity(callObject(L"Item", TVariant::fromInt32(index)), cache());
  }
  void Clear() override { call(L"Clear"); }
  void Delete() override { call(L"Delete"); }
  void SelectOnScreen(const std::vector<std::int16_t>& filterCodes,
                      const std::vector<std::wstring>& filterValues) override {
    if (filterCodes.size() != filterValues.size()) {
      throw TAutomationError(L"SelectOnScreen: フィルタの数が一致しません");
    }
    // Fresh arrays for every call: an array handed to the server is not reused.
    call(L"SelectOnScreen", shortArrayVariant(filterCodes), stringArrayVariant(filterValues));
  }
};

class TComSelectionSets : public TCadSelectionSets, TComObject {
 public:
  TComSelectionSets(TComPtr<IDispatch> object, TDispIdCachePtr cache)
      : TComObject(std::move(object), std::move(cache), kCadSelectionSetsKind) {}
  std::int32_t Count() override { return getCount(L"Count"); }
  std::unique_ptr<TCadSelectionSet> Item(std::int32_t index) override {
    return std::make_unique<TComSelectionSet>(callObject(L"Item", TVariant::fromInt32(index)), cache());
  }
  std::unique_ptr<TCadSelectionSet> Add(const std::wstring& name) override {
    return std::make_unique<TComSelectionSet>(callObject(L"Add", TVariant::fromString(name)), cache());
  }
};

class TComDocument : public TCadDocument, TComObject {
 public:
  TComDocument(TComPtr<IDispatch> object, TDispIdCachePtr cache)
      : TComObject(std::move(object), std::move(cache), kCadDocumentKind) {}
  std::wstring Name() override { return getString(L"Name"); }
  std::wstring FullName() override { return getString(L"FullName"); }
  std::unique_ptr<TCadSelectionSets> SelectionSets() override {
    return std::make_unique<TComSelectionSets>(getObject(L"SelectionSets"), cache());
  }
  std::unique_ptr<TCadEntity> HandleToObject(const std::wstring& handle) override {
    return makeCadEntity(callObject(L"HandleToObject", TVariant::fromString(handle)), cache());
  }
  double GetVariable(const std::wstring& name) override {
    return callDouble(L"GetVariable", TVariant::fromString(name));
  }
  std::int32_t windowHandle() override { return getLow32(L"HWND"); }
  void Regen(std::int32_t which) override { call(L"Regen", TVariant::fromInt32(which)); }
  void SendCommand(const std::wstring& command) override { call(L"SendCommand", TVariant::fromString(command)); }
  void StartUndoMark() override { call(L"StartUndoMark"); }
  void EndUndoMark() override { call(L"EndUndoMark"); }
};

class TComApplication : public TCadApplication, TComObject {
 public:
  TComApplication(TComPtr<IDispatch> object, TDispIdCachePtr cache)
      : TComObject(std::move(object), std::move(cache), kCadApplicationIid) {}
  std::int32_t windowHandle() override { return getLow32(L"HWND"); }
  std::int32_t DocumentsCount() override {
    return TComObject(getObject(L"Documents"), cache(), kCadDocumentsKind).getCount(L"Count");
  }
  std::unique_ptr<TCadDocument> ActiveDocument() override {
    return std::make_unique<TComDocument>(getObject(L"ActiveDocument"), cache());
  }
  void ZoomWindow(const TPoint3& lowerLeft, const TPoint3& upperRight) override {
    call(L"ZoomWindow", pointVariant(lowerLeft), pointVariant(upperRight));
  }
};

}  // namespace

std::unique_ptr<TCadApplication> makeCadApplication(TComPtr<IDispatch> application, TDispIdCachePtr cache) {
  if (!application) {
    throw TAutomationError(L"CAD のアプリケーションがありません");
  }
  return std::make_unique<TComApplication>(std::move(application), std::move(cache));
}

std::unique_ptr<TCadEntity> makeCadEntity(TComPtr<IDispatch> entity, TDispIdCachePtr cache) {
  if (!entity) {
    throw TAutomationError(L"CAD の図形がありません");
  }
  return std::make_unique<TComEntity>(std::move(entity), std::move(cache));
}

std::unique_ptr<TCadApplication> TComCadConnector::createApplication() {
  TComPtr<IUnknown> unknown;
  HRESULT hr = CoCreateInstance(kCadApplicationClsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IUnknown, unknown.receiveVoid());
  if (FAILED(hr) || !unknown) {
    throw TAutomationError(L"CAD に接続できません: " + systemMessage(static_cast<DWORD>(hr)));
  }
  TComPtr<IDispatch> application;
  hr = unknown->QueryInterface(kCadApplicationIid, application.receiveVoid());
  if (FAILED(hr) || !application) {
    throw TAutomationError(L"CAD に接続できません: " + systemMessage(static_cast<DWORD>(hr)));
  }
  return makeCadApplication(std::move(application), FCache);
}
