#include "stub_keeper.h"

#include <objbase.h>

HRESULT TStubKeeper::keep(IUnknown* object, const std::vector<IID>& iids) {
  if (object == nullptr) {
    return E_POINTER;
  }
  TKept kept;
  object->AddRef();
  kept.object = TComPtr<IUnknown>::attach(object);
  HRESULT result = S_OK;
  for (const IID& iid : iids) {
    TComPtr<IUnknown> answered;
    if (covers(iid) || FAILED(object->QueryInterface(iid, answered.receiveVoid()))) {
      continue;
    }
    TComPtr<IStream> stream;
    HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.receive());
    if (SUCCEEDED(hr)) {
      hr = CoMarshalInterface(stream.get(), iid, object, MSHCTX_LOCAL, nullptr, MSHLFLAGS_TABLESTRONG);
    }
    if (FAILED(hr)) {
      if (SUCCEEDED(result)) {
        result = hr;
      }
      continue;
    }
    kept.iids.push_back(iid);
    kept.marshals.push_back(std::move(stream));
  }
  if (!kept.marshals.empty()) {
    FKept.push_back(std::move(kept));
  }
  return result;
}

bool TStubKeeper::covers(REFIID iid) const {
  for (const TKept& kept : FKept) {
    for (const IID& k : kept.iids) {
      if (IsEqualIID(k, iid)) {
        return true;
      }
    }
  }
  return false;
}

void TStubKeeper::disconnect() {
  for (TKept& kept : FKept) {
    CoDisconnectObject(kept.object.get(), 0);
  }
  FKept.clear();
}
