// Reads a fuzzer's settings file into a new main window, closes it (writing
// the file back) and reads that into a second window: each read gives a
// window that fits the rules (the frame pulled back onto the screen, texts no
// longer than kept), and the second window is the first one again.
// Input: screen width and height, then the file: UTF-16LE after a byte order
// mark, otherwise one character per byte.
#include <cstdio>
#include <cstdlib>
#include <cwctype>

#include "app/morvane_form.h"
#include "app/settings.h"
#include "fake_app_platform.h"
#include "fake_cad.h"
#include "fake_desktop.h"
#include "fuzz_input.h"

namespace {

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "settings invariant broken: %s\n", what);
    std::abort();
  }
}

std::wstring trimmed(const std::wstring& s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && (s[b] == L' ' || s[b] == L'\t')) ++b;
  while (e > b && (s[e - 1] == L' ' || s[e - 1] == L'\t')) --e;
  return s.substr(b, e - b);
}

std::wstring lower(std::wstring s) {
  for (wchar_t& ch : s) ch = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch)));
  return s;
}

// The names the program reads, as the file may spell them in any case.
std::wstring canonical(const std::wstring& name) {
  static const wchar_t* const kNames[] = {kSectionMain, kSectionTarget, L"Left", L"Top", L"chk2", L"chk3",
                                          L"chk4", L"edt1", L"ProgID", L"chk5", L"edt2", L"chk6",
                                          kSectionCad, L"Title", L"CLSID"};
  for (const wchar_t* known : kNames) {
    if (lower(name) == lower(known)) return known;
  }
  return name;
}

// The file's text read as the private profile functions read it: [section]
// lines, key=value lines with blanks trimmed and one pair of surrounding
// quotes taken off the value, names compared without case, the first
// occurrence of a key winning.
void loadProfile(const std::wstring& text, TFakeProfileFile& file) {
  std::wstring section;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    line = trimmed(line);
    if (!line.empty() && line.front() == L'[') {
      const std::size_t close = line.find(L']');
      section = canonical(trimmed(line.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1)));
      continue;
    }
    const std::size_t eq = line.find(L'=');
    if (eq == std::wstring::npos) continue;
    const std::wstring key = canonical(trimmed(line.substr(0, eq)));
    std::wstring value = trimmed(line.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    if (file.find(section, key) == nullptr) file.set(section, key, value);
  }
}

struct TWindowState {
  int left = 0;
  int top = 0;
  bool chk2 = false, chk3 = false, chk4 = false, chk5 = false, chk6 = false;
  std::wstring edt1, edt2, progID;
  std::wstring cadTitle, cadClassId;
  bool operator==(const TWindowState&) const = default;
};

TWindowState createWindow(TFakeAppPlatform& app, TFakeDesktop& desktop, bool closeIt) {
  TFakeCad cad;
  TFakeTextMetrics metrics;
  TMorvaneForm form{TMorvanePorts{desktop, cad, metrics, &app}};
  form.Window.OnReadBounds = [&form] {
    form.Window.Width = 600;
    form.Window.Height = 400;
  };
  form.FormCreate();
  const TWindowState state{form.Window.Left,        form.Window.Top,         form.CheckBox2.Checked(),
                           form.CheckBox3.Checked(), form.CheckBox4.Checked(), form.CheckBox5.Checked(),
                           form.CheckBox6.Checked(), form.Edit1.Text(),        form.Edit2.Text(),
                           form.targetProgID,        form.cadTitle,           form.cadClassId};
  check(std::int64_t{state.left} + 600 <= desktop.screenW, "the window lies past the screen's right edge");
  check(std::int64_t{state.top} + 400 <= desktop.screenH, "the window lies past the screen's bottom edge");
  check(state.edt1.size() <= kMaxSettingLength && state.edt2.size() <= kMaxSettingLength &&
            state.progID.size() <= kMaxSettingLength,
        "a text longer than kept");
  check(!(state.chk2 && state.chk3), "both exclusive check boxes checked");
  check(isCadTitle(state.cadTitle) && classIdForm(state.cadClassId) != TClassIdForm::Malformed,
        "a CAD title or class id in use that cannot be used");
  if (closeIt) check(form.FormCloseQuery(), "the settings could not be written");
  form.FormDestroy();
  return state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TFuzzInput in(data, size);
  TFakeDesktop desktop;
  desktop.screenW = 600 + in.between(0, 255) * 8;
  desktop.screenH = 400 + in.between(0, 255) * 4;
  const std::string bytes = in.restAsBytes();
  std::wstring text;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
  } else {
    for (const char ch : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(ch));
  }
  TFakeAppPlatform app;
  loadProfile(text, app.file());
  const TWindowState first = createWindow(app, desktop, true);
  const TWindowState second = createWindow(app, desktop, false);
  check(first == second, "the settings written back read as another window");
  return 0;
}
