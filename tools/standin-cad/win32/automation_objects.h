#pragma once
// The automation objects of the stand-in: application, documents, document,
// selection sets and the entities. Each one is a thin view: the state lives
// in TServerContext (the document, its drawing and its selection sets), and
// an entity object holds only its handle, so an erased entity fails cleanly.
#include <windows.h>
#include <unknwn.h>

#include <cstdint>

#include "server_context.h"

// The application object the class factory hands out (one reference).
IDispatch* newApplicationObject(TServerContext& context);

// An object of the entity's own kind (line, polyline, text, or plain entity).
HRESULT newEntityObject(TServerContext& context, std::uint64_t handle, IDispatch** out);

// The class factory of the application class; every instance is a view of
// the same state.
IClassFactory* newApplicationFactory(TServerContext& context);
