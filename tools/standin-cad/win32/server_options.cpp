#include "server_options.h"

#include <cwchar>

namespace {

bool startsWith(const std::wstring& s, const std::wstring& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

bool parseInt(const std::wstring& text, int& out) {
  if (text.empty()) {
    return false;
  }
  wchar_t* end = nullptr;
  const long v = std::wcstol(text.c_str(), &end, 10);
  if (end == nullptr || *end != L'\0' || v < 0 || v > 100000000) {
    return false;
  }
  out = static_cast<int>(v);
  return true;
}

bool parseBox(const std::wstring& text, double (&box)[4]) {
  const wchar_t* p = text.c_str();
  for (int i = 0; i < 4; ++i) {
    wchar_t* end = nullptr;
    box[i] = std::wcstod(p, &end);
    if (end == p) {
      return false;
    }
    p = end;
    if (i < 3) {
      if (*p != L',') {
        return false;
      }
      ++p;
    }
  }
  return *p == L'\0';
}

bool parseAutoSelect(const std::wstring& value, TServerOptions& o) {
  if (value == L"all") {
    o.autoSelect = TAutoSelectMode::All;
    return true;
  }
  if (value == L"cancel") {
    o.autoSelect = TAutoSelectMode::Cancel;
    return true;
  }
  if (startsWith(value, L"window:")) {
    o.autoSelect = TAutoSelectMode::Window;
    return parseBox(value.substr(7), o.autoBox);
  }
  if (startsWith(value, L"crossing:")) {
    o.autoSelect = TAutoSelectMode::Crossing;
    return parseBox(value.substr(9), o.autoBox);
  }
  return false;
}

bool isMalformKind(const std::wstring& kind) {
  for (const wchar_t* k : {L"wrongtype", L"point2", L"point4", L"odd", L"empty", L"2d", L"billion"}) {
    if (kind == k) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool parseServerOptions(const std::vector<std::wstring>& args, TServerOptions& o, std::wstring* error) {
  for (const std::wstring& a : args) {
    bool ok = true;
    if (!startsWith(a, L"--")) {
      if (!o.drawingPath.empty()) {
        ok = false;
      } else {
        o.drawingPath = a;
      }
    } else if (startsWith(a, L"--auto-select=")) {
      ok = parseAutoSelect(a.substr(14), o);
    } else if (startsWith(a, L"--auto-select-delay=")) {
      ok = parseInt(a.substr(20), o.autoSelectDelayMs);
    } else if (startsWith(a, L"--call-log=")) {
      o.callLogPath = a.substr(11);
      ok = !o.callLogPath.empty();
    } else if (startsWith(a, L"--reject-calls=")) {
      ok = parseInt(a.substr(15), o.rejectCalls);
    } else if (startsWith(a, L"--reject-after=")) {
      o.rejectAfter = a.substr(15);
      ok = !o.rejectAfter.empty();
    } else if (startsWith(a, L"--reject-type=")) {
      const std::wstring v = a.substr(14);
      ok = v == L"later" || v == L"rejected";
      o.rejectHard = v == L"rejected";
    } else if (startsWith(a, L"--fail=")) {
      const std::wstring v = a.substr(7);
      const std::size_t colon = v.find(L':');
      ok = colon != std::wstring::npos && colon > 0;
      if (ok) {
        o.failMember = v.substr(0, colon);
        o.failMessage = v.substr(colon + 1);
      }
    } else if (startsWith(a, L"--fail-from=")) {
      ok = parseInt(a.substr(12), o.failFrom) && o.failFrom > 0;
    } else if (startsWith(a, L"--fail-count=")) {
      ok = parseInt(a.substr(13), o.failCount);
    } else if (startsWith(a, L"--exit-member=")) {
      o.exitMember = a.substr(14);
      ok = !o.exitMember.empty();
    } else if (startsWith(a, L"--malform=")) {
      const std::wstring v = a.substr(10);
      const std::size_t colon = v.find(L':');
      ok = colon != std::wstring::npos && colon > 0;
      if (ok) {
        o.malformMember = v.substr(0, colon);
        o.malformKind = v.substr(colon + 1);
        ok = isMalformKind(o.malformKind);
      }
    } else if (startsWith(a, L"--slow=")) {
      ok = parseInt(a.substr(7), o.slowMs);
    } else if (startsWith(a, L"--exit-after=")) {
      ok = parseInt(a.substr(13), o.exitAfter) && o.exitAfter > 0;
    } else if (a == L"--no-register") {
      o.noRegister = true;
    } else if (startsWith(a, L"--save-on-close=")) {
      o.saveOnClosePath = a.substr(16);
      ok = !o.saveOnClosePath.empty();
    } else if (a == L"--no-document") {
      o.noDocument = true;
    } else if (startsWith(a, L"--title=")) {
      o.title = a.substr(8);
      ok = !o.title.empty();
    } else if (startsWith(a, L"--clsid=")) {
      // Checked in full where it is turned into a class id.
      o.clsid = a.substr(8);
      ok = o.clsid.size() == 38 && o.clsid.front() == L'{' && o.clsid.back() == L'}';
    } else {
      ok = false;
    }
    if (!ok) {
      if (error != nullptr) {
        *error = L"invalid argument: " + a;
      }
      return false;
    }
  }
  return true;
}
