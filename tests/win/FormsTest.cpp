// Controls and forms on real windows: class names, WindowProc chains, mouse
// enter and leave, border styles, MDI, application message events, menu
// shortcuts, notifications and clean-up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WinTest.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/Streams.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

// An application form class: its window class is its own class name.
class TSampleForm : public TForm {
  NUV_CLASS(TSampleForm, TForm)
  using TForm::TForm;
};

// A windowed control that records its framework notifications.
class TProbeControl : public TCustomControl {
  NUV_CLASS(TProbeControl, TCustomControl)
  using TCustomControl::TCustomControl;
  std::vector<UINT> seen;
  void WndProc(TMessage& m) override {
    if (m.Msg >= CM_BASE) seen.push_back(m.Msg);  // CM_* and reflected CN_*
    TCustomControl::WndProc(m);
  }
  int Count(UINT msg) const { return static_cast<int>(std::count(seen.begin(), seen.end(), msg)); }
};

// A windowless control that records enter and leave.
class TProbeGraphic : public TGraphicControl {
  NUV_CLASS(TProbeGraphic, TGraphicControl)
  explicit TProbeGraphic(TComponent* owner) : TGraphicControl(owner) {}
  int enters = 0, leaves = 0, paints = 0, clicks = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_MOUSEENTER && m.LParam == 0) ++enters;
    if (m.Msg == CM_MOUSELEAVE && m.LParam == 0) ++leaves;
    TGraphicControl::WndProc(m);
  }
  void Click() override {
    ++clicks;
    TGraphicControl::Click();
  }

 protected:
  void Paint() override {
    ++paints;
    Canvas()->Brush()->SetColor(clRed);
    RECT r{0, 0, Width(), Height()};
    Canvas()->FillRect(r);
  }
};

TForm* NewForm(int left = 100, int top = 100, int width = 400, int height = 300) {
  TForm* form = Create<TForm>(nullptr);
  form->SetBounds(left, top, width, height);
  return form;
}

}  // namespace

TEST(Forms, WindowClassNamesAreFrameworkClassNames) {
  TForm* plain = NewForm();
  TSampleForm* sample = Create<TSampleForm>(nullptr);
  auto* child = Create<TProbeControl>(plain);
  child->SetParent(plain);
  EXPECT_EQ(WindowClassOf(plain->Handle()), "TForm");
  EXPECT_EQ(WindowClassOf(sample->Handle()), "TSampleForm");
  EXPECT_EQ(WindowClassOf(child->Handle()), "TProbeControl");
  EXPECT_EQ(FindControl(child->Handle()), child);
  EXPECT_EQ(GetParentForm(child), plain);
  EXPECT_EQ(::GetParent(child->Handle()), plain->Handle());
  sample->Free();
  plain->Free();
}

TEST(Forms, WindowProcChainsAndUnhooksInAnyOrder) {
  TForm* form = NewForm();
  form->Handle();
  std::string trace;
  auto hookA = std::make_unique<TWindowProcHook>(form, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg == WM_USER + 1) trace += "A";
    next(m);
  });
  auto hookB = std::make_unique<TWindowProcHook>(form, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg == WM_USER + 1) trace += "B";
    next(m);
  });
  ::SendMessageW(form->Handle(), WM_USER + 1, 0, 0);
  EXPECT_EQ(trace, "BA");

  hookA.reset();  // out of order: B stays, A becomes a pass-through
  trace.clear();
  ::SendMessageW(form->Handle(), WM_USER + 1, 0, 0);
  EXPECT_EQ(trace, "B");
  hookB.reset();
  trace.clear();
  ::SendMessageW(form->Handle(), WM_USER + 1, 0, 0);
  EXPECT_EQ(trace, "");
  EXPECT_EQ(::SendMessageW(form->Handle(), WM_GETTEXTLENGTH, 0, 0), 0);  // default processing still works

  // In order: the original WindowProc comes back exactly.
  const TWndMethod original = form->WindowProc;
  {
    TWindowProcHook first(form, [](TMessage& m, const TWndMethod& next) { next(m); });
    TWindowProcHook second(form, [](TMessage& m, const TWndMethod& next) { next(m); });
  }
  EXPECT_TRUE(form->WindowProc == original);

  // A hook that outlives its control does not touch it.
  auto orphan = std::make_unique<TWindowProcHook>(form, [](TMessage& m, const TWndMethod& next) { next(m); });
  form->Free();
  orphan.reset();
}

TEST(Forms, BorderStylesSizeTheClientAndTheFrame) {
  struct Case {
    TFormBorderStyle style;
    bool caption, sizing;
  };
  for (const Case& c : {Case{bsNone, false, false}, Case{bsSingle, true, false}, Case{bsSizeable, true, true},
                        Case{bsDialog, true, false}, Case{bsToolWindow, true, false},
                        Case{bsSizeToolWin, true, true}}) {
    TForm* form = NewForm(80, 80, 300, 200);
    form->SetBorderStyle(c.style);
    form->SetClientWidth(250);
    form->SetClientHeight(150);
    form->Show();
    PumpMessages(30);
    HWND wnd = form->Handle();
    RECT client;
    ::GetClientRect(wnd, &client);
    EXPECT_EQ(client.right, 250) << c.style;
    EXPECT_EQ(client.bottom, 150) << c.style;
    const LONG_PTR style = ::GetWindowLongPtrW(wnd, GWL_STYLE);
    EXPECT_EQ((style & WS_CAPTION) == WS_CAPTION, c.caption) << c.style;
    EXPECT_EQ((style & WS_THICKFRAME) != 0, c.sizing) << c.style;
    const LONG_PTR ex = ::GetWindowLongPtrW(wnd, GWL_EXSTYLE);
    EXPECT_EQ((ex & WS_EX_TOOLWINDOW) != 0, c.style == bsToolWindow || c.style == bsSizeToolWin) << c.style;
    RECT outer;
    ::GetWindowRect(wnd, &outer);
    EXPECT_EQ(form->Width(), outer.right - outer.left);
    EXPECT_EQ(form->ClientWidth(), 250);
    form->Free();
  }
}

TEST(Forms, BorderIconsDecideTheCaptionButtons) {
  TForm* form = NewForm();
  form->SetBorderIcons({biSystemMenu});
  const LONG_PTR style = ::GetWindowLongPtrW(form->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  form->SetBorderIcons({});
  EXPECT_FALSE(::GetWindowLongPtrW(form->Handle(), GWL_STYLE) & WS_SYSMENU);
  form->Free();
}

// Constraints bound sizes set in code at once, and sizes the user drags
// through the system's tracking limits.
TEST(Forms, ConstraintsBoundSetBoundsAndTheTrackingSize) {
  TForm* form = NewForm(100, 100, 400, 300);
  form->Constraints()->SetMinWidth(300);
  form->Constraints()->SetMinHeight(200);
  form->Constraints()->SetMaxWidth(600);
  form->SetBounds(100, 100, 120, 90);  // no window yet
  EXPECT_EQ(form->Width(), 300);
  EXPECT_EQ(form->Height(), 200);
  form->Show();
  PumpMessages(30);
  form->SetBounds(100, 100, 900, 250);
  RECT outer;
  ::GetWindowRect(form->Handle(), &outer);
  EXPECT_EQ(outer.right - outer.left, 600);
  EXPECT_EQ(outer.bottom - outer.top, 250);
  EXPECT_EQ(form->Width(), 600);

  MINMAXINFO info{};  // the system fills its defaults before it asks
  info.ptMaxTrackSize = POINT{5000, 5000};
  ::SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 300);
  EXPECT_EQ(info.ptMinTrackSize.y, 200);
  EXPECT_EQ(info.ptMaxTrackSize.x, 600);
  EXPECT_EQ(info.ptMaxTrackSize.y, 5000);  // no maximum height: the system's stays

  // Raising the minimum grows a form that is now too small.
  form->Constraints()->SetMinHeight(320);
  ::GetWindowRect(form->Handle(), &outer);
  EXPECT_EQ(outer.bottom - outer.top, 320);
  form->Free();
}

TEST(Controls, AlignmentStacksTopControlsByTopAndAnchorsFollowTheParent) {
  TForm* form = NewForm(50, 50, 400, 300);
  form->SetClientWidth(400);
  form->SetClientHeight(300);
  auto* second = Create<TProbeControl>(form);
  second->SetBounds(0, 50, 10, 20);
  second->SetAlign(alTop);
  second->SetParent(form);
  auto* first = Create<TProbeControl>(form);
  first->SetBounds(0, -100, 10, 30);  // negative Top: goes first
  first->SetAlign(alTop);
  first->SetParent(form);
  auto* client = Create<TProbeControl>(form);
  client->SetAlign(alClient);
  client->SetParent(form);
  auto* corner = Create<TProbeControl>(form);
  corner->SetBounds(300, 250, 50, 20);
  corner->SetAnchors({akRight, akBottom});
  corner->SetParent(form);
  auto* stretch = Create<TProbeControl>(form);
  stretch->SetBounds(10, 100, 100, 100);
  stretch->SetAnchors({akLeft, akTop, akBottom});
  stretch->SetParent(form);
  form->Show();
  PumpMessages(30);

  EXPECT_EQ(first->Top(), 0);
  EXPECT_EQ(first->Width(), 400);
  EXPECT_EQ(second->Top(), 30);
  EXPECT_EQ(client->Top(), 50);
  EXPECT_EQ(client->Height(), 250);
  second->SetTop(-200);  // a window moved above the others goes first
  EXPECT_EQ(second->Top(), 0);
  EXPECT_EQ(first->Top(), 20);

  form->SetClientHeight(340);
  form->SetClientWidth(440);
  PumpMessages(30);
  EXPECT_EQ(corner->Left(), 340);
  EXPECT_EQ(corner->Top(), 290);
  EXPECT_EQ(stretch->Top(), 100);
  EXPECT_EQ(stretch->Height(), 140);
  EXPECT_EQ(client->Height(), 290);
  form->Free();
}

TEST(Controls, ParentColorAndFontFollowUntilSetOnTheControl) {
  TForm* form = NewForm();
  auto* c = Create<TProbeControl>(form);
  c->SetParent(form);
  form->SetColor(clNavy);
  EXPECT_EQ(c->Color(), clNavy);
  EXPECT_TRUE(c->ParentColor());
  c->SetColor(clRed);
  EXPECT_FALSE(c->ParentColor());
  form->SetColor(clGreen);
  EXPECT_EQ(c->Color(), clRed);
  c->SetParentColor(true);
  EXPECT_EQ(c->Color(), clGreen);

  form->Font()->SetHeight(-20);
  EXPECT_EQ(c->Font()->Height(), -20);
  c->Font()->SetHeight(-9);
  EXPECT_FALSE(c->ParentFont());
  form->Font()->SetHeight(-14);
  EXPECT_EQ(c->Font()->Height(), -9);
  form->Free();
}

TEST(Controls, FrameworkNotificationsReachWindowProc) {
  TForm* form = NewForm();
  auto* c = Create<TProbeControl>(form);
  c->SetParent(form);
  form->Show();
  c->SetEnabled(false);
  c->SetEnabled(true);
  c->SetText(L"hello");
  c->SetVisible(false);
  c->SetVisible(true);
  const int invalidates = c->Count(CM_INVALIDATE);
  c->Invalidate();
  EXPECT_EQ(c->Count(CM_ENABLEDCHANGED), 2);
  EXPECT_EQ(c->Count(CM_TEXTCHANGED), 1);
  EXPECT_EQ(c->Count(CM_VISIBLECHANGED), 2);
  EXPECT_EQ(c->Count(CM_INVALIDATE), invalidates + 1);
  c->SetFocus();
  PumpMessages(20);
  EXPECT_GE(c->Count(CM_GOTFOCUS), 1);
  EXPECT_EQ(form->ActiveControl(), c);
  form->Free();
}

TEST(Controls, ChildWindowsHaveDistinctIdsSoMeasureItemReachesItsControl) {
  TForm* form = NewForm();
  auto* first = Create<TProbeControl>(form);
  first->SetParent(form);
  auto* second = Create<TProbeControl>(form);
  second->SetParent(form);
  const int id = ::GetDlgCtrlID(second->Handle());
  EXPECT_NE(::GetDlgCtrlID(first->Handle()), id);
  EXPECT_NE(id, 0);
  // WM_MEASUREITEM names its control only by this identifier.
  MEASUREITEMSTRUCT mis{ODT_LISTBOX, static_cast<UINT>(id), 0, 0, 0, 0};
  ::SendMessageW(form->Handle(), WM_MEASUREITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&mis));
  EXPECT_EQ(second->Count(CN_MEASUREITEM), 1);
  EXPECT_EQ(first->Count(CN_MEASUREITEM), 0);
  form->Free();
}

TEST(Forms, AutoScrollRangeFollowsChildrenAddedAndRemoved) {
  TForm* form = NewForm(100, 100, 300, 200);
  form->SetAutoScroll(true);
  form->Show();
  auto style = [&] { return ::GetWindowLongPtrW(form->Handle(), GWL_STYLE); };
  auto* child = Create<TProbeControl>(form);
  child->SetBounds(10, 400, 50, 50);
  child->SetParent(form);
  EXPECT_TRUE(style() & WS_VSCROLL);
  child->Free();
  EXPECT_FALSE(style() & WS_VSCROLL);
  form->Free();
}

TEST(Controls, GraphicControlsArePaintedAndClickedThroughTheirParent) {
  TForm* form = NewForm();
  auto* g = Create<TProbeGraphic>(form);
  g->SetBounds(10, 10, 40, 30);
  g->SetParent(form);
  form->Show();
  PumpUntil([&] { return g->paints > 0; }, 1000);
  EXPECT_GT(g->paints, 0);
  const Image shot = CaptureWindow(form->Handle());
  const POINT origin = form->ClientOrigin();
  RECT wr;
  ::GetWindowRect(form->Handle(), &wr);
  EXPECT_EQ(shot.At(origin.x - wr.left + 20, origin.y - wr.top + 20), RGB(255, 0, 0));
  PostClientClick(form->Handle(), 20, 20);
  PumpMessages(50);
  EXPECT_EQ(g->clicks, 1);
  PostClientClick(form->Handle(), 200, 200);  // beside it
  PumpMessages(50);
  EXPECT_EQ(g->clicks, 1);
  form->Free();
}

TEST(ControlsDesktop, MouseEnterAndLeaveForWindowedAndGraphicControls) {
  TForm* form = NewForm(200, 200, 400, 300);
  auto* panel = Create<TProbeControl>(form);
  panel->SetBounds(20, 20, 100, 80);
  panel->SetParent(form);
  auto* g = Create<TProbeGraphic>(form);
  g->SetBounds(200, 20, 100, 80);
  g->SetParent(form);
  form->Show();
  PumpMessages(100);
  auto moveTo = [&](int x, int y) {
    const POINT p = form->ClientToScreen(POINT{x, y});
    MoveCursorTo(p);
    PumpMessages(80);
  };
  // Under Wine a warped cursor may bounce back once before it settles, so
  // the test checks where the framework ends up and that every enter has
  // its leave, rather than exact counts.
  auto balanced = [&] {
    const int p = panel->Count(CM_MOUSEENTER) - panel->Count(CM_MOUSELEAVE);
    const int q = g->enters - g->leaves;
    return (p == 0 || p == 1) && (q == 0 || q == 1);
  };
  moveTo(5, 150);
  EXPECT_EQ(GetMouseControl(), form);
  moveTo(60, 60);
  EXPECT_EQ(GetMouseControl(), panel);
  EXPECT_GE(panel->Count(CM_MOUSEENTER), 1);
  EXPECT_TRUE(balanced());
  moveTo(250, 60);
  EXPECT_EQ(GetMouseControl(), g);
  EXPECT_EQ(panel->Count(CM_MOUSELEAVE), panel->Count(CM_MOUSEENTER));
  EXPECT_GE(g->enters, 1);
  moveTo(250, 200);
  EXPECT_EQ(GetMouseControl(), form);
  EXPECT_EQ(g->leaves, g->enters);
  moveTo(60, 60);
  EXPECT_EQ(GetMouseControl(), panel);
  EXPECT_TRUE(balanced());
  form->Free();
  EXPECT_EQ(GetMouseControl(), nullptr);
}

TEST(Forms, StreamedFormsKeepTheirControlsInsideTheirParents) {
  TForm* form = NewForm();
  form->SetName("Streamed");
  auto* outer = Create<TProbeControl>(form);
  outer->SetName("Outer");
  outer->SetBounds(10, 20, 100, 80);
  outer->SetParent(form);
  auto* inner = Create<TProbeGraphic>(form);
  inner->SetName("Inner");
  inner->SetParent(outer);
  auto* menu = Create<TMainMenu>(form);
  menu->SetName("Menu");
  auto* loose = Create<TProbeControl>(nullptr);  // parented here, owned by nobody
  loose->SetParent(form);
  TMemoryStream stream;
  stream.WriteComponent(form);
  loose->Free();
  form->Free();
  stream.SetPosition(0);
  auto* copy = dynamic_cast<TForm*>(stream.ReadComponent(nullptr));
  ASSERT_NE(copy, nullptr);
  auto* outer2 = dynamic_cast<TProbeControl*>(copy->FindComponent("Outer"));
  ASSERT_NE(outer2, nullptr);
  EXPECT_EQ(outer2->Parent(), copy);
  auto* inner2 = dynamic_cast<TProbeGraphic*>(copy->FindComponent("Inner"));
  ASSERT_NE(inner2, nullptr);
  EXPECT_EQ(inner2->Parent(), outer2);
  EXPECT_NE(dynamic_cast<TMainMenu*>(copy->FindComponent("Menu")), nullptr);
  EXPECT_EQ(copy->ComponentCount(), 3);
  copy->Free();
}

TEST(Forms, TabMovesTheFocusAndCtrlTabReachesTheChildren) {
  TForm* form = NewForm();
  auto* first = Create<TProbeControl>(form);
  first->SetParent(form);
  first->SetTabStop(true);
  auto* second = Create<TProbeControl>(form);
  second->SetBounds(0, 50, 50, 20);
  second->SetParent(form);
  second->SetTabStop(true);
  form->Show();
  first->SetFocus();
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  const BYTE saved = keys[VK_CONTROL];
  ::SetKeyboardState(keys);  // Ctrl up
  EXPECT_EQ(form->Perform(CM_DIALOGKEY, VK_TAB, 0), 1);
  EXPECT_TRUE(second->Focused());
  EXPECT_EQ(first->Count(CM_DIALOGKEY) + second->Count(CM_DIALOGKEY), 0);
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  form->Perform(CM_DIALOGKEY, VK_TAB, 0);
  keys[VK_CONTROL] = saved;
  ::SetKeyboardState(keys);
  EXPECT_TRUE(second->Focused());
  EXPECT_EQ(first->Count(CM_DIALOGKEY), 1);
  EXPECT_EQ(second->Count(CM_DIALOGKEY), 1);
  form->Free();
}

TEST(Forms, ApplicationEventsSeeMessagesInOrderUntilCancelled) {
  auto* first = Create<TApplicationEvents>(nullptr);
  auto* second = Create<TApplicationEvents>(nullptr);
  std::string trace;
  first->OnMessage = [&](MSG& msg, bool& handled) {
    if (msg.message != WM_USER + 7) return;
    trace += "1";
    if (msg.wParam == 1) {
      handled = true;
      first->CancelDispatch();
    }
  };
  second->OnMessage = [&](MSG& msg, bool&) {
    if (msg.message == WM_USER + 7) trace += "2";
  };
  TForm* form = NewForm();
  int reached = 0;
  TWindowProcHook hook(form, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg == WM_USER + 7) ++reached;
    next(m);
  });
  ::PostMessageW(form->Handle(), WM_USER + 7, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(trace, "12");
  EXPECT_EQ(reached, 1);
  trace.clear();
  ::PostMessageW(form->Handle(), WM_USER + 7, 1, 0);
  Application->ProcessMessages();
  EXPECT_EQ(trace, "1");  // cancelled before the second, and handled
  EXPECT_EQ(reached, 1);
  hook.Unhook();
  form->Free();
  first->Free();
  second->Free();
}

TEST(Forms, MainMenuShortcutsRunTheirItemWhileTheMenuIsSet) {
  TForm* form = NewForm();
  auto* menu = Create<TMainMenu>(form);
  auto* file = Create<TMenuItem>(form);
  file->SetCaption(L"&File");
  menu->Items()->Add(file);
  auto* save = Create<TMenuItem>(form);
  save->SetCaption(L"&Save");
  save->SetShortCut(ShortCut('S', {ssCtrl}));
  int saves = 0;
  save->OnClick = [&](TObject*) { ++saves; };
  file->Add(save);
  form->SetMenu(menu);
  auto* edit = Create<TProbeControl>(form);
  edit->SetParent(form);
  form->Show();
  edit->SetFocus();
  PumpMessages(30);

  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  ::PostMessageW(edit->Handle(), WM_KEYDOWN, 'S', 1);
  Application->ProcessMessages();
  EXPECT_EQ(saves, 1);
  form->SetMenu(nullptr);  // no menu, no shortcut
  ::PostMessageW(edit->Handle(), WM_KEYDOWN, 'S', 1);
  Application->ProcessMessages();
  EXPECT_EQ(saves, 1);
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
  form->Free();
}

TEST(Forms, MdiChildrenAreCreatedActivatedMaximizedCascadedAndClosed) {
  TCustomForm* savedMain = Application->MainForm();
  TForm* frame = NewForm(40, 40, 640, 480);
  frame->SetFormStyle(fsMDIForm);
  Application->SetMainForm(frame);
  frame->Show();
  ASSERT_TRUE(frame->ClientHandle());
  EXPECT_EQ(WindowClassOf(frame->ClientHandle()), "MDIClient");

  std::vector<TForm*> children;
  for (int i = 0; i < 3; ++i) {
    TForm* child = Create<TForm>(nullptr);
    child->SetFormStyle(fsMDIChild);
    child->SetCaption(L"Child " + std::to_wstring(i));
    child->SetBounds(10 * i, 10 * i, 200, 150);
    child->Show();
    children.push_back(child);
  }
  PumpMessages(50);
  EXPECT_EQ(frame->MDIChildCount(), 3);
  EXPECT_EQ(::GetParent(children[0]->Handle()), frame->ClientHandle());
  EXPECT_EQ(frame->ActiveMDIChild(), children[2]);
  ::SendMessageW(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(children[0]->Handle()), 0);
  EXPECT_EQ(frame->ActiveMDIChild(), children[0]);
  EXPECT_TRUE(children[0]->Active());
  EXPECT_FALSE(children[1]->Active());

  children[0]->SetWindowState(wsMaximized);
  PumpMessages(30);
  EXPECT_TRUE(::IsZoomed(children[0]->Handle()));
  EXPECT_EQ(children[0]->WindowState(), wsMaximized);
  children[0]->SetWindowState(wsNormal);
  PumpMessages(30);
  EXPECT_FALSE(::IsZoomed(children[0]->Handle()));

  frame->Cascade();
  PumpMessages(30);
  EXPECT_NE(children[0]->Left(), children[1]->Left());

  children[1]->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
  children[1]->Close();
  PumpMessages(50);  // the deferred free runs
  EXPECT_EQ(frame->MDIChildCount(), 2);
  children[0]->Free();
  children[2]->Free();
  EXPECT_EQ(frame->MDIChildCount(), 0);
  Application->SetMainForm(savedMain);
  frame->Free();
}

TEST(Forms, ComponentNotificationsOnInsertAndRemove) {
  struct TWatchForm : TForm {
    using TForm::TForm;
    std::vector<std::string> log;
    void Notification(TComponent* c, TOperation op) override {
      TForm::Notification(c, op);
      log.push_back((op == opInsert ? "+" : "-") + c->ClassName());
    }
  };
  auto* form = Create<TWatchForm>(nullptr);
  auto* menu = Create<TMainMenu>(form);
  auto* item = Create<TMenuItem>(form);
  menu->Items()->Add(item);
  item->Free();
  menu->Free();
  EXPECT_EQ(form->log, (std::vector<std::string>{"+TMainMenu", "+TMenuItem", "-TMenuItem", "-TMainMenu"}));
  form->Free();
}

TEST(Forms, ModalFormReturnsItsModalResult) {
  TForm* owner = NewForm();
  owner->Show();
  TForm* dialog = NewForm(150, 150, 200, 120);
  dialog->SetBorderStyle(bsDialog);
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, nullptr);
  int ticks = 0;
  auto* events = Create<TApplicationEvents>(nullptr);
  events->OnMessage = [&](MSG& msg, bool&) {
    if (msg.message == WM_TIMER && ++ticks == 2) {
      EXPECT_FALSE(::IsWindowEnabled(owner->Handle()));
      dialog->SetModalResult(mrOk);
    }
  };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_TRUE(::IsWindowEnabled(owner->Handle()));
  EXPECT_FALSE(::IsWindowVisible(dialog->Handle()));
  ::KillTimer(nullptr, timer);
  events->Free();
  dialog->Free();
  owner->Free();
}

TEST(FormLeaks, FreeingFormsInAnyOrderLeavesNothingBehind) {
  auto build = [] {
    std::vector<TForm*> forms;
    for (int i = 0; i < 3; ++i) {
      TForm* f = NewForm(60 + 20 * i, 60 + 20 * i, 300, 200);
      auto* menu = Create<TMainMenu>(f);
      auto* item = Create<TMenuItem>(f);
      item->SetCaption(L"&Item");
      menu->Items()->Add(item);
      f->SetMenu(menu);
      auto* c = Create<TProbeControl>(f);
      c->SetParent(f);
      auto* g = Create<TProbeGraphic>(f);
      g->SetParent(c);  // parented by a control, owned by the form
      f->Font()->SetHeight(-13 - i);
      f->Show();
      forms.push_back(f);
    }
    PumpMessages(30);
    return forms;
  };
  auto cycle = [&](std::vector<int> order) {
    auto forms = build();
    std::vector<HWND> windows;
    for (TForm* f : forms) windows.push_back(f->Handle());
    for (int i : order) forms[static_cast<std::size_t>(i)]->Free();
    for (HWND w : windows) EXPECT_FALSE(::IsWindow(w));
  };
  cycle({0, 1, 2});  // warms up cached objects
  const int gdi = GdiHeadroom();
  EXPECT_EQ(UserHandlesLeaked([&] {
              cycle({2, 0, 1});
              cycle({1, 2, 0});
            }),
            0);
  EXPECT_EQ(GdiHeadroom(), gdi);
}

// --- Hover notices ----------------------------------------------------------

TEST(Controls, HoverNoticesTellTheControlItsOwnEnterFromAChildsOne) {
  OwnedObject<TForm> form(NewForm());
  auto* panel = Create<TProbeControl>(form.get());
  panel->SetParent(form.get());
  auto* inner = Create<TProbeControl>(form.get());
  inner->SetParent(panel);
  auto* graphic = Create<TProbeGraphic>(form.get());
  graphic->SetParent(inner);
  std::vector<LPARAM> panelSaw, formSaw;
  TWindowProcHook panelHook(panel, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) panelSaw.push_back(m.LParam);
    next(m);
  });
  TWindowProcHook formHook(form.get(), [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg == CM_MOUSEENTER) formSaw.push_back(m.LParam);
    next(m);
  });
  graphic->Perform(CM_MOUSEENTER);
  graphic->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(graphic->enters, 1);
  EXPECT_EQ(graphic->leaves, 1);
  // Every ancestor hears of the control entered, never of itself.
  const auto g = reinterpret_cast<LPARAM>(graphic);
  EXPECT_EQ(panelSaw, (std::vector<LPARAM>{g, g}));
  EXPECT_EQ(formSaw, (std::vector<LPARAM>{g}));
  panel->Perform(CM_MOUSEENTER);
  EXPECT_EQ(panelSaw.back(), 0);
  EXPECT_EQ(formSaw.back(), reinterpret_cast<LPARAM>(panel));
}

// --- Freed menus, OnDestroy ----------------------------------------------------

TEST(Forms, FreedMenusAreForgottenByTheFormAndItsControls) {
  OwnedObject<TForm> form(NewForm());
  auto* bar = Create<TMainMenu>(nullptr);  // owned elsewhere
  form->SetMenu(bar);
  auto* panel = Create<TProbeControl>(form.get());
  panel->SetBounds(10, 10, 50, 50);
  panel->SetParent(form.get());
  auto* popup = Create<TPopupMenu>(nullptr);
  popup->SetAutoPopup(false);
  panel->SetPopupMenu(popup);
  form->Show();
  PumpMessages(30);
  ASSERT_EQ(::GetMenu(form->Handle()), bar->Handle());

  bar->Free();
  popup->Free();
  EXPECT_EQ(form->Menu(), nullptr);
  EXPECT_EQ(::GetMenu(form->Handle()), nullptr);  // the bar left the window
  EXPECT_EQ(panel->PopupMenu(), nullptr);
  ::SendMessageW(panel->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(panel->Handle()), MAKELPARAM(-1, -1));

  auto* next = Create<TMainMenu>(form.get());
  form->SetMenu(next);
  EXPECT_EQ(::GetMenu(form->Handle()), next->Handle());
  form->SetActiveControl(panel);
  panel->Free();
  EXPECT_EQ(form->ActiveControl(), nullptr);
}

TEST(Forms, OnDestroyRunsOnceHoweverTheFormIsFreed) {
  int destroyed = 0;
  auto track = [&](TForm* f) {
    f->OnDestroy = [&](TObject*) { ++destroyed; };
    return f;
  };
  track(Create<TForm>(nullptr))->Free();  // by itself
  EXPECT_EQ(destroyed, 1);
  auto* owner = Create<TComponent>(nullptr);
  track(Create<TForm>(owner));
  track(Create<TForm>(owner));
  owner->Free();  // by its owner
  EXPECT_EQ(destroyed, 3);
  auto* app = Create<TApplication>(nullptr);
  track(app->CreateForm<TForm>());
  app->Free();  // by the application, as at exit
  EXPECT_EQ(destroyed, 4);
}

// --- Controls inside windows the framework did not make ------------------------

namespace {

INT_PTR CALLBACK RawDialogProc(HWND, UINT, WPARAM, LPARAM) noexcept { return FALSE; }

// A modeless dialog of the system's own class from an in-memory template.
HWND CreateRawDialog() {
  alignas(4) WORD t[12] = {};
  const DWORD style = WS_POPUP | WS_CAPTION;
  t[0] = LOWORD(style), t[1] = HIWORD(style);
  t[5] = 10, t[6] = 10, t[7] = 160, t[8] = 100;  // x, y, cx, cy in dialog units
  return ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(t), nullptr,
                                      RawDialogProc, 0);
}

}  // namespace

TEST(ControlsInRawWindows, APanelInsideASystemDialogIsPaintedFoundAndFreedEitherWay) {
  auto cycle = [](bool panelFirst) {
    HWND dlg = CreateRawDialog();
    ASSERT_NE(dlg, nullptr);
    ASSERT_EQ(WindowClassOf(dlg), "#32770");
    TPanel* panel = CreateParentedControl<TPanel>(dlg);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clRed);
    panel->SetBounds(10, 10, 80, 50);
    auto* inner = Create<TPanel>(panel);
    inner->SetBounds(5, 5, 20, 20);
    inner->SetParent(panel);
    ASSERT_TRUE(panel->HandleAllocated());
    EXPECT_EQ(::GetParent(panel->Handle()), dlg);
    EXPECT_EQ(FindControl(panel->Handle()), panel);
    EXPECT_EQ(FindControl(inner->Handle()), inner);
    ::ShowWindow(dlg, SW_SHOWNA);
    ::UpdateWindow(dlg);
    PumpMessages(30);
    const Image shot = CaptureWindow(panel->Handle());
    EXPECT_EQ(shot.At(60, 40), Rgb(255, 0, 0));
    const HWND wnd = panel->Handle();
    if (panelFirst) {
      panel->Free();
      EXPECT_FALSE(::IsWindow(wnd));
      EXPECT_TRUE(::IsWindow(dlg));
      ::DestroyWindow(dlg);
      return;
    }
    ::DestroyWindow(dlg);
    EXPECT_FALSE(panel->HandleAllocated());
    EXPECT_FALSE(inner->HandleAllocated());
    EXPECT_EQ(FindControl(wnd), nullptr);
    EXPECT_THROW(panel->HandleNeeded(), EInvalidOperation);  // its window is gone: a clear error
    panel->Free();
  };
  cycle(true);
  cycle(false);
  EXPECT_EQ(UserHandlesLeaked([&] {
              cycle(true);
              cycle(false);
            }),
            0);
}
