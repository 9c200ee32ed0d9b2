#pragma once
// The automation objects of the stand-in: application, documents, document,
// selection sets and the entities. Each one is a thin view: the state lives
// in TServerContext (the document, its drawing and its selection sets), and
// an entity object holds only its handle, so an erased entity fails cleanly.
#include <windows.h>
#include <unknwn.h>

#include <cstdint>
#include <vector>

#include "platform/win32/com_ptr.h"
#include "server_context.h"

// The application object (one reference); the process makes one, as a CAD
// has one, and the class factory hands out that one.
IDispatch* newApplicationObject(TServerContext& context);

// An object of the entity's own kind (line, polyline, text, or plain entity).
HRESULT newEntityObject(TServerContext& context, std::uint64_t handle, IDispatch** out);

// The class factory of the application class; every instance it makes is the
// given application object.
IClassFactory* newApplicationFactory(IDispatch* application);

// Every interface id a client can reach on the stand-in's objects.
std::vector<IID> servedInterfaces();

// One object of every kind other than the application, each referring to
// nothing (every member fails cleanly): kept exported for the process's life
// so that each of their interfaces stays exported while the objects clients
// get come and go.
std::vector<TComPtr<IDispatch>> newKindSpecimens(TServerContext& context);
