// A small Windows program the end-to-end tests run beside Morvane under Wine:
// it finds windows, reads their texts and states, clicks buttons and reads
// the clipboard, printing what it found as UTF-8 lines.
#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/utf8.h"

namespace {

std::wstring windowText(HWND h) {
  DWORD_PTR n = 0;
  SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &n);
  std::wstring t(static_cast<std::size_t>(n) + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(h, WM_GETTEXT, static_cast<WPARAM>(t.size()), reinterpret_cast<LPARAM>(t.data()),
                      SMTO_ABORTIFHUNG, 2000, &got);
  t.resize(static_cast<std::size_t>(got));
  return t;
}

std::wstring className(HWND h) {
  wchar_t buf[256] = {};
  GetClassNameW(h, buf, 256);
  return buf;
}

struct TFind {
  std::wstring title;
  bool prefix = false;
  HWND found = nullptr;
};

BOOL CALLBACK findTop(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<TFind*>(lp);
  wchar_t buf[512] = {};
  GetWindowTextW(h, buf, 512);
  const std::wstring t = buf;
  if (t == f->title || (f->prefix && t.rfind(f->title, 0) == 0)) {
    f->found = h;
    return FALSE;
  }
  return TRUE;
}

HWND findTopWindow(const std::wstring& title, bool prefix) {
  TFind f{title, prefix, nullptr};
  EnumWindows(findTop, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

BOOL CALLBACK collect(HWND h, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
  return TRUE;
}

std::vector<HWND> descendants(HWND top) {
  std::vector<HWND> all;
  EnumChildWindows(top, collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

HWND parseHwnd(const wchar_t* s) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(_wcstoi64(s, nullptr, 0))); }

HWND findChild(HWND top, const std::wstring& cls, const std::wstring& caption) {
  for (HWND h : descendants(top)) {
    if ((cls == L"*" || _wcsicmp(className(h).c_str(), cls.c_str()) == 0) &&
        (caption == L"*" || windowText(h) == caption)) {
      return h;
    }
  }
  return nullptr;
}

int cmdWaitWindow(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const bool prefix = argc > 4 && std::wstring(argv[4]) == L"prefix";
  const DWORD timeout = argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 20000;
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND h = findTopWindow(argv[2], prefix)) {
      std::printf("%lld\n", static_cast<long long>(reinterpret_cast<INT_PTR>(h)));
      return 0;
    }
    if (GetTickCount() - start > timeout) return 1;
    Sleep(50);
  }
}

// One line per descendant: hwnd, class, id, left top right bottom, visible, enabled, checked
// (a progress bar's position), text.
int cmdChildren(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  HWND top = parseHwnd(argv[2]);
  if (!IsWindow(top)) return 1;
  RECT tr{};
  GetWindowRect(top, &tr);
  std::printf("%lld\t%s\t0\t%ld %ld %ld %ld\t%d\t%d\t-1\t%s\n", static_cast<long long>(reinterpret_cast<INT_PTR>(top)),
              toUtf8(className(top)).c_str(), tr.left, tr.top, tr.right, tr.bottom, IsWindowVisible(top) ? 1 : 0,
              IsWindowEnabled(top) ? 1 : 0, toUtf8(windowText(top)).c_str());
  for (HWND h : descendants(top)) {
    RECT r{};
    GetWindowRect(h, &r);
    const std::wstring cls = className(h);
    long long checked = -1;
    if (_wcsicmp(cls.c_str(), L"Button") == 0) {
      checked = static_cast<long long>(SendMessageW(h, BM_GETCHECK, 0, 0));
    } else if (_wcsicmp(cls.c_str(), L"msctls_progress32") == 0) {
      checked = static_cast<long long>(SendMessageW(h, PBM_GETPOS, 0, 0));
    }
    std::wstring text = windowText(h);
    for (auto& ch : text) {
      if (ch == L'\r') ch = L'\x1e';
      if (ch == L'\n') ch = L'\x1f';
      if (ch == L'\t') ch = L' ';
    }
    std::printf("%lld\t%s\t%d\t%ld %ld %ld %ld\t%d\t%d\t%lld\t%s\n", static_cast<long long>(reinterpret_cast<INT_PTR>(h)),
                toUtf8(cls).c_str(), GetDlgCtrlID(h), r.left, r.top, r.right, r.bottom, IsWindowVisible(h) ? 1 : 0,
                IsWindowEnabled(h) ? 1 : 0, checked, toUtf8(text).c_str());
  }
  return 0;
}

int cmdClick(int argc, wchar_t** argv) {
  if (argc < 5) return 2;
  HWND h = findChild(parseHwnd(argv[2]), argv[3], argv[4]);
  if (!h) return 1;
  PostMessageW(h, BM_CLICK, 0, 0);
  return 0;
}

int cmdPost(int argc, wchar_t** argv) {
  if (argc < 6) return 2;
  HWND h = parseHwnd(argv[2]);
  const UINT msg = static_cast<UINT>(_wcstoi64(argv[3], nullptr, 0));
  PostMessageW(h, msg, static_cast<WPARAM>(_wcstoi64(argv[4], nullptr, 0)), static_cast<LPARAM>(_wcstoi64(argv[5], nullptr, 0)));
  return 0;
}

// Writes the clipboard's Unicode text, as UTF-8 bytes exactly, to a file.
int cmdClipboard(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  std::wstring text;
  bool opened = false;
  for (int i = 0; i < 40 && !opened; ++i) {
    opened = OpenClipboard(nullptr) != FALSE;
    if (!opened) Sleep(50);
  }
  if (!opened) return 1;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = p;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  FILE* f = _wfopen(argv[2], L"wb");
  if (!f) return 1;
  const std::string s = toUtf8(text);
  std::fwrite(s.data(), 1, s.size(), f);
  std::fclose(f);
  return 0;
}

int cmdClearClipboard() {
  if (!OpenClipboard(nullptr)) return 1;
  EmptyClipboard();
  CloseClipboard();
  return 0;
}

// Puts the UTF-8 text of a file on the clipboard, as another program would.
int cmdSetClipboard(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  FILE* f = _wfopen(argv[2], L"rb");
  if (!f) return 1;
  std::string bytes;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
  std::fclose(f);
  const std::wstring text = fromUtf8(bytes);
  bool opened = false;
  for (int i = 0; i < 40 && !opened; ++i) {
    opened = OpenClipboard(nullptr) != FALSE;
    if (!opened) Sleep(50);
  }
  if (!opened) return 1;
  EmptyClipboard();
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (memory != nullptr) {
    auto* target = static_cast<wchar_t*>(GlobalLock(memory));
    text.copy(target, text.size());
    target[text.size()] = L'\0';
    GlobalUnlock(memory);
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
  }
  CloseClipboard();
  return 0;
}

int cmdForeground() {
  HWND h = GetForegroundWindow();
  std::printf("%lld\t%s\n", static_cast<long long>(reinterpret_cast<INT_PTR>(h)), toUtf8(windowText(h)).c_str());
  return 0;
}

// One line per visible top-level window of the process that owns the given
// window (a message box the program showed is one): hwnd, class, title.
int cmdProcessWindows(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  DWORD pid = 0;
  GetWindowThreadProcessId(parseHwnd(argv[2]), &pid);
  if (pid == 0) return 1;
  std::vector<HWND> tops;
  EnumWindows(collect, reinterpret_cast<LPARAM>(&tops));
  for (HWND h : tops) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == pid && IsWindowVisible(h)) {
      std::printf("%lld\t%s\t%s\n", static_cast<long long>(reinterpret_cast<INT_PTR>(h)), toUtf8(className(h)).c_str(),
                  toUtf8(windowText(h)).c_str());
    }
  }
  return 0;
}

// status-panel HWND PART: the text of one panel of a status bar of another
// process. SB_GETTEXT writes through a pointer that no one marshals across
// processes, so the buffer is made in the bar's own process and read back.
int cmdStatusPanel(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  const HWND bar = parseHwnd(argv[2]);
  const WPARAM part = static_cast<WPARAM>(_wtoi(argv[3]));
  DWORD pid = 0;
  GetWindowThreadProcessId(bar, &pid);
  const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) return 1;
  DWORD_PTR length = 0;
  SendMessageTimeoutW(bar, SB_GETTEXTLENGTHW, part, 0, SMTO_ABORTIFHUNG, 2000, &length);
  const SIZE_T chars = static_cast<SIZE_T>(LOWORD(length)) + 1;
  void* const remote = VirtualAllocEx(process, nullptr, chars * sizeof(wchar_t), MEM_COMMIT | MEM_RESERVE,
                                      PAGE_READWRITE);
  int rc = 1;
  if (remote != nullptr) {
    std::wstring text(chars, L'\0');
    DWORD_PTR got = 0;
    SIZE_T read = 0;
    if (SendMessageTimeoutW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 2000,
                            &got) != 0 &&
        ReadProcessMemory(process, remote, text.data(), chars * sizeof(wchar_t), &read) != 0) {
      text.resize(wcsnlen(text.c_str(), chars));
      std::printf("%s\n", toUtf8(text).c_str());
      rc = 0;
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return rc;
}

// memory HWND: the peak working set and peak private bytes, in bytes, of
// the process that owns the window.
int cmdMemory(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  DWORD pid = 0;
  GetWindowThreadProcessId(parseHwnd(argv[2]), &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (process == nullptr) return 1;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  const BOOL ok = GetProcessMemoryInfo(process, &counters, sizeof counters);
  CloseHandle(process);
  if (!ok) return 1;
  std::printf("%llu %llu\n", static_cast<unsigned long long>(counters.PeakWorkingSetSize),
              static_cast<unsigned long long>(counters.PeakPagefileUsage));
  return 0;
}

struct TTitled {
  std::wstring title;
  std::vector<HWND> found;
};

BOOL CALLBACK collectTitled(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<TTitled*>(lp);
  wchar_t buf[512] = {};
  GetWindowTextW(h, buf, 512);
  if (f->title == buf) f->found.push_back(h);
  return TRUE;
}

// windows-titled TITLE: every top-level window of that exact title, one a line.
int cmdWindowsTitled(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  TTitled f{argv[2], {}};
  EnumWindows(collectTitled, reinterpret_cast<LPARAM>(&f));
  for (HWND h : f.found) std::printf("%lld\n", static_cast<long long>(reinterpret_cast<INT_PTR>(h)));
  return 0;
}

struct TDialogFind {
  DWORD pid = 0;
  HWND found = nullptr;
};

BOOL CALLBACK findDialog(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<TDialogFind*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (IsWindowVisible(h) && className(h) == L"#32770" && (f->pid == 0 || pid == f->pid)) {
    f->found = h;
    return FALSE;
  }
  return TRUE;
}

// dialog TIMEOUT_MS [OWNER_HWND]: waits for a visible message box (of the
// owner's process when given); prints its handle, then its static texts.
int cmdDialog(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const DWORD timeout = static_cast<DWORD>(_wtoi(argv[2]));
  TDialogFind f;
  if (argc > 3) GetWindowThreadProcessId(parseHwnd(argv[3]), &f.pid);
  const DWORD start = GetTickCount();
  while (EnumWindows(findDialog, reinterpret_cast<LPARAM>(&f)), f.found == nullptr) {
    if (GetTickCount() - start > timeout) return 1;
    Sleep(50);
  }
  std::printf("%lld\n", static_cast<long long>(reinterpret_cast<INT_PTR>(f.found)));
  for (HWND h : descendants(f.found)) {
    if (_wcsicmp(className(h).c_str(), L"Static") == 0 && !windowText(h).empty()) {
      std::printf("%s\n", toUtf8(windowText(h)).c_str());
    }
  }
  return 0;
}

// hold-clipboard MS [RELEASE_FILE]: keeps the clipboard open, as a busy
// program would, for that long or until the file exists.
int cmdHoldClipboard(int argc, wchar_t** argv) {
  if (argc < 3 || !OpenClipboard(nullptr)) return 1;
  std::printf("held\n");
  std::fflush(stdout);
  const DWORD limit = static_cast<DWORD>(_wtoi(argv[2]));
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < limit) {
    if (argc > 3 && GetFileAttributesW(argv[3]) != INVALID_FILE_ATTRIBUTES) break;
    Sleep(20);
  }
  CloseClipboard();
  return 0;
}

// raise HWND: puts a topmost window back above the others. Without a window
// manager Wine lifts a window it activates (a new one, or the next one when
// another closes) above everything, the topmost band included. The window is
// not activated here: the user's click that follows does that, keyboard
// focus included.
int cmdRaise(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const HWND h = parseHwnd(argv[2]);
  if (!IsWindow(h)) return 1;
  return SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE) ? 0 : 1;
}

// set-clipboard-bitmap: a small picture and no text on the clipboard.
int cmdSetClipboardBitmap() {
  const HBITMAP bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
  if (bitmap == nullptr || !OpenClipboard(nullptr)) return 1;
  EmptyClipboard();
  const bool set = SetClipboardData(CF_BITMAP, bitmap) != nullptr;
  CloseClipboard();
  if (!set) DeleteObject(bitmap);
  return set ? 0 : 1;
}

// list-items HWND: the entries of the first list box in that window, one a line.
int cmdListItems(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  HWND list = findChild(parseHwnd(argv[2]), L"ListBox", L"*");
  if (list == nullptr) return 1;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length == LB_ERR) return 1;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    std::printf("%s\n", toUtf8(text).c_str());
  }
  return 0;
}

// ---- the CAD as another program sees it -------------------------------------
// Plain late-bound calls, written here apart from Morvane's own client: a
// fault shared by both would hide in every test.

// The CAD application class that the stand-in serves.
constexpr CLSID kCadClsid = {0x449354E9, 0xCDD8, 0x4A11, {0xBD, 0x82, 0x0D, 0x4A, 0x3C, 0x21, 0xE7, 0xD2}};

// Calls `member` of `object` (a property get when `get`, else a method) with
// up to two string arguments; the reply's object, or null on any failure.
IDispatch* callByName(IDispatch* object, const wchar_t* member, WORD flags, const std::vector<std::wstring>& args,
                      VARIANT* result) {
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(member);
  if (object == nullptr || FAILED(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) {
    std::fprintf(stderr, "no member %ls\n", member);
    return nullptr;
  }
  std::vector<VARIANT> values(args.size());
  for (std::size_t i = 0; i < args.size(); ++i) {  // arguments go last to first
    VariantInit(&values[i]);
    values[i].vt = VT_BSTR;
    values[i].bstrVal = SysAllocString(args[args.size() - 1 - i].c_str());
  }
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{values.data(), flags == DISPATCH_PROPERTYPUT ? &named : nullptr,
                    static_cast<UINT>(values.size()), flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
  const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
  for (VARIANT& v : values) VariantClear(&v);
  if (FAILED(hr)) {
    std::fprintf(stderr, "%ls failed: 0x%08lx\n", member, static_cast<unsigned long>(hr));
    return nullptr;
  }
  return result->vt == VT_DISPATCH ? result->pdispVal : object;
}

// Puts a point (x, y, 0) into `member` of `object`.
bool putPoint(IDispatch* object, const wchar_t* member, double x, double y) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, 3);
  if (array == nullptr) return false;
  double* values = nullptr;
  SafeArrayAccessData(array, reinterpret_cast<void**>(&values));
  values[0] = x;
  values[1] = y;
  values[2] = 0.0;
  SafeArrayUnaccessData(array);
  VARIANT point;
  VariantInit(&point);
  point.vt = VT_ARRAY | VT_R8;
  point.parray = array;
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(member);
  bool ok = SUCCEEDED(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
  if (ok) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&point, &named, 1, 1};
    ok = SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                                  nullptr));
  }
  VariantClear(&point);
  return ok;
}

// Runs `command` against the running CAD's application object. Each reply
// lands in a slot of `replies`, which holds the objects it names alive until
// the command is done; the slots are cleared whatever it returns. Prints
// "done" and returns 0 when the command succeeded.
template <class Command>
int withCad(Command command) {
  if (FAILED(CoInitialize(nullptr))) return 1;
  int rc = 1;
  IDispatch* app = nullptr;
  if (SUCCEEDED(CoCreateInstance(kCadClsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                 reinterpret_cast<void**>(&app)))) {
    VARIANT replies[4];
    for (VARIANT& v : replies) VariantInit(&v);
    if (command(app, replies)) rc = 0;
    for (VARIANT& v : replies) VariantClear(&v);
    app->Release();
  }
  CoUninitialize();
  if (rc == 0) std::printf("done\n");
  return rc;
}

// cad-copy-text HANDLE TEXT X Y: copies that text of the CAD's active
// drawing, gives the copy the string and moves its alignment point to
// (X, Y), as a user drawing one more text there.
int cmdCadCopyText(int argc, wchar_t** argv) {
  if (argc < 6) return 2;
  return withCad([argv](IDispatch* app, VARIANT* r) {
    IDispatch* doc = callByName(app, L"ActiveDocument", DISPATCH_PROPERTYGET, {}, &r[0]);
    IDispatch* text = callByName(doc, L"HandleToObject", DISPATCH_METHOD, {argv[2]}, &r[1]);
    IDispatch* copy = text != nullptr && text != doc ? callByName(text, L"Copy", DISPATCH_METHOD, {}, &r[2]) : nullptr;
    return copy != nullptr && copy != text && callByName(copy, L"TextString", DISPATCH_PROPERTYPUT, {argv[3]}, &r[3]) &&
           putPoint(copy, L"TextAlignmentPoint", _wtof(argv[4]), _wtof(argv[5]));
  });
}

// cad-open PATH: opens the drawing in the running CAD, as its ファイル → 開く.
// cad-set-text HANDLE TEXT: sets the string of that text in the CAD's
// active drawing, as a user editing it there.
int cmdCad(const std::wstring& cmd, int argc, wchar_t** argv) {
  if (argc < (cmd == L"cad-open" ? 3 : 4)) return 2;
  return withCad([&cmd, argv](IDispatch* app, VARIANT* r) {
    if (cmd == L"cad-open") {
      IDispatch* docs = callByName(app, L"Documents", DISPATCH_PROPERTYGET, {}, &r[0]);
      return callByName(docs, L"Open", DISPATCH_METHOD, {argv[2]}, &r[1]) != nullptr;
    }
    IDispatch* doc = callByName(app, L"ActiveDocument", DISPATCH_PROPERTYGET, {}, &r[0]);
    IDispatch* text = callByName(doc, L"HandleToObject", DISPATCH_METHOD, {argv[2]}, &r[1]);
    return text != nullptr && text != doc && callByName(text, L"TextString", DISPATCH_PROPERTYPUT, {argv[3]}, &r[2]);
  });
}

// sync HWND [MS]: sends the window a message that does nothing and waits
// for the answer: its thread is back at its message loop (or in a modal loop).
int cmdSync(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const UINT timeout = argc > 3 ? static_cast<UINT>(_wtoi(argv[3])) : 30000;
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(parseHwnd(argv[2]), WM_NULL, 0, 0, SMTO_NORMAL, timeout, &answer) != 0 ? 0 : 1;
}

int dispatch(int argc, wchar_t** argv) {
  const std::wstring cmd = argv[1];
  if (cmd == L"wait-window") return cmdWaitWindow(argc, argv);
  if (cmd == L"children") return cmdChildren(argc, argv);
  if (cmd == L"click") return cmdClick(argc, argv);
  if (cmd == L"post") return cmdPost(argc, argv);
  if (cmd == L"clipboard") return cmdClipboard(argc, argv);
  if (cmd == L"clear-clipboard") return cmdClearClipboard();
  if (cmd == L"foreground") return cmdForeground();
  if (cmd == L"process-windows") return cmdProcessWindows(argc, argv);
  if (cmd == L"set-clipboard") return cmdSetClipboard(argc, argv);
  if (cmd == L"dialog") return cmdDialog(argc, argv);
  if (cmd == L"memory") return cmdMemory(argc, argv);
  if (cmd == L"status-panel") return cmdStatusPanel(argc, argv);
  if (cmd == L"windows-titled") return cmdWindowsTitled(argc, argv);
  if (cmd == L"hold-clipboard") return cmdHoldClipboard(argc, argv);
  if (cmd == L"set-clipboard-bitmap") return cmdSetClipboardBitmap();
  if (cmd == L"raise") return cmdRaise(argc, argv);
  if (cmd == L"cad-open" || cmd == L"cad-set-text") return cmdCad(cmd, argc, argv);
  if (cmd == L"sync") return cmdSync(argc, argv);
  if (cmd == L"cad-copy-text") return cmdCadCopyText(argc, argv);
  if (cmd == L"list-items") return cmdListItems(argc, argv);
  return 2;
}

// serve: runs one command per line of standard input (UTF-8, its arguments
// separated by tabs) and ends each reply with a line "\x1d<exit code>". A
// scenario keeps one driver for all its commands, where starting a Wine
// process for each would cost a good part of a second.
int cmdServe() {
  std::string line;
  int c = 0;
  while ((c = std::getchar()) != EOF) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::wstring> args{L"e2e_driver"};
    std::size_t from = 0;
    for (std::size_t tab = line.find('\t'); ; tab = line.find('\t', from)) {
      args.push_back(fromUtf8(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from)));
      if (tab == std::string::npos) break;
      from = tab + 1;
    }
    line.clear();
    std::vector<wchar_t*> argv;
    for (std::wstring& a : args) argv.push_back(a.data());
    const int rc = dispatch(static_cast<int>(argv.size()), argv.data());
    std::printf("\x1d%d\n", rc);
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: e2e_driver serve|sync|wait-window|children|click|post|clipboard|clear-clipboard|foreground|process-windows|set-clipboard|set-clipboard-bitmap|raise|memory|status-panel|windows-titled|dialog|hold-clipboard|cad-open|cad-set-text|cad-copy-text|list-items ...\n");
    return 2;
  }
  if (std::wstring(argv[1]) == L"serve") return cmdServe();
  return dispatch(argc, argv);
}
