// The stand-in CAD: registers its application class, opens the drawing
// given on the command line, shows the window titled "nanoCAD 5" (or as
// --title says; its class id as --clsid says) and serves
// automation calls until the window is closed.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "automation_objects.h"
#include "cad_window.h"
#include "platform/win32/com_init.h"
#include "rejecting_filter.h"
#include "server_context.h"
#include "standin.h"
#include "stub_keeper.h"

// Exported by oleaut32 since Vista; mingw-w64's headers do not declare it.
extern "C" HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* path, OLECHAR* helpDir);

namespace {

constexpr int kExitBadArguments = 2;
constexpr int kExitNoTypeLibrary = 3;
constexpr int kExitNoWindow = 4;
constexpr int kExitSaveFailed = 5;
constexpr int kExitRegisterFailed = 6;

std::vector<std::wstring> commandArguments() {
  std::vector<std::wstring> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) {
    return args;
  }
  for (int i = 1; i < count; ++i) {
    args.emplace_back(argv[i]);
  }
  LocalFree(argv);
  return args;
}

std::wstring modulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// The class object registered with COM; revoked once, before the window goes.
class TClassRegistration {
 public:
  TClassRegistration() = default;
  TClassRegistration(const TClassRegistration&) = delete;
  TClassRegistration& operator=(const TClassRegistration&) = delete;
  ~TClassRegistration() { revoke(); }

  HRESULT registerFactory(const CLSID& clsid, IClassFactory* factory) {
    const HRESULT hr = CoRegisterClassObject(clsid, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &FCookie);
    FRegistered = SUCCEEDED(hr);
    return hr;
  }
  void revoke() {
    if (FRegistered) {
      CoRevokeClassObject(FCookie);
      FRegistered = false;
    }
  }

 private:
  DWORD FCookie = 0;
  bool FRegistered = false;
};

// Registers the message filter for the thread and puts the previous one back.
class TFilterRegistration {
 public:
  explicit TFilterRegistration(IMessageFilter* filter) { CoRegisterMessageFilter(filter, FPrevious.receive()); }
  TFilterRegistration(const TFilterRegistration&) = delete;
  TFilterRegistration& operator=(const TFilterRegistration&) = delete;
  ~TFilterRegistration() {
    TComPtr<IMessageFilter> ours;
    CoRegisterMessageFilter(FPrevious.get(), ours.receive());
  }

 private:
  TComPtr<IMessageFilter> FPrevious;
};

// The type library makes the dual interfaces marshalable across processes,
// so it is registered: for the machine where that is allowed, else for the
// user. Without either the objects still dispatch, in this process only.
bool loadTypeLibrary(TServerContext& context) {
  std::wstring path = modulePath();
  if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, context.typeLib.receive()))) {
    return false;
  }
  if (FAILED(RegisterTypeLib(context.typeLib.get(), path.data(), nullptr)) &&
      FAILED(RegisterTypeLibForUser(context.typeLib.get(), path.data(), nullptr))) {
    context.callLog.line(L"error: type library not registered");
  }
  return true;
}

// Exports the application, its class object and one object of every other
// kind for the process's life (see TStubKeeper); false when an interface a
// client can reach is left out.
bool keepExported(TStubKeeper& keeper, IDispatch* application, IClassFactory* factory, TServerContext& context) {
  const std::vector<IID> served = servedInterfaces();
  // The application and the class object first: each keeps its own stubs for every interface it has.
  bool ok = SUCCEEDED(keeper.keep(application, served));
  ok = SUCCEEDED(keeper.keep(factory, served)) && ok;
  for (const TComPtr<IDispatch>& specimen : newKindSpecimens(context)) {
    ok = SUCCEEDED(keeper.keep(specimen.get(), served)) && ok;
  }
  for (const IID& iid : served) {
    ok = keeper.covers(iid) && ok;
  }
  return ok;
}

int run(HINSTANCE instance, int show) {
  TServerContext context;
  std::wstring error;
  if (!parseServerOptions(commandArguments(), context.options, &error)) {
    return kExitBadArguments;
  }
  const TServerOptions& o = context.options;
  CLSID clsid = CLSID_StandinApplication;
  if (!o.clsid.empty() && FAILED(CLSIDFromString(o.clsid.c_str(), &clsid))) {
    return kExitBadArguments;
  }
  if (!o.callLogPath.empty()) {
    context.callLog.open(o.callLogPath, GetCurrentProcessId());
  }
  if (!loadTypeLibrary(context)) {
    context.callLog.line(L"error: type library not loaded");
    return kExitNoTypeLibrary;
  }
  std::wstring loadError;
  if (!o.noDocument) {
    if (o.drawingPath.empty()) {
      context.document = std::make_unique<TDocumentState>();
    } else if (!loadDocument(context, o.drawingPath, &loadError)) {
      context.callLog.line(L"error: " + loadError);
    }
  }

  TComPtr<IMessageFilter> filter;
  std::unique_ptr<TFilterRegistration> filterRegistration;
  if (o.rejectCalls > 0) {
    // A test can let a command start and refuse its calls from the middle on.
    filter = TComPtr<IMessageFilter>::attach(new TRejectingFilter(
        o.rejectCalls, o.rejectHard, [&context] { return context.options.rejectAfter.empty() || context.rejectArmed; },
        [&context] { context.callLog.line(L"rejected"); }));
    filterRegistration = std::make_unique<TFilterRegistration>(filter.get());
  }

  TCadWindow window(context);
  context.host = &window;
  TComPtr<IDispatch> application = TComPtr<IDispatch>::attach(newApplicationObject(context));
  TComPtr<IClassFactory> factory = TComPtr<IClassFactory>::attach(newApplicationFactory(application.get()));
  // Declared after the objects it exports, so that it disconnects them before they go.
  TStubKeeper keeper;
  TClassRegistration registration;
  // The class object is there before the window: whoever finds the window can connect.
  if (!o.noRegister) {
    if (!keepExported(keeper, application.get(), factory.get(), context)) {
      context.callLog.line(L"error: not every interface kept exported");
    }
    if (FAILED(registration.registerFactory(clsid, factory.get()))) {
      context.callLog.line(L"error: class object not registered");
      return kExitRegisterFailed;
    }
  }
  bool saveFailed = false;
  window.onClosing = [&] {
    registration.revoke();
    if (!o.saveOnClosePath.empty()) {
      std::wstring saveError;
      if (!saveDocument(context, o.saveOnClosePath, &saveError)) {
        saveFailed = true;
        context.callLog.line(L"error: save failed: " + saveError);
      }
    }
  };
  context.onExitAfter = [&] { PostMessageW(window.mainWindow(), WM_CLOSE, 0, 0); };
  if (!window.create(instance, show)) {
    return kExitNoWindow;
  }
  if (!loadError.empty()) {
    window.showMessage(L"図面を開けません: " + loadError);
  }
  MSG m{};
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    if (window.translateAccelerator(m)) {
      continue;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  registration.revoke();
  keeper.disconnect();
  context.host = nullptr;
  return saveFailed ? kExitSaveFailed : 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  try {
    const TComInit com(COINIT_APARTMENTTHREADED);
    if (!com.ok()) {
      return 1;
    }
    return run(instance, show);
  } catch (...) {
    return 1;
  }
}
