#pragma once
// Keeps the stand-in's interfaces exported for its whole life: one
// table-strong marshal, held here, of one long-lived object for every
// interface id a client can reach.
//
// Why: Wine's COM deletes an object's stub once the last client releases it,
// and deleting the last stub of an interface id unregisters that id's RPC
// interface, waiting for the calls in flight on it. That wait runs on this
// (the apartment's) thread inside the client's release. The worker that has
// just answered the previous call on the id is still counted in flight, and
// when it finishes between the runtime's check and its setting up the wait,
// nothing ever ends the wait: stand-in and client hang. A kept marshal keeps
// a stub of every id alive, so no id is unregistered while the stand-in runs.
#include <windows.h>
#include <objidl.h>

#include <vector>

#include "platform/win32/com_ptr.h"

class TStubKeeper {
 public:
  TStubKeeper() = default;
  TStubKeeper(const TStubKeeper&) = delete;
  TStubKeeper& operator=(const TStubKeeper&) = delete;
  ~TStubKeeper() { disconnect(); }

  // Exports the object once for each of iids that it answers and that no
  // object kept before it was exported for. The first failing export's error,
  // else S_OK.
  HRESULT keep(IUnknown* object, const std::vector<IID>& iids);
  // Whether an object was exported for iid.
  bool covers(REFIID iid) const;
  // Ends the exports: every kept object is disconnected from its clients.
  // Releasing the marshals instead would unregister their interfaces with
  // the very wait this class exists to avoid.
  void disconnect();

 private:
  struct TKept {
    TComPtr<IUnknown> object;
    std::vector<IID> iids;
    std::vector<TComPtr<IStream>> marshals;  // held, never read: holding them is the point
  };
  std::vector<TKept> FKept;
};
