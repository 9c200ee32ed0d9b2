#include "server_context.h"

#include <cstdio>

#include "platform/utf8.h"

ITypeInfo* TServerContext::typeInfo(REFIID iid) {
  wchar_t key[64] = {};
  StringFromGUID2(iid, key, 64);
  auto it = FTypeInfos.find(key);
  if (it != FTypeInfos.end()) {
    return it->second.get();
  }
  TComPtr<ITypeInfo> info;
  if (!typeLib || FAILED(typeLib->GetTypeInfoOfGuid(iid, info.receive()))) {
    return nullptr;
  }
  // A dual interface is listed as its dispinterface; DispInvoke needs the
  // vtable half, which the dispinterface refers to as implemented type -1.
  TYPEATTR* attr = nullptr;
  if (SUCCEEDED(info->GetTypeAttr(&attr))) {
    const bool dispatchKind = attr->typekind == TKIND_DISPATCH;
    info->ReleaseTypeAttr(attr);
    HREFTYPE ref = 0;
    TComPtr<ITypeInfo> vtablePart;
    if (dispatchKind && SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)) &&
        SUCCEEDED(info->GetRefTypeInfo(ref, vtablePart.receive()))) {
      info = std::move(vtablePart);
    }
  }
  ITypeInfo* raw = info.get();
  FTypeInfos.emplace(key, std::move(info));
  return raw;
}

TDocumentState& TServerContext::requireDocument() {
  if (!document) {
    throw TDispatchFault{L"開いている図面がありません"};
  }
  return *document;
}

standin::Entity& TServerContext::requireEntity(std::uint64_t handle) {
  standin::Entity* e = requireDocument().drawing.byHandle(handle);
  if (e == nullptr) {
    throw TDispatchFault{L"オブジェクトは削除されています"};
  }
  return *e;
}

std::wstring hexHandle(std::uint64_t handle) {
  wchar_t buf[32] = {};
  std::swprintf(buf, 32, L"%llX", static_cast<unsigned long long>(handle));
  return buf;
}

std::string wideToAcp(const std::wstring& text) {
  if (text.empty()) {
    return std::string();
  }
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

bool loadDocument(TServerContext& context, const std::wstring& path, std::wstring* error) {
  standin::Drawing drawing;
  std::string message;
  if (!drawing.load(wideToAcp(path), &message)) {
    if (error != nullptr) {
      *error = fromUtf8(message);
    }
    return false;
  }
  if (!context.document) {
    context.document = std::make_unique<TDocumentState>();
  }
  context.document->drawing = std::move(drawing);
  context.document->path = path;
  context.document->undo = standin::UndoHistory();  // what it held undid another drawing
  for (const auto& set : context.document->selectionSets) {
    set->handles.clear();
  }
  return true;
}

bool saveDocument(const TServerContext& context, const std::wstring& path, std::wstring* error) {
  if (!context.document) {
    if (error != nullptr) {
      *error = L"no document";
    }
    return false;
  }
  std::string message;
  if (!context.document->drawing.save(wideToAcp(path), &message)) {
    if (error != nullptr) {
      *error = fromUtf8(message);
    }
    return false;
  }
  return true;
}
