// The main window as the user meets it right after start: title, instruction text, controls,
// frame, focus and tab order, and what the keys do.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>
#include <vector>

#include "e2e/app_driver.h"
#include "e2e/e2e_support.h"
#include "support/temp_directory.h"

namespace mojifix::e2e {
namespace {

std::string upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

std::string instructionText() {
  const std::pair<const char*, int> lines[] = {
      {"●使用方法", 1},
      {"同意するボタンを押すだけ(^_^)", 1},
      {"正常に処理が終了するとパソコンをリセットするか聞いてきますので指示にしたがってください", 1},
      {"これで、とりあえず履歴とコンタクトリストで日本語が表示できます。", 2},
      {"●動作原理", 1},
      {"ICQ道場で説明しているwin.iniファイルにフォントを追加する方法を", 1},
      {"単にプログラムで自動化しただけのものです。", 1},
      {"パソコンに詳しい人にはこのプログラムは無用の長物です。ハイ", 1},
      {"パソコンに明るくないまたは単なる面度臭がりやさんを対象に", 1},
      {"本プログラムは作成しています。", 2},
      {"●免責のお願い", 1},
      {"問題が起こらないことを前提に作成しておりますが、", 1},
      {"万が一何らかの原因で問題が発生した場合責任は取れ", 1},
      {"ませんのであしからず", 0},
  };
  std::string text;
  for (const auto& [line, breaks] : lines) {
    text += line;
    for (int i = 0; i < breaks; ++i) text += "\r\n";
  }
  return text;
}

class MainWindow : public ::testing::Test {
 protected:
  mojifix::testing::TempDirectory windowsDirectory;
  App app{windowsDirectory.path()};

  LONG style(HWND hwnd) const { return GetWindowLongW(hwnd, GWL_STYLE); }
};

TEST_F(MainWindow, TitleCarriesTheVersion) {
  EXPECT_EQ(
      windowText(app.window()),
      "とりあえずＩＣＱ９９ａの履歴とコンタクトリストで日本語が使える様にするプログラムVer.0.91");
}

TEST_F(MainWindow, ShowsTheInstructionTextReadOnly) {
  HWND text = app.control(kText);
  EXPECT_EQ(windowText(text), instructionText());
  // A typed character must not reach the text. The selection posted behind it shows when the
  // program has taken the character.
  PostMessageW(text, WM_CHAR, L'x', 1);
  PostMessageW(text, EM_SETSEL, 2, 3);
  ASSERT_TRUE(pollUntil(5s, [text] {
    DWORD_PTR selection = 0;
    SendMessageTimeoutW(text, EM_GETSEL, 0, 0, SMTO_NORMAL, 5000, &selection);
    return selection == MAKELONG(2, 3);
  }));
  EXPECT_EQ(windowText(text), instructionText());
}

TEST_F(MainWindow, HasAFixedFrameWithACloseBoxOnly) {
  const LONG frame = style(app.window());
  EXPECT_TRUE(frame & WS_CAPTION);
  EXPECT_TRUE(frame & WS_SYSMENU);
  EXPECT_FALSE(frame & WS_MINIMIZEBOX);
  EXPECT_FALSE(frame & WS_MAXIMIZEBOX);
  EXPECT_FALSE(frame & WS_THICKFRAME);
  EXPECT_FALSE(GetWindowLongW(app.window(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  RECT client;
  GetClientRect(app.window(), &client);
  EXPECT_EQ(client.right - client.left, 459);
  EXPECT_EQ(client.bottom - client.top, 164);
}

TEST_F(MainWindow, LaysOutItsControlsInTabOrder) {
  const struct {
    int id;
    const char* kind;
    const char* caption;  // nullptr: any
    RECT place;           // left, top, width, height
  } controls[] = {
      {kAgree, "BUTTON", "同意する", {4, 116, 105, 45}},
      {kText, "EDIT", nullptr, {0, 0, 457, 113}},
      {kDisagree, "BUTTON", "同意しない", {112, 116, 105, 45}},
      {kExit, "BUTTON", "終了", {220, 116, 105, 45}},
      {kLabel, "STATIC", nullptr, {356, 144, 57, 13}},
      {kRemove, "BUTTON", "解除", {404, 116, 53, 25}},
  };
  // Creation order is the order of the child list, which the dialog manager walks on Tab.
  std::vector<int> order;
  for (HWND child = GetWindow(app.window(), GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    order.push_back(GetDlgCtrlID(child));
  }
  EXPECT_EQ(order, (std::vector<int>{kAgree, kText, kDisagree, kExit, kLabel, kRemove}));

  for (const auto& expected : controls) {
    SCOPED_TRACE("control " + std::to_string(expected.id));
    HWND hwnd = app.control(expected.id);
    EXPECT_EQ(upper(className(hwnd)), expected.kind);
    if (expected.caption) {
      EXPECT_EQ(windowText(hwnd), expected.caption);
    }
    const RECT place = clientRect(hwnd, app.window());
    EXPECT_EQ(place.left, expected.place.left);
    EXPECT_EQ(place.top, expected.place.top);
    EXPECT_EQ(place.right - place.left, expected.place.right);
    EXPECT_EQ(place.bottom - place.top, expected.place.bottom);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    if (expected.kind == std::string("BUTTON")) {
      // Neither the default button nor any other kind of button.
      EXPECT_EQ(style(hwnd) & BS_TYPEMASK, BS_PUSHBUTTON);
      EXPECT_TRUE(style(hwnd) & WS_TABSTOP);
    }
  }

  const LONG text = style(app.control(kText));
  EXPECT_TRUE(text & ES_MULTILINE);
  EXPECT_TRUE(text & ES_READONLY);
  EXPECT_TRUE(text & WS_VSCROLL);
  EXPECT_TRUE(text & WS_TABSTOP);
  // Word wrap: no horizontal scrolling.
  EXPECT_FALSE(text & ES_AUTOHSCROLL);
  EXPECT_FALSE(text & WS_HSCROLL);
  EXPECT_FALSE(style(app.control(kLabel)) & WS_TABSTOP);
}

TEST_F(MainWindow, StartsWithTheFocusOnAgreeAndTabsThroughTheControls) {
  // Under Wine the window becomes active a moment after it shows, and holds the focus itself
  // until it hands the focus on to a control.
  pollUntil(5s, [&] { return app.focus() != nullptr && app.focus() != app.window(); });
  ASSERT_EQ(GetDlgCtrlID(app.focus()), kAgree);

  const struct {
    bool shift;
    std::vector<int> visits;
  } walks[] = {{false, {kText, kDisagree, kExit, kRemove, kAgree}},
               {true, {kRemove, kExit, kDisagree, kText, kAgree}}};
  for (const auto& walk : walks) {
    SCOPED_TRACE(walk.shift ? "Shift+Tab" : "Tab");
    std::vector<int> visited;
    for (std::size_t i = 0; i < walk.visits.size(); ++i) {
      visited.push_back(GetDlgCtrlID(app.pressTab(walk.shift)));
    }
    EXPECT_EQ(visited, walk.visits);
  }
}

enum class Step {
  Tab,
  ShiftTab,
  Enter,
  Space,
  Escape,
  MouseOnRemove,     // pressed on 解除 and released off it: the focus moves, nothing is clicked
  MouseSelectsText,  // a drag across the first line of Text1
  NoToAgreeBox,  // the confirmation of 同意する shows, is answered No, and the button has the
                 // focus again
  NoToRemoveBox,
};

struct KeyCase {
  const char* name;
  std::vector<Step> steps;
  int then;  // where a last Tab takes the focus; 0: the program has ended instead
};

void PrintTo(const KeyCase& c, std::ostream* out) { *out << c.name; }

class Keys : public MainWindow, public ::testing::WithParamInterface<KeyCase> {
 protected:
  DWORD selection() const {
    return static_cast<DWORD>(SendMessageW(app.control(kText), EM_GETSEL, 0, 0));
  }

  // Tab or Shift+Tab; entering Text1 that way selects nothing. Returns where the focus went.
  int tab(bool shift) {
    const int reached = GetDlgCtrlID(app.pressTab(shift));
    if (reached == kText) {
      EXPECT_EQ(selection(), 0u) << "Tab selected text";
    }
    return reached;
  }

  void mouse(int id, POINT down, POINT up) const {
    HWND control = app.control(id);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
    PostMessageW(control, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(up.x, up.y));
    PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
  }

  void run(Step step) {
    switch (step) {
      case Step::Tab:
      case Step::ShiftTab:
        tab(step == Step::ShiftTab);
        return;
      case Step::Enter:
        return app.press(VK_RETURN);
      case Step::Space:
        return app.press(VK_SPACE);
      case Step::Escape:
        return app.press(VK_ESCAPE);
      case Step::MouseOnRemove:
        mouse(kRemove, {20, 10}, {-20, -10});
        ASSERT_EQ(app.waitForFocus(kRemove), kRemove);
        return;
      case Step::MouseSelectsText: {
        mouse(kText, {4, 4}, {80, 4});
        ASSERT_EQ(app.waitForFocus(kText), kText);
        for (int i = 0; i < 100 && LOWORD(selection()) == HIWORD(selection()); ++i) {
          std::this_thread::sleep_for(10ms);
        }
        ASSERT_NE(LOWORD(selection()), HIWORD(selection())) << "the mouse selected nothing";
        return;
      }
      case Step::NoToAgreeBox:
      case Step::NoToRemoveBox: {
        const int button = step == Step::NoToAgreeBox ? kAgree : kRemove;
        expectBox(app, confirmation(button), IDNO, "");
        ASSERT_EQ(app.waitForFocus(button), button) << "the focus did not come back";
        return;
      }
    }
  }
};

// Enter and Space click the focused button however the focus came to it; nothing else reacts to
// Enter or Escape, and no button ever looks like the default one.
TEST_P(Keys, ActOnTheFocusedControlOnly) {
  const KeyCase& c = GetParam();
  ASSERT_EQ(app.waitForFocus(kAgree), kAgree);
  for (const Step step : c.steps) run(step);
  if (c.then == 0) return app.waitForExit();

  // The keys before it were handled by the time this Tab moves the focus.
  EXPECT_EQ(tab(false), c.then);
  EXPECT_FALSE(app.currentBox());
  EXPECT_TRUE(app.running());
  for (const int button : {kAgree, kDisagree, kExit, kRemove}) {
    EXPECT_EQ(style(app.control(button)) & BS_TYPEMASK, BS_PUSHBUTTON) << "button " << button;
  }
}

using S = Step;
INSTANTIATE_TEST_SUITE_P(
    , Keys,
    ::testing::Values(KeyCase{"EnterAtStartAndAfterTheBox",
                              {S::Enter, S::NoToAgreeBox, S::Enter, S::NoToAgreeBox},
                              kText},
                      KeyCase{"SpaceAtStart", {S::Space, S::NoToAgreeBox}, kText},
                      KeyCase{
                          "EnterAfterShiftTab", {S::ShiftTab, S::Enter, S::NoToRemoveBox}, kAgree},
                      KeyCase{"EnterAfterTabToDisagree", {S::Tab, S::Tab, S::Enter}, 0},
                      KeyCase{"EnterAfterShiftTabToExit", {S::ShiftTab, S::ShiftTab, S::Enter}, 0},
                      KeyCase{"EnterAfterTheMouseTookTheFocusFromATabbedButton",
                              {S::Tab, S::Tab, S::MouseOnRemove, S::Enter, S::NoToRemoveBox},
                              kAgree},
                      KeyCase{"EnterAndEscapeInText", {S::Tab, S::Enter, S::Escape}, kDisagree},
                      KeyCase{"EscapeOnAButton", {S::Escape}, kText},
                      KeyCase{"TabIntoTextDropsAMouseSelection",
                              {S::MouseSelectsText, S::Tab, S::ShiftTab},
                              kDisagree}),
    [](const auto& info) { return std::string(info.param.name); });

// Under Wine the names of window classes share the global atom table. This holds every name
// present when it is made but one, and fill() takes the free entries: only a new class name then
// finds no room. Everything is released when it goes.
class FullAtomTable {
 public:
  explicit FullAtomTable(const wchar_t* except) {
    for (UINT atom = 0xC000; atom <= 0xFFFF; ++atom) {
      wchar_t name[256];
      if (GlobalGetAtomNameW(static_cast<ATOM>(atom), name, 256) == 0) continue;
      if (lstrcmpiW(name, except) != 0) atoms_.push_back(GlobalAddAtomW(name));
    }
  }
  // Takes every free entry.
  void fill() {
    for (int i = 0;; ++i) {
      const ATOM atom = GlobalAddAtomW((L"mojifix-filler-" + std::to_wstring(i)).c_str());
      if (!atom) break;
      atoms_.push_back(atom);
    }
  }
  ~FullAtomTable() {
    for (const ATOM atom : atoms_) GlobalDeleteAtom(atom);
  }
  FullAtomTable(const FullAtomTable&) = delete;
  FullAtomTable& operator=(const FullAtomTable&) = delete;

 private:
  std::vector<ATOM> atoms_;
};

TEST(StartUp, ReportsAWindowClassThatCannotBeRegisteredAndFails) {
  if (!underWine()) GTEST_SKIP() << "only Wine keeps class names in the global atom table";
  mojifix::testing::TempDirectory windowsDirectory;
  std::optional<App> app;
  {
    std::optional<FullAtomTable> table;
    // A first instance brings in every class name the program and its boxes use but its own.
    {
      const App first(windowsDirectory.path());
      table.emplace(L"MojifixForm1");
      closeApp(first);
    }
    table->fill();
    app.emplace(windowsDirectory.path(), false);
    expectBox(*app, {"MOJIFIXを起動できませんでした。", 16, "エラー発生"}, IDOK, "");
  }
  app->waitForExit();
  EXPECT_NE(app->exitCode(), 0u);
}

// The build for Windows 95/98/Me on Windows NT: a copy of it as built (not the model's) under
// another name, which Wine's setting of Windows 95 for MOJIFIX.exe does not reach, stops with its
// box and touches nothing.
TEST(Win9xStartUp, RefusesWindowsNtAndTouchesNothing) {
  WindowsDirectory windows;
  windows.write("win.ini", "[FontSubstitutes]\r\n");
  const Snapshot before = windows.snapshot();
  mojifix::testing::TempDirectory folder;
  const std::wstring copy = folder.file("MOJIFIX_NT.exe").wstring();
  ASSERT_TRUE(CopyFileW(programPath(MOJIFIX_RELEASE_EXE).c_str(), copy.c_str(), TRUE));
  App app(windows.path(), false, copy);
  expectBox(app,
            {"このプログラムはWindows 95/98/Me用です。Windows "
             "7以降では、win32またはwin64のパッケージをお使いください。",
             16, "エラー発生"},
            IDOK, "");
  app.waitForExit();
  EXPECT_NE(app.exitCode(), 0u);
  expectSnapshot(windows.snapshot(), before);
}

}  // namespace
}  // namespace mojifix::e2e
