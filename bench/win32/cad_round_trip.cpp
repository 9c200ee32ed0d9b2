// The round trip of one cross-process call that costs the CAD nothing: the
// application's HWND property, which only hands back its main window. Acquire
// makes a few calls per entity, each a round trip like this one, so calls per
// entity times this figure is what Acquire would cost if its own work were free.
//
//   cad_round_trip.exe RESULT_FILE [CALLS]
//
// Connects to the running CAD as the program does (its class, then its
// application interface) and writes one JSON line to RESULT_FILE: the calls
// made and the milliseconds per call, the median of five batches.
#include <windows.h>
#include <oaidl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <string>

#include "cad/win32/cad_ids.h"
#include "platform/win32/com_init.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/variant.h"

namespace {

constexpr int kBatches = 5;

int fail(const char* what, HRESULT hr) {
  std::fprintf(stderr, "%s failed: 0x%08lx\n", what, static_cast<unsigned long>(hr));
  return 1;
}

// Milliseconds per call over `calls` property gets; 0 when one failed.
double timeBatch(IDispatch* application, DISPID member, int calls) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < calls; ++i) {
    TVariant reply;
    if (FAILED(application->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                   reply.receive(), nullptr, nullptr))) {
      return 0.0;
    }
  }
  const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / calls;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: cad_round_trip RESULT_FILE [CALLS]\n");
    return 2;
  }
  const int calls = argc > 2 ? std::max(kBatches, static_cast<int>(std::wcstol(argv[2], nullptr, 10))) : 2000;
  const TComInit com;
  if (!com.ok()) {
    return fail("CoInitializeEx", com.result());
  }
  TComPtr<IDispatch> application;
  HRESULT hr = CoCreateInstance(kCadApplicationClsid, nullptr, CLSCTX_LOCAL_SERVER, kCadApplicationIid,
                                application.receiveVoid());
  if (FAILED(hr) || !application) {
    return fail("connecting to the CAD", hr);
  }
  // The name is looked up once, as the program's DISPID cache does.
  LPOLESTR name = const_cast<LPOLESTR>(L"HWND");
  DISPID member = DISPID_UNKNOWN;
  hr = application->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &member);
  if (FAILED(hr)) {
    return fail("GetIDsOfNames(HWND)", hr);
  }
  // A first batch warms the proxy and the server's thread; it is not counted.
  timeBatch(application.get(), member, calls / kBatches);
  std::array<double, kBatches> perCall{};
  for (double& ms : perCall) {
    ms = timeBatch(application.get(), member, calls / kBatches);
    if (ms <= 0.0) {
      return fail("HWND", E_FAIL);
    }
  }
  std::sort(perCall.begin(), perCall.end());
  std::ofstream out{std::filesystem::path(argv[1])};
  out << "{\"calls\": " << kBatches * (calls / kBatches) << ", \"ms_per_call\": " << perCall[kBatches / 2]
      << ", \"fastest_batch_ms_per_call\": " << perCall[0] << "}\n";
  return out.good() ? 0 : fail("writing the result file", E_FAIL);
}
