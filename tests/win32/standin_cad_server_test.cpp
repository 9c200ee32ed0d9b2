// The stand-in CAD as the program meets it: a separate process serving the
// application class, driven here with raw IDispatch calls by name (not the
// program's COM client, so that a fault shared by both sides cannot hide).
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <thread>
#include <string>
#include <vector>

#include "platform/utf8.h"
#include "platform/win32/bstr.h"
#include "platform/win32/com_init.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/safe_array.h"
#include "platform/win32/variant.h"
#include "standin_process.h"
// The stand-in's menu command ids, to drive its File menu from here.
#include "../../tools/standin-cad/win32/cad_commands.h"

namespace {

using standin_test::TStandinProcess;

constexpr CLSID kApplicationClass = {0x449354E9, 0xCDD8, 0x4A11, {0xBD, 0x82, 0x0D, 0x4A, 0x3C, 0x21, 0xE7, 0xD2}};
constexpr IID kApplicationIid = {0xAFAB189D, 0x226A, 0x4047, {0xB9, 0x8F, 0xCD, 0x75, 0xCE, 0x56, 0xDD, 0xE4}};
constexpr IID kEntityIid = {0xFFE64704, 0xCEBD, 0x4C88, {0xA8, 0x67, 0xE7, 0xC8, 0x21, 0xAF, 0xE4, 0x88}};
constexpr IID kPolylineIid = {0x037572DF, 0x0207, 0x4B27, {0xBC, 0xDA, 0xC1, 0x63, 0x05, 0x4A, 0x21, 0xDF}};
constexpr IID kLineIid = {0x34257E2A, 0x6A0C, 0x4DEF, {0xA7, 0x40, 0x65, 0x45, 0x5A, 0xC0, 0x5B, 0x1D}};
constexpr IID kTextIid = {0x9CD7E38D, 0x0003, 0x410D, {0xB6, 0xDF, 0xDE, 0x36, 0xFD, 0x19, 0x08, 0x50}};
constexpr IID kMTextIid = {0x15282567, 0x02CC, 0x4503, {0x8F, 0x07, 0xD0, 0xBE, 0x4F, 0xF7, 0x6E, 0x2C}};

// A table of 3 by 3 cells (columns at x = 0, 40, 80, 120, rows at y = 30, 20,
// 10, 0), seven texts, a closed frame polyline on layer "frame" and a circle:
// 17 entities, 16 of them texts, lines or polylines.
const char kTableDxf[] =
    "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1027\n9\n$HANDSEED\n5\n200\n0\nENDSEC\n"
    "0\nSECTION\n2\nENTITIES\n"
    "0\nLINE\n5\n31\n8\n0\n10\n0\n20\n0\n30\n0\n11\n0\n21\n30\n31\n0\n"
    "0\nLINE\n5\n32\n8\n0\n10\n40\n20\n0\n30\n0\n11\n40\n21\n30\n31\n0\n"
    "0\nLINE\n5\n33\n8\n0\n10\n80\n20\n0\n30\n0\n11\n80\n21\n30\n31\n0\n"
    "0\nLINE\n5\n34\n8\n0\n10\n120\n20\n0\n30\n0\n11\n120\n21\n30\n31\n0\n"
    "0\nLINE\n5\n35\n8\n0\n10\n0\n20\n0\n30\n0\n11\n120\n21\n0\n31\n0\n"
    "0\nLINE\n5\n36\n8\n0\n10\n0\n20\n10\n30\n0\n11\n120\n21\n10\n31\n0\n"
    "0\nLINE\n5\n37\n8\n0\n10\n0\n20\n20\n30\n0\n11\n120\n21\n20\n31\n0\n"
    "0\nLINE\n5\n38\n8\n0\n10\n0\n20\n30\n30\n1.5\n11\n120\n21\n30\n31\n1.5\n"
    "0\nTEXT\n5\n39\n8\n0\n10\n2\n20\n22\n30\n0\n40\n3.5\n1\n品名\n"
    "0\nTEXT\n5\n3A\n8\n0\n10\n42\n20\n22\n30\n0\n40\n3.5\n1\n数量\n"
    "0\nTEXT\n5\n3B\n8\n0\n10\n82\n20\n22\n30\n0\n40\n3.5\n1\n備考\n"
    "0\nTEXT\n5\n3C\n8\n0\n10\n2\n20\n12\n30\n0\n40\n3.5\n1\nボルト\n"
    "0\nTEXT\n5\n3D\n8\n0\n10\n74\n20\n12\n30\n0\n40\n3.5\n1\n12\n72\n2\n11\n78\n21\n12\n31\n0\n"
    "0\nTEXT\n5\n3E\n8\n0\n10\n96\n20\n3\n30\n0\n40\n3.5\n1\n中央\n72\n1\n11\n100\n21\n5\n31\n0\n73\n2\n"
    "0\nTEXT\n5\n3F\n8\n0\n10\n2\n20\n2\n30\n0\n40\n3.5\n1\nナット M8\n"
    "0\nLWPOLYLINE\n5\n40\n8\nframe\n90\n4\n70\n1\n10\n-5\n20\n-5\n10\n125\n20\n-5\n10\n125\n20\n35\n10\n-5\n20\n35\n"
    "0\nCIRCLE\n5\n41\n8\n0\n10\n140\n20\n15\n30\n0\n40\n5\n"
    "0\nENDSEC\n0\nEOF\n";
constexpr int kEntityCount = 17;
constexpr int kTextsAndLines = 16;

// One late-bound call: its status, its result and the server's message.
struct TCall {
  HRESULT hr = E_FAIL;
  TVariant value;
  std::wstring message;

  IDispatch* dispatch() const { return value.type() == VT_DISPATCH ? value.get().pdispVal : nullptr; }
  std::wstring text() const { return value.type() == VT_BSTR ? TBstr::toString(value.get().bstrVal) : L"<not a string>"; }
  long number() const { return value.type() == VT_I4 ? value.get().lVal : -999999; }
};

// Arguments in their natural order; DISPPARAMS takes them reversed.
TCall call(IDispatch* object, const wchar_t* name, WORD flags, std::vector<TVariant> args = {}) {
  TCall c;
  if (object == nullptr) {
    c.hr = E_POINTER;
    return c;
  }
  DISPID id = 0;
  LPOLESTR n = const_cast<LPOLESTR>(name);
  c.hr = object->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(c.hr)) {
    return c;
  }
  std::vector<VARIANT> reversed;
  for (auto it = args.rbegin(); it != args.rend(); ++it) {
    reversed.push_back(it->get());
  }
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  if ((flags & DISPATCH_PROPERTYPUT) != 0) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  EXCEPINFO ex{};
  UINT argErr = 0;
  c.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, c.value.receive(), &ex, &argErr);
  if (c.hr == DISP_E_EXCEPTION) {
    c.message = TBstr::toString(ex.bstrDescription);
  }
  SysFreeString(ex.bstrSource);
  SysFreeString(ex.bstrDescription);
  SysFreeString(ex.bstrHelpFile);
  return c;
}

TCall get(IDispatch* o, const wchar_t* name, std::vector<TVariant> args = {}) {
  return call(o, name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, std::move(args));
}
TCall method(IDispatch* o, const wchar_t* name, std::vector<TVariant> args = {}) {
  return call(o, name, DISPATCH_METHOD, std::move(args));
}

std::vector<TVariant> args1(TVariant a) {
  std::vector<TVariant> v;
  v.push_back(std::move(a));
  return v;
}
std::vector<TVariant> args2(TVariant a, TVariant b) {
  std::vector<TVariant> v;
  v.push_back(std::move(a));
  v.push_back(std::move(b));
  return v;
}

TVariant point(double x, double y, double z) {
  TSafeArray a = TSafeArray::create(VT_R8, 3);
  {
    TSafeArrayAccess access(a.get());
    double* d = access.data<double>();
    d[0] = x;
    d[1] = y;
    d[2] = z;
  }
  return TVariant::fromArray(VT_R8, a.detach());
}

std::vector<double> doubles(const TVariant& v) {
  std::vector<double> out;
  if (v.type() != (VT_ARRAY | VT_R8)) {
    return out;
  }
  SAFEARRAY* a = v.get().parray;
  LONG lower = 0;
  LONG upper = -1;
  SafeArrayGetLBound(a, 1, &lower);
  SafeArrayGetUBound(a, 1, &upper);
  EXPECT_EQ(lower, 0);
  TSafeArrayAccess access(a);
  for (LONG i = 0; i <= upper - lower; ++i) {
    out.push_back(access.data<double>()[i]);
  }
  return out;
}

// FilterType as VT_ARRAY|VT_I2 and FilterData as VT_ARRAY|VT_VARIANT of strings.
std::vector<TVariant> filterArgs(const std::vector<short>& codes, const std::vector<std::wstring>& values) {
  TSafeArray types = TSafeArray::create(VT_I2, static_cast<ULONG>(codes.size()));
  TSafeArray data = TSafeArray::create(VT_VARIANT, static_cast<ULONG>(values.size()));
  for (LONG i = 0; i < static_cast<LONG>(codes.size()); ++i) {
    short code = codes[static_cast<std::size_t>(i)];
    SafeArrayPutElement(types.get(), &i, &code);
    TVariant value = TVariant::fromString(values[static_cast<std::size_t>(i)]);
    SafeArrayPutElement(data.get(), &i, value.ptr());
  }
  return args2(TVariant::fromArray(VT_I2, types.detach()), TVariant::fromArray(VT_VARIANT, data.detach()));
}

// The object id under which the server exports the object behind a proxy,
// read from a standard marshal of the proxy (0 when it is not one): two
// proxies reach the same stub manager of the server exactly when their ids
// agree.
std::uint64_t serverObjectId(IUnknown* proxy, REFIID iid) {
  // Table-weak: the marshal takes no references of the server's object, so
  // there are none to give back (a client cannot release them for a server).
  TComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.receive())) ||
      FAILED(CoMarshalInterface(stream.get(), iid, proxy, MSHCTX_LOCAL, nullptr, MSHLFLAGS_TABLEWEAK))) {
    return 0;
  }
  // OBJREF: signature "MEOW", flags (1: standard), the interface id, then the
  // standard reference: its flags, public references, OXID and OID.
  constexpr std::size_t kOidAt = 4 + 4 + 16 + 4 + 4 + 8;
  std::uint64_t oid = 0;
  HGLOBAL memory = nullptr;
  if (SUCCEEDED(GetHGlobalFromStream(stream.get(), &memory)) && GlobalSize(memory) >= kOidAt + sizeof oid) {
    const auto* bytes = static_cast<const unsigned char*>(GlobalLock(memory));
    std::uint32_t signature = 0;
    std::uint32_t flags = 0;
    std::memcpy(&signature, bytes, sizeof signature);
    std::memcpy(&flags, bytes + 4, sizeof flags);
    if (signature == 0x574F454D && flags == 1) {
      std::memcpy(&oid, bytes + kOidAt, sizeof oid);
    }
    GlobalUnlock(memory);
  }
  return oid;
}

class StandinCadServer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FCom.ok());
    if (standin_test::standinExe().empty()) {
      GTEST_SKIP() << "the stand-in CAD is not part of this build";
    }
    FDrawing = standin_test::tempFile(L"standin-table") + L".dxf";
    std::FILE* f = _wfopen(FDrawing.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(kTableDxf, 1, sizeof kTableDxf - 1, f);
    std::fclose(f);
  }
  void TearDown() override {
    FApp.reset();
    const bool wasRunning = FStandin.running();
    FStandin.stop();
    EXPECT_FALSE(wasRunning && FStandin.killed()) << "the stand-in did not close on WM_CLOSE";
    DeleteFileW(FDrawing.c_str());
    for (const std::wstring& f : FTempFiles) {
      DeleteFileW(f.c_str());
    }
  }

  // Starts the stand-in on the table drawing with extra switches and connects.
  void startAndConnect(std::vector<std::wstring> switches) {
    switches.insert(switches.begin(), FDrawing);
    ASSERT_TRUE(FStandin.start(switches)) << "CreateProcessW failed: " << FStandin.startError();
    FWindow = FStandin.waitForWindow();
    ASSERT_NE(FWindow, nullptr) << "no window titled \"nanoCAD 5\"";
    TComPtr<IUnknown> unknown;
    ASSERT_EQ(CoCreateInstance(kApplicationClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, unknown.receiveVoid()),
              S_OK);
    ASSERT_EQ(unknown.queryInterface(kApplicationIid, FApp), S_OK);
  }
  std::wstring temp(const std::wstring& stem) {
    FTempFiles.push_back(standin_test::tempFile(stem));
    return FTempFiles.back();
  }

  TComInit FCom;
  std::wstring FDrawing;
  std::vector<std::wstring> FTempFiles;
  TStandinProcess FStandin;
  HWND FWindow = nullptr;
  TComPtr<IDispatch> FApp;
};

TEST_F(StandinCadServer, WalksFromApplicationToTextsCopiesAndErases) {
  const std::wstring log = temp(L"standin-calls");
  const std::wstring saved = temp(L"standin-saved") + L".dxf";
  ASSERT_NO_FATAL_FAILURE(startAndConnect({L"--auto-select=all", L"--call-log=" + log, L"--save-on-close=" + saved}));

  const TCall hwnd = get(FApp.get(), L"HWND");
  ASSERT_EQ(hwnd.hr, S_OK);
  ASSERT_EQ(hwnd.value.type(), VT_I8);
  EXPECT_EQ(reinterpret_cast<HWND>(static_cast<LONG_PTR>(hwnd.value.get().llVal)), FWindow);

  const TCall docs = get(FApp.get(), L"Documents");
  ASSERT_EQ(docs.hr, S_OK);
  EXPECT_EQ(get(docs.dispatch(), L"Count").number(), 1);
  const TCall doc = get(FApp.get(), L"ActiveDocument");
  ASSERT_EQ(doc.hr, S_OK);
  const std::wstring name = get(doc.dispatch(), L"Name").text();
  EXPECT_EQ(name, FDrawing.substr(FDrawing.find_last_of(L'\\') + 1));

  const TCall sets = get(doc.dispatch(), L"SelectionSets");
  ASSERT_EQ(sets.hr, S_OK);
  EXPECT_EQ(get(sets.dispatch(), L"Count").number(), 0);
  const TCall set = method(sets.dispatch(), L"Add", args1(TVariant::fromString(L"ssTemp")));
  ASSERT_EQ(set.hr, S_OK);
  const TCall again = method(sets.dispatch(), L"Add", args1(TVariant::fromString(L"ssTemp")));
  EXPECT_EQ(again.hr, DISP_E_EXCEPTION);
  EXPECT_FALSE(again.message.empty());
  EXPECT_EQ(get(get(sets.dispatch(), L"Item", args1(TVariant::fromInt32(0))).dispatch(), L"Name").text(), L"ssTemp");

  ASSERT_EQ(method(set.dispatch(), L"SelectOnScreen", filterArgs({0}, {L"TEXT,*LINE"})).hr, S_OK);
  ASSERT_EQ(get(set.dispatch(), L"Count").number(), kTextsAndLines);

  int texts = 0;
  int lines = 0;
  int polylines = 0;
  std::wstring rightAlignedHandle;
  for (int i = 0; i < kTextsAndLines; ++i) {
    const TCall item = method(set.dispatch(), L"Item", args1(TVariant::fromInt32(i)));
    ASSERT_EQ(item.hr, S_OK) << i;
    const std::wstring kind = get(item.dispatch(), L"ObjectName").text();
    TComPtr<IUnknown> probe;
    EXPECT_EQ(item.dispatch()->QueryInterface(kEntityIid, probe.receiveVoid()), S_OK) << i;
    probe.reset();
    const bool isText = kind == L"AcDbText";
    const bool isLine = kind == L"AcDbLine";
    const bool isPolyline = kind == L"AcDbPolyline";
    EXPECT_EQ(item.dispatch()->QueryInterface(kTextIid, probe.receiveVoid()), isText ? S_OK : E_NOINTERFACE) << i;
    probe.reset();
    EXPECT_EQ(item.dispatch()->QueryInterface(kLineIid, probe.receiveVoid()), isLine ? S_OK : E_NOINTERFACE) << i;
    probe.reset();
    EXPECT_EQ(item.dispatch()->QueryInterface(kPolylineIid, probe.receiveVoid()), isPolyline ? S_OK : E_NOINTERFACE)
        << i;
    probe.reset();
    texts += isText ? 1 : 0;
    lines += isLine ? 1 : 0;
    polylines += isPolyline ? 1 : 0;
    if (isText && get(item.dispatch(), L"TextString").text() == L"12") {
      rightAlignedHandle = get(item.dispatch(), L"Handle").text();
      EXPECT_EQ(get(item.dispatch(), L"Alignment").number(), 2);
      EXPECT_EQ(doubles(get(item.dispatch(), L"TextAlignmentPoint").value), (std::vector<double>{78, 12, 0}));
    }
    if (isLine && get(item.dispatch(), L"Handle").text() == L"38") {
      EXPECT_EQ(doubles(get(item.dispatch(), L"StartPoint").value), (std::vector<double>{0, 30, 1.5}));
      EXPECT_EQ(doubles(get(item.dispatch(), L"EndPoint").value), (std::vector<double>{120, 30, 1.5}));
    }
    if (isPolyline) {
      EXPECT_EQ(doubles(get(item.dispatch(), L"Coordinates").value),
                (std::vector<double>{-5, -5, 125, -5, 125, 35, -5, 35}));
      const TCall closed = get(item.dispatch(), L"Closed");
      EXPECT_EQ(closed.value.type(), VT_BOOL);
      EXPECT_EQ(closed.value.get().boolVal, VARIANT_TRUE);
    }
  }
  EXPECT_EQ(texts, 7);
  EXPECT_EQ(lines, 8);
  EXPECT_EQ(polylines, 1);
  ASSERT_EQ(rightAlignedHandle, L"3D");

  // Copy the right-aligned text, give it a new string and place it by its alignment point.
  const TCall source = method(doc.dispatch(), L"HandleToObject", args1(TVariant::fromString(L"3d")));
  ASSERT_EQ(source.hr, S_OK);
  const TCall copy = method(source.dispatch(), L"Copy");
  ASSERT_EQ(copy.hr, S_OK);
  const std::wstring copyHandle = get(copy.dispatch(), L"Handle").text();
  EXPECT_NE(copyHandle, L"3D");
  EXPECT_EQ(get(copy.dispatch(), L"TextString").text(), L"12");
  EXPECT_EQ(get(copy.dispatch(), L"Alignment").number(), 2);
  ASSERT_EQ(call(copy.dispatch(), L"TextString", DISPATCH_PROPERTYPUT, args1(TVariant::fromString(L"追加した行"))).hr,
            S_OK);
  ASSERT_EQ(call(copy.dispatch(), L"TextAlignmentPoint", DISPATCH_PROPERTYPUT, args1(point(118, 2, 0))).hr, S_OK);
  EXPECT_EQ(doubles(get(copy.dispatch(), L"TextAlignmentPoint").value), (std::vector<double>{118, 2, 0}));
  EXPECT_EQ(method(copy.dispatch(), L"Update").hr, S_OK);
  const TCall id = get(copy.dispatch(), L"ObjectID");
  EXPECT_EQ(id.value.type(), VT_I8);

  // Edit the original, then erase it: its handle is gone for good.
  ASSERT_EQ(call(source.dispatch(), L"TextString", DISPATCH_PROPERTYPUT, args1(TVariant::fromString(L"書き換え"))).hr,
            S_OK);
  ASSERT_EQ(method(source.dispatch(), L"Erase").hr, S_OK);
  const TCall gone = method(doc.dispatch(), L"HandleToObject", args1(TVariant::fromString(L"3D")));
  EXPECT_EQ(gone.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(gone.message, L"無効なハンドルです");
  EXPECT_EQ(get(source.dispatch(), L"TextString").hr, DISP_E_EXCEPTION);
  EXPECT_EQ(method(doc.dispatch(), L"HandleToObject", args1(TVariant::fromString(L"zz"))).hr, DISP_E_EXCEPTION);

  EXPECT_EQ(method(doc.dispatch(), L"Regen", args1(TVariant::fromInt32(0))).hr, S_OK);
  EXPECT_EQ(method(doc.dispatch(), L"SendCommand", args1(TVariant::fromString(L"REGEN\r"))).hr, S_OK);

  EXPECT_EQ(method(set.dispatch(), L"Clear").hr, S_OK);
  EXPECT_EQ(get(set.dispatch(), L"Count").number(), 0);
  EXPECT_EQ(method(set.dispatch(), L"Delete").hr, S_OK);
  EXPECT_EQ(get(sets.dispatch(), L"Count").number(), 0);
  EXPECT_EQ(get(set.dispatch(), L"Count").hr, DISP_E_EXCEPTION);

  // Every served call is in the log, after the pid line.
  const std::vector<std::string> logged = standin_test::readLines(log);
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged.front(), "pid " + std::to_string(FStandin.pid()));
  int selects = 0;
  int copies = 0;
  for (const std::string& l : logged) {
    selects += l == "SelectOnScreen" ? 1 : 0;
    copies += l == "Copy" ? 1 : 0;
  }
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(copies, 1);

  // Closing saves the drawing as it now is.
  FApp.reset();
  EXPECT_EQ(FStandin.stop(), 0);
  const std::string written = standin_test::readFileBytes(saved);
  EXPECT_NE(written.find(toUtf8(L"追加した行")), std::string::npos);
  EXPECT_EQ(written.find(toUtf8(L"書き換え")), std::string::npos);
  EXPECT_NE(written.find(toUtf8(L"ナット M8")), std::string::npos);
}

// Two cells ruled by two lines, a TEXT, an MTEXT in two chunks with codes and
// one on an excluded layer.
const char kMTextDxf[] =
    "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1027\n9\n$HANDSEED\n5\n200\n0\nENDSEC\n"
    "0\nSECTION\n2\nENTITIES\n"
    "0\nLINE\n5\n31\n8\n0\n10\n0\n20\n0\n30\n0\n11\n80\n21\n0\n31\n0\n"
    "0\nLINE\n5\n32\n8\n0\n10\n40\n20\n0\n30\n0\n11\n40\n21\n10\n31\n0\n"
    "0\nTEXT\n5\n33\n8\n0\n10\n2\n20\n2\n30\n0\n40\n3.5\n1\n品名\n"
    "0\nMTEXT\n5\n34\n100\nAcDbEntity\n8\ncells\n100\nAcDbMText\n10\n60\n20\n5\n30\n0\n40\n4.5\n41\n37\n71\n5\n72\n1\n"
    "3\n\\H2;寸法\\P\n1\n{\\C1;赤}\n73\n1\n44\n1.0\n"
    "0\nMTEXT\n5\n35\n8\nHOJO\n10\n60\n20\n-5\n30\n0\n40\n2.5\n71\n1\n1\nmemo\n"
    "0\nENDSEC\n0\nEOF\n";

TEST_F(StandinCadServer, ServesMTextsWithTheirCodesCopiesEditsAndErasesThem) {
  {
    std::FILE* f = _wfopen(FDrawing.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(kMTextDxf, 1, sizeof kMTextDxf - 1, f);
    std::fclose(f);
  }
  const std::wstring log = temp(L"standin-calls");
  const std::wstring saved = temp(L"standin-saved") + L".dxf";
  ASSERT_NO_FATAL_FAILURE(startAndConnect({L"--auto-select=all", L"--call-log=" + log, L"--save-on-close=" + saved}));
  const TCall doc = get(FApp.get(), L"ActiveDocument");
  const TCall set = method(get(doc.dispatch(), L"SelectionSets").dispatch(), L"Add",
                           args1(TVariant::fromString(L"ssTemp")));
  ASSERT_EQ(set.hr, S_OK);
  // The filter a TEXT table is read with leaves the MTEXTs out; naming MTEXT
  // takes them, but not from an excluded layer.
  ASSERT_EQ(method(set.dispatch(), L"SelectOnScreen", filterArgs({0}, {L"TEXT,*LINE"})).hr, S_OK);
  EXPECT_EQ(get(set.dispatch(), L"Count").number(), 3);
  ASSERT_EQ(method(set.dispatch(), L"Clear").hr, S_OK);
  ASSERT_EQ(method(set.dispatch(), L"SelectOnScreen",
                   filterArgs({0, -4, 8, -4}, {L"TEXT,MTEXT,*LINE", L"<NOT", L"HOJO", L"NOT>"}))
                .hr,
            S_OK);
  ASSERT_EQ(get(set.dispatch(), L"Count").number(), 4);
  const TCall item = method(set.dispatch(), L"Item", args1(TVariant::fromInt32(3)));
  ASSERT_EQ(get(item.dispatch(), L"ObjectName").text(), L"AcDbMText");
  TComPtr<IUnknown> probe;
  EXPECT_EQ(item.dispatch()->QueryInterface(kMTextIid, probe.receiveVoid()), S_OK);
  probe.reset();
  EXPECT_EQ(item.dispatch()->QueryInterface(kTextIid, probe.receiveVoid()), E_NOINTERFACE);
  probe.reset();
  EXPECT_EQ(get(item.dispatch(), L"TextString").text(), L"\\H2;寸法\\P{\\C1;赤}");
  EXPECT_EQ(doubles(get(item.dispatch(), L"InsertionPoint").value), (std::vector<double>{60, 5, 0}));
  EXPECT_EQ(get(item.dispatch(), L"AttachmentPoint").number(), 5);
  EXPECT_EQ(get(item.dispatch(), L"Height").value.get().dblVal, 4.5);
  EXPECT_EQ(get(item.dispatch(), L"Width").value.get().dblVal, 37);
  EXPECT_EQ(get(item.dispatch(), L"Layer").text(), L"cells");
  EXPECT_EQ(get(item.dispatch(), L"Handle").text(), L"34");
  EXPECT_EQ(get(item.dispatch(), L"Alignment").hr, DISP_E_UNKNOWNNAME);  // a TEXT's, not an MTEXT's

  // A copy has every property of its source; it takes a string longer than a
  // group holds and an insertion point whatever its attachment.
  const TCall source = method(doc.dispatch(), L"HandleToObject", args1(TVariant::fromString(L"34")));
  ASSERT_EQ(source.hr, S_OK);
  const TCall copy = method(source.dispatch(), L"Copy");
  ASSERT_EQ(copy.hr, S_OK);
  const std::wstring copyHandle = get(copy.dispatch(), L"Handle").text();
  EXPECT_NE(copyHandle, L"34");
  EXPECT_EQ(get(copy.dispatch(), L"TextString").text(), L"\\H2;寸法\\P{\\C1;赤}");
  EXPECT_EQ(get(copy.dispatch(), L"AttachmentPoint").number(), 5);
  EXPECT_EQ(get(copy.dispatch(), L"Width").value.get().dblVal, 37);
  EXPECT_EQ(get(copy.dispatch(), L"Layer").text(), L"cells");
  std::wstring longText = L"\\H2;";
  while (longText.size() < 200) longText += L"追加した行 ";
  ASSERT_EQ(call(copy.dispatch(), L"TextString", DISPATCH_PROPERTYPUT, args1(TVariant::fromString(longText))).hr,
            S_OK);
  ASSERT_EQ(call(copy.dispatch(), L"InsertionPoint", DISPATCH_PROPERTYPUT, args1(point(60, -15, 0))).hr, S_OK);
  const TCall badAttachment =
      call(copy.dispatch(), L"AttachmentPoint", DISPATCH_PROPERTYPUT, args1(TVariant::fromInt32(0)));
  EXPECT_EQ(badAttachment.hr, DISP_E_EXCEPTION);
  EXPECT_FALSE(badAttachment.message.empty());
  EXPECT_EQ(get(copy.dispatch(), L"AttachmentPoint").number(), 5);
  EXPECT_EQ(method(copy.dispatch(), L"Update").hr, S_OK);

  // The original erased: its handle is gone for good.
  ASSERT_EQ(method(source.dispatch(), L"Erase").hr, S_OK);
  EXPECT_EQ(method(doc.dispatch(), L"HandleToObject", args1(TVariant::fromString(L"34"))).hr, DISP_E_EXCEPTION);
  EXPECT_EQ(get(source.dispatch(), L"TextString").hr, DISP_E_EXCEPTION);

  const std::vector<std::string> logged = standin_test::readLines(log);
  EXPECT_EQ(std::count(logged.begin(), logged.end(), "AttachmentPoint"), 4);
  EXPECT_EQ(std::count(logged.begin(), logged.end(), "Copy"), 1);
  EXPECT_EQ(std::count(logged.begin(), logged.end(), "Erase"), 1);

  // Saved without the original, the copy's string in groups of up to 250 bytes.
  FApp.reset();
  EXPECT_EQ(FStandin.stop(), 0);
  const std::string written = standin_test::readFileBytes(saved);
  EXPECT_EQ(written.find("\n5\n34\n"), std::string::npos);
  const std::string head = toUtf8(longText).substr(0, 240);
  EXPECT_NE(written.find("  3\n" + head), std::string::npos);
}

TEST_F(StandinCadServer, SelectionFollowsTheFilterAndTheWindow) {
  ASSERT_NO_FATAL_FAILURE(startAndConnect({L"--auto-select=window:-1,19,121,31"}));
  const TCall doc = get(FApp.get(), L"ActiveDocument");
  const TCall sets = get(doc.dispatch(), L"SelectionSets");
  const TCall set = method(sets.dispatch(), L"Add", args1(TVariant::fromString(L"ssTemp")));
  ASSERT_EQ(set.hr, S_OK);
  // The header row: three texts and the two horizontal lines that bound it.
  ASSERT_EQ(method(set.dispatch(), L"SelectOnScreen", filterArgs({0}, {L"TEXT,*LINE"})).hr, S_OK);
  EXPECT_EQ(get(set.dispatch(), L"Count").number(), 5);
  // Texts only, none on a layer matching "frame,1*": the three header texts.
  ASSERT_EQ(method(set.dispatch(), L"Clear").hr, S_OK);
  ASSERT_EQ(method(set.dispatch(), L"SelectOnScreen",
                   filterArgs({0, -4, 8, -4}, {L"TEXT", L"<NOT", L"frame,1*", L"NOT>"}))
                .hr,
            S_OK);
  EXPECT_EQ(get(set.dispatch(), L"Count").number(), 3);
  // Mismatched filter arrays are refused with a message.
  TSafeArray types = TSafeArray::create(VT_I2, 2);
  TSafeArray data = TSafeArray::create(VT_VARIANT, 1);
  const TCall bad = method(set.dispatch(), L"SelectOnScreen",
                           args2(TVariant::fromArray(VT_I2, types.detach()), TVariant::fromArray(VT_VARIANT, data.detach())));
  EXPECT_EQ(bad.hr, DISP_E_EXCEPTION);
  EXPECT_FALSE(bad.message.empty());
  // A bracket left open, or closed by the wrong closer, is refused too, and selects nothing.
  ASSERT_EQ(method(set.dispatch(), L"Clear").hr, S_OK);
  for (const auto& [codes, values] :
       {std::pair<std::vector<short>, std::vector<std::wstring>>{{0, -4, 8}, {L"TEXT", L"<NOT", L"frame"}},
        std::pair<std::vector<short>, std::vector<std::wstring>>{{0, -4, 8, -4},
                                                                 {L"TEXT", L"<NOT", L"frame", L"OR>"}}}) {
    const TCall unbalanced = method(set.dispatch(), L"SelectOnScreen", filterArgs(codes, values));
    EXPECT_EQ(unbalanced.hr, DISP_E_EXCEPTION);
    EXPECT_FALSE(unbalanced.message.empty());
    EXPECT_EQ(get(set.dispatch(), L"Count").number(), 0);
  }
}

TEST_F(StandinCadServer, ErasingWhatTheModelCannotEraseFailsAndKeepsIt) {
  // A text in paper space beside one in model space.
  const char kPaperDxf[] =
      "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1027\n0\nENDSEC\n"
      "0\nSECTION\n2\nENTITIES\n"
      "0\nTEXT\n5\n51\n8\n0\n10\n0\n20\n0\n30\n0\n40\n3.5\n1\nmodel\n"
      "0\nTEXT\n5\n52\n67\n1\n8\n0\n10\n0\n20\n0\n30\n0\n40\n3.5\n1\npaper\n"
      "0\nENDSEC\n0\nEOF\n";
  std::FILE* f = _wfopen(FDrawing.c_str(), L"wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(kPaperDxf, 1, sizeof kPaperDxf - 1, f);
  std::fclose(f);
  ASSERT_NO_FATAL_FAILURE(startAndConnect({}));
  const TCall doc = get(FApp.get(), L"ActiveDocument");
  const TCall paper = method(doc.dispatch(), L"HandleToObject", args1(TVariant::fromString(L"52")));
  ASSERT_EQ(paper.hr, S_OK);
  const TCall erased = method(paper.dispatch(), L"Erase");
  EXPECT_EQ(erased.hr, DISP_E_EXCEPTION);
  EXPECT_FALSE(erased.message.empty());
  EXPECT_EQ(get(paper.dispatch(), L"TextString").text(), L"paper");
  const TCall model = method(doc.dispatch(), L"HandleToObject", args1(TVariant::fromString(L"51")));
  ASSERT_EQ(method(model.dispatch(), L"Erase").hr, S_OK);
  EXPECT_EQ(method(doc.dispatch(), L"HandleToObject", args1(TVariant::fromString(L"51"))).hr, DISP_E_EXCEPTION);
}

TEST_F(StandinCadServer, LayerExclusionLeavesOutTheFrame) {
  ASSERT_NO_FATAL_FAILURE(startAndConnect({L"--auto-select=all"}));
  const TCall doc = get(FApp.get(), L"ActiveDocument");
  const TCall set = method(get(doc.dispatch(), L"SelectionSets").dispatch(), L"Add", args1(TVariant::fromString(L"s")));
  ASSERT_EQ(method(set.dispatch(), L"SelectOnScreen",
                   filterArgs({0, -4, 8, -4}, {L"TEXT,*LINE", L"<NOT", L"FRAME", L"NOT>"}))
                .hr,
            S_OK);
  EXPECT_EQ(get(set.dispatch(), L"Count").number(), kTextsAndLines - 1);
  // No filter at all: everything in model space.
  ASSERT_EQ(method(set.dispatch(), L"Clear").hr, S_OK);
  ASSERT_EQ(method(set.dispatch(), L"SelectOnScreen").hr, S_OK);
  EXPECT_EQ(get(set.dispatch(), L"Count").number(), kEntityCount);
}

TEST_F(StandinCadServer, CancelledSelectionFailsWithAMessage) {
  ASSERT_NO_FATAL_FAILURE(startAndConnect({L"--auto-select=cancel", L"--auto-select-delay=50"}));
  const TCall doc = get(FApp.get(), L"ActiveDocument");
  const TCall set = method(get(doc.dispatch(), L"SelectionSets").dispatch(), L"Add", args1(TVariant::fromString(L"s")));
  const TCall selected = method(set.dispatch(), L"SelectOnScreen", filterArgs({0}, {L"TEXT,*LINE"}));
  EXPECT_EQ(selected.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(selected.message, L"Selection cancelled");
  EXPECT_EQ(get(set.dispatch(), L"Count").number(), 0);
}

TEST_F(StandinCadServer, DocumentWindowHasBarThenViewAndZoomSetsViewSize) {
  ASSERT_NO_FATAL_FAILURE(startAndConnect({}));
  const TCall doc = get(FApp.get(), L"ActiveDocument");
  const TCall hwnd = get(doc.dispatch(), L"HWND");
  ASSERT_EQ(hwnd.value.type(), VT_I8);
  const HWND document = reinterpret_cast<HWND>(static_cast<LONG_PTR>(hwnd.value.get().llVal));
  ASSERT_TRUE(IsWindow(document));
  EXPECT_EQ(GetAncestor(document, GA_ROOT), FWindow);
  const HWND bar = GetWindow(document, GW_CHILD);
  ASSERT_NE(bar, nullptr);
  const HWND view = GetWindow(bar, GW_HWNDNEXT);
  ASSERT_NE(view, nullptr);
  wchar_t barClass[64] = {};
  wchar_t viewClass[64] = {};
  GetClassNameW(bar, barClass, 64);
  GetClassNameW(view, viewClass, 64);
  EXPECT_STREQ(barClass, L"StandinCadBar");
  EXPECT_STREQ(viewClass, L"StandinCadView");

  // The drawing area as the client measures it: the view less the bar's height.
  RECT barRect{};
  RECT viewRect{};
  GetWindowRect(bar, &barRect);
  GetWindowRect(view, &viewRect);
  const double w = viewRect.right - viewRect.left;
  const double h = (viewRect.bottom - viewRect.top) - (barRect.bottom - barRect.top);
  ASSERT_GT(w, 0);
  ASSERT_GT(h, 0);

  // A tall box fills the height; a wide one the width, the height following the aspect.
  ASSERT_EQ(method(FApp.get(), L"ZoomWindow", args2(point(0, 0, 0), point(10, 200, 0))).hr, S_OK);
  TCall size = method(doc.dispatch(), L"GetVariable", args1(TVariant::fromString(L"VIEWSIZE")));
  ASSERT_EQ(size.value.type(), VT_R8);
  EXPECT_NEAR(size.value.get().dblVal, 200, 1e-6);
  ASSERT_EQ(method(FApp.get(), L"ZoomWindow", args2(point(0, 0, 0), point(1000, 1, 0))).hr, S_OK);
  size = method(doc.dispatch(), L"GetVariable", args1(TVariant::fromString(L"VIEWSIZE")));
  ASSERT_EQ(size.value.type(), VT_R8);
  EXPECT_NEAR(size.value.get().dblVal, 1000 * h / w, 1e-6);
  EXPECT_EQ(method(doc.dispatch(), L"GetVariable", args1(TVariant::fromString(L"NOSUCHVAR"))).hr, DISP_E_EXCEPTION);
}

TEST_F(StandinCadServer, InjectedFailureCarriesItsMessage) {
  ASSERT_NO_FATAL_FAILURE(startAndConnect({L"--fail=Name:図面が壊れています"}));
  const TCall doc = get(FApp.get(), L"ActiveDocument");
  ASSERT_EQ(doc.hr, S_OK);
  const TCall name = get(doc.dispatch(), L"Name");
  EXPECT_EQ(name.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(name.message, L"図面が壊れています");
  EXPECT_EQ(get(FApp.get(), L"Documents").hr, S_OK);
}

TEST_F(StandinCadServer, FileSaveWritesTheEditedDrawingBackToItsFile) {
  ASSERT_NO_FATAL_FAILURE(startAndConnect({}));
  const TCall doc = get(FApp.get(), L"ActiveDocument");
  const TCall text = method(doc.dispatch(), L"HandleToObject", args1(TVariant::fromString(L"3C")));
  ASSERT_EQ(text.hr, S_OK);
  ASSERT_EQ(call(text.dispatch(), L"TextString", DISPATCH_PROPERTYPUT, args1(TVariant::fromString(L"六角ボルト"))).hr,
            S_OK);
  ASSERT_EQ(standin_test::readFileBytes(FDrawing).find(toUtf8(L"六角ボルト")), std::string::npos);
  // The file is replaced by a rename, which an open handle would make fail:
  // its attributes are watched, and it is read once it has been replaced.
  // While it is being replaced the name can be briefly free; a failed query
  // is no change yet, or the file would be read while it is not there.
  const auto stamp = [&](ULONGLONG unchanged) {
    WIN32_FILE_ATTRIBUTE_DATA a{};
    if (!GetFileAttributesExW(FDrawing.c_str(), GetFileExInfoStandard, &a)) {
      return unchanged;
    }
    return (static_cast<ULONGLONG>(a.ftLastWriteTime.dwHighDateTime) << 32 | a.ftLastWriteTime.dwLowDateTime) ^
           (static_cast<ULONGLONG>(a.nFileSizeLow) << 7);
  };
  const ULONGLONG before = stamp(0);
  ASSERT_NE(before, 0u) << "the drawing's attributes cannot be read";
  PostMessageW(FWindow, WM_COMMAND, MAKEWPARAM(kCadCommandSave, 0), 0);
  ASSERT_TRUE(standin_test::waitFor([&] { return stamp(before) != before; }, 15000));
  EXPECT_NE(standin_test::readFileBytes(FDrawing).find(toUtf8(L"六角ボルト")), std::string::npos);
  // The other texts are written back as they were.
  const std::string written = standin_test::readFileBytes(FDrawing);
  EXPECT_NE(written.find(toUtf8(L"品名")), std::string::npos);
  // The old string is gone: "ボルト" is left only inside the new one.
  const std::string old = toUtf8(L"ボルト");
  const std::size_t first = written.find(old);
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(written.find(old, first + 1), std::string::npos);
}

// Another drawing opened while a client holds the document: FullName and
// Name answer for the drawing open now, through the objects held before too.
TEST_F(StandinCadServer, OpeningAnotherDrawingChangesWhatTheDocumentIsCalled) {
  ASSERT_NO_FATAL_FAILURE(startAndConnect({}));
  const TCall doc = get(FApp.get(), L"ActiveDocument");
  wchar_t full[MAX_PATH] = {};
  ASSERT_NE(GetFullPathNameW(FDrawing.c_str(), MAX_PATH, full, nullptr), 0u);
  EXPECT_EQ(get(doc.dispatch(), L"FullName").text(), full);

  const std::wstring other = temp(L"standin-other") + L".dxf";
  ASSERT_TRUE(CopyFileW(FDrawing.c_str(), other.c_str(), FALSE));
  const TCall docs = get(FApp.get(), L"Documents");
  const TCall opened = method(docs.dispatch(), L"Open", args1(TVariant::fromString(other)));
  ASSERT_EQ(opened.hr, S_OK) << opened.message;
  ASSERT_NE(GetFullPathNameW(other.c_str(), MAX_PATH, full, nullptr), 0u);
  EXPECT_EQ(get(opened.dispatch(), L"FullName").text(), full);
  EXPECT_EQ(get(doc.dispatch(), L"FullName").text(), full);
  EXPECT_EQ(get(doc.dispatch(), L"Name").text(), other.substr(other.find_last_of(L'\\') + 1));

  const TCall missing = method(docs.dispatch(), L"Open", args1(TVariant::fromString(other + L".none")));
  EXPECT_EQ(missing.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(get(doc.dispatch(), L"FullName").text(), full);
}

TEST_F(StandinCadServer, SlowCallsWaitBeforeTheyAnswer) {
  ASSERT_NO_FATAL_FAILURE(startAndConnect({L"--slow=300"}));
  const ULONGLONG start = GetTickCount64();
  const TCall docs = get(FApp.get(), L"Documents");
  ASSERT_EQ(docs.hr, S_OK);
  EXPECT_GE(GetTickCount64() - start, 300u);
  // A document is found by its file name as well as by its index.
  const std::wstring name = FDrawing.substr(FDrawing.find_last_of(L'\\') + 1);
  const TCall byName = method(docs.dispatch(), L"Item", args1(TVariant::fromString(name)));
  ASSERT_EQ(byName.hr, S_OK);
  EXPECT_EQ(get(byName.dispatch(), L"Name").text(), name);
  EXPECT_EQ(method(docs.dispatch(), L"Item", args1(TVariant::fromInt32(1))).hr, DISP_E_EXCEPTION);
}

TEST_F(StandinCadServer, ExitsAfterServingTheGivenNumberOfCalls) {
  ASSERT_NO_FATAL_FAILURE(startAndConnect({L"--exit-after=2"}));
  EXPECT_EQ(get(FApp.get(), L"HWND").hr, S_OK);
  EXPECT_EQ(get(FApp.get(), L"Documents").hr, S_OK);
  DWORD code = 1;
  ASSERT_TRUE(FStandin.waitForExit(15000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(FAILED(get(FApp.get(), L"HWND").hr));
}

TEST_F(StandinCadServer, RefusedCallsFailUntilTheCountIsUsedUp) {
  // Activation and reference counting are never refused, so connecting works.
  ASSERT_NO_FATAL_FAILURE(startAndConnect({L"--reject-calls=2", L"--reject-type=rejected"}));
  const TCall first = get(FApp.get(), L"HWND");  // its name lookup is refused
  EXPECT_EQ(first.hr, RPC_E_CALL_REJECTED);
  const TCall second = get(FApp.get(), L"HWND");  // the lookup passes, the call is refused
  EXPECT_EQ(second.hr, RPC_E_CALL_REJECTED);
  const TCall third = get(FApp.get(), L"HWND");
  EXPECT_EQ(third.hr, S_OK);
  EXPECT_EQ(third.value.type(), VT_I8);
}

TEST_F(StandinCadServer, RefusalsCanBeginAfterAGivenMemberWasServed) {
  const std::wstring log = temp(L"standin-rejects");
  ASSERT_NO_FATAL_FAILURE(startAndConnect(
      {L"--reject-calls=2", L"--reject-type=rejected", L"--reject-after=Documents", L"--call-log=" + log}));
  EXPECT_EQ(get(FApp.get(), L"HWND").hr, S_OK);
  EXPECT_EQ(get(FApp.get(), L"Documents").hr, S_OK);
  EXPECT_EQ(get(FApp.get(), L"HWND").hr, RPC_E_CALL_REJECTED);
  EXPECT_EQ(get(FApp.get(), L"HWND").hr, RPC_E_CALL_REJECTED);
  EXPECT_EQ(get(FApp.get(), L"HWND").hr, S_OK);
  std::vector<std::string> logged = standin_test::readLines(log);
  ASSERT_FALSE(logged.empty());
  logged.erase(logged.begin());  // "pid N"
  EXPECT_EQ(logged, (std::vector<std::string>{"HWND", "Documents", "rejected", "rejected", "HWND"}));
}

TEST_F(StandinCadServer, WithoutADocumentThereIsNoActiveDocument) {
  ASSERT_NO_FATAL_FAILURE(startAndConnect({L"--no-document"}));
  const TCall docs = get(FApp.get(), L"Documents");
  EXPECT_EQ(get(docs.dispatch(), L"Count").number(), 0);
  const TCall active = get(FApp.get(), L"ActiveDocument");
  EXPECT_EQ(active.hr, DISP_E_EXCEPTION);
  EXPECT_FALSE(active.message.empty());
}

TEST_F(StandinCadServer, AnUnknownSwitchEndsTheProcessWithoutAWindow) {
  ASSERT_TRUE(FStandin.start({FDrawing, L"--auto-select=sideways"}));
  DWORD code = 0;
  ASSERT_TRUE(FStandin.waitForExit(15000, &code));
  EXPECT_EQ(code, 2u);
  EXPECT_EQ(FStandin.findWindow(), nullptr);
}

TEST_F(StandinCadServer, WithoutRegistrationTheWindowIsThereButNoServer) {
  ASSERT_TRUE(FStandin.start({FDrawing, L"--no-register"}));
  ASSERT_NE(FStandin.waitForWindow(), nullptr);
  TComPtr<IUnknown> unknown;
  EXPECT_TRUE(FAILED(
      CoCreateInstance(kApplicationClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, unknown.receiveVoid())));
}

// Each activation reaches the class object and the one application object
// through the stubs made when the stand-in started. A client that lets go of
// everything between two activations would otherwise have the stand-in tear
// down and rebuild their stubs each time, and tearing one down waits for the
// calls in flight on its interfaces, a wait that under load never ended.
TEST_F(StandinCadServer, EveryActivationMeetsTheSameClassObjectAndApplication) {
  ASSERT_TRUE(FStandin.start({FDrawing}));
  ASSERT_NE(FStandin.waitForWindow(), nullptr);
  std::uint64_t factoryIds[2] = {};
  std::uint64_t applicationIds[2] = {};
  for (int round = 0; round < 2; ++round) {
    TComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(kApplicationClass, CLSCTX_LOCAL_SERVER, nullptr, IID_IClassFactory,
                               factory.receiveVoid()),
              S_OK);
    factoryIds[round] = serverObjectId(factory.get(), IID_IClassFactory);
    TComPtr<IDispatch> application;
    ASSERT_EQ(factory->CreateInstance(nullptr, kApplicationIid, application.receiveVoid()), S_OK);
    factory.reset();
    applicationIds[round] = serverObjectId(application.get(), kApplicationIid);
    // The application serves its document once the client let go of the factory.
    const TCall document = get(application.get(), L"ActiveDocument");
    ASSERT_EQ(document.hr, S_OK);
    EXPECT_EQ(get(document.dispatch(), L"Name").hr, S_OK);
  }
  EXPECT_NE(factoryIds[0], 0u);
  EXPECT_EQ(factoryIds[1], factoryIds[0]) << "the class object was exported anew for the second activation";
  EXPECT_NE(applicationIds[0], 0u);
  EXPECT_EQ(applicationIds[1], applicationIds[0]) << "the second activation met another application object";
}

// Where a drawing point lies in the view's client area after a ZoomWindow,
// measured as the client measures the drawing area.
struct TViewMap {
  double cx = 0;
  double cy = 0;
  double unitsPerPixel = 1;
  int width = 0;
  int height = 0;

  LPARAM at(double x, double y) const {
    const int px = static_cast<int>(std::lround(width / 2.0 + (x - cx) / unitsPerPixel));
    const int py = static_cast<int>(std::lround(height / 2.0 - (y - cy) / unitsPerPixel));
    return MAKELPARAM(px, py);
  }
};

// Gestures posted into the view as a user would make them with the mouse.
void drag(HWND view, const TViewMap& map, double x1, double y1, double x2, double y2) {
  PostMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, map.at(x1, y1));
  PostMessageW(view, WM_MOUSEMOVE, MK_LBUTTON, map.at((x1 + x2) / 2, (y1 + y2) / 2));
  PostMessageW(view, WM_LBUTTONUP, 0, map.at(x2, y2));
}
void click(HWND view, const TViewMap& map, double x, double y) {
  PostMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, map.at(x, y));
  PostMessageW(view, WM_LBUTTONUP, 0, map.at(x, y));
}

class StandinCadSelection : public StandinCadServer {
 protected:
  // Starts without a scripted selection, zooms to a known box and notes how
  // drawing points map to the view.
  void startForGestures() {
    ASSERT_NO_FATAL_FAILURE(startAndConnect({}));
    FDoc = get(FApp.get(), L"ActiveDocument");
    ASSERT_EQ(FDoc.hr, S_OK);
    const TCall hwnd = get(FDoc.dispatch(), L"HWND");
    ASSERT_EQ(hwnd.value.type(), VT_I8);
    const HWND document = reinterpret_cast<HWND>(static_cast<LONG_PTR>(hwnd.value.get().llVal));
    const HWND bar = GetWindow(document, GW_CHILD);
    FView = GetWindow(bar, GW_HWNDNEXT);
    ASSERT_NE(FView, nullptr);
    RECT barRect{};
    RECT viewRect{};
    GetWindowRect(bar, &barRect);
    GetWindowRect(FView, &viewRect);
    FMap.width = viewRect.right - viewRect.left;
    FMap.height = (viewRect.bottom - viewRect.top) - (barRect.bottom - barRect.top);
    ASSERT_EQ(method(FApp.get(), L"ZoomWindow", args2(point(-20, -20, 0), point(160, 50, 0))).hr, S_OK);
    const TCall size = method(FDoc.dispatch(), L"GetVariable", args1(TVariant::fromString(L"VIEWSIZE")));
    ASSERT_EQ(size.value.type(), VT_R8);
    FMap.cx = 70;
    FMap.cy = 15;
    FMap.unitsPerPixel = size.value.get().dblVal / FMap.height;
    FSet = method(get(FDoc.dispatch(), L"SelectionSets").dispatch(), L"Add", args1(TVariant::fromString(L"ss")));
    ASSERT_EQ(FSet.hr, S_OK);
  }

  // Runs SelectOnScreen while another thread, once the view shows the
  // selection prompt, posts the gestures.
  TCall selectWith(const std::function<void()>& gestures) {
    std::thread user([&] {
      const bool started = standin_test::waitFor(
          [&] {
            wchar_t text[64] = {};
            GetWindowTextW(FView, text, 64);
            return std::wstring(text).rfind(L"オブジェクトを選択", 0) == 0;
          },
          15000);
      if (started) {
        gestures();
      } else {
        PostMessageW(FView, WM_KEYDOWN, VK_ESCAPE, 0);  // never leave the call hanging
      }
    });
    TCall result = method(FSet.dispatch(), L"SelectOnScreen", filterArgs({0}, {L"TEXT,*LINE"}));
    user.join();
    return result;
  }

  std::vector<std::wstring> selectedHandles() {
    std::vector<std::wstring> handles;
    const long n = get(FSet.dispatch(), L"Count").number();
    for (long i = 0; i < n; ++i) {
      const TCall item = method(FSet.dispatch(), L"Item", args1(TVariant::fromInt32(i)));
      handles.push_back(get(item.dispatch(), L"Handle").text());
    }
    std::sort(handles.begin(), handles.end());
    return handles;
  }

  TCall FDoc;
  TCall FSet;
  HWND FView = nullptr;
  TViewMap FMap;
};

TEST_F(StandinCadSelection, WindowCrossingAndClickThenEnter) {
  ASSERT_NO_FATAL_FAILURE(startForGestures());
  const TCall selected = selectWith([&] {
    // Left to right around the header row: its texts and the two lines wholly inside.
    drag(FView, FMap, -2, 19, 122, 31);
    // Right to left over a small box on the second column line: crossing takes it.
    drag(FView, FMap, 41, 6, 39, 4);
    // A click on the first column line, then Enter; the circle is filtered out anyway.
    click(FView, FMap, 0, 5);
    click(FView, FMap, 145, 15);
    PostMessageW(FView, WM_KEYDOWN, VK_RETURN, 0);
  });
  ASSERT_EQ(selected.hr, S_OK) << std::string(selected.message.begin(), selected.message.end());
  EXPECT_EQ(selectedHandles(), (std::vector<std::wstring>{L"31", L"32", L"37", L"38", L"39", L"3A", L"3B"}));
}

TEST_F(StandinCadSelection, RightClickEndsAndEscapeCancels) {
  ASSERT_NO_FATAL_FAILURE(startForGestures());
  const TCall ended = selectWith([&] {
    click(FView, FMap, 120, 25);
    PostMessageW(FView, WM_RBUTTONUP, 0, FMap.at(60, 40));
  });
  ASSERT_EQ(ended.hr, S_OK);
  EXPECT_EQ(selectedHandles(), (std::vector<std::wstring>{L"34"}));

  ASSERT_EQ(method(FSet.dispatch(), L"Clear").hr, S_OK);
  const TCall cancelled = selectWith([&] {
    drag(FView, FMap, -2, -2, 122, 32);
    PostMessageW(FView, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(cancelled.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(cancelled.message, L"Selection cancelled");
  EXPECT_EQ(get(FSet.dispatch(), L"Count").number(), 0);
}

TEST_F(StandinCadSelection, WhatIsErasedWhileSelectingIsLeftOut) {
  ASSERT_NO_FATAL_FAILURE(startForGestures());
  HRESULT erased = E_FAIL;
  const TCall selected = selectWith([&] {
    drag(FView, FMap, -2, 19, 122, 31);  // the header row: 5 entities
    // Another client erases one of them before the user ends the selection.
    const TComInit com;
    TComPtr<IUnknown> unknown;
    TComPtr<IDispatch> app;
    if (SUCCEEDED(CoCreateInstance(kApplicationClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                   unknown.receiveVoid())) &&
        SUCCEEDED(unknown.queryInterface(kApplicationIid, app))) {
      const TCall doc = get(app.get(), L"ActiveDocument");
      const TCall text = method(doc.dispatch(), L"HandleToObject", args1(TVariant::fromString(L"3A")));
      erased = method(text.dispatch(), L"Erase").hr;
    }
    PostMessageW(FView, WM_KEYDOWN, VK_RETURN, 0);
  });
  ASSERT_EQ(erased, S_OK);
  ASSERT_EQ(selected.hr, S_OK);
  EXPECT_EQ(selectedHandles(), (std::vector<std::wstring>{L"37", L"38", L"39", L"3B"}));
}

}  // namespace
