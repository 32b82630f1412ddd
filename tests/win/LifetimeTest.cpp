// Objects freed from inside their own window's messages, handlers replaced
// while nested messages run, and the one policy at the callback edges: no
// exception leaves a system callback, and a failing paint is reported once
// the paint is over.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "WinTest.h"
#include "framework/Callbacks.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/WindowSubclass.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

// Counts the removal notices of the components it watches.
class TWatcher : public TComponent {
  NUV_CLASS(TWatcher, TComponent)
  TWatcher() : TComponent(nullptr) {}
  int removed = 0;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove) ++removed;
  }
};

// A windowless control that frees its form when clicked.
class TFreeingGraphic : public TGraphicControl {
  NUV_CLASS(TFreeingGraphic, TGraphicControl)
  using TGraphicControl::TGraphicControl;
};

// A component made in its owner's constructor: its Loaded must find the
// owner whole.
class TLoadProbe : public TComponent {
  NUV_CLASS(TLoadProbe, TComponent)
  using TComponent::TComponent;
  bool ownerWhole = false;
  int loads = 0;
  void Loaded() override;
};

class TProbeOwner : public TComponent {
  NUV_CLASS(TProbeOwner, TComponent)
  TProbeOwner() : TComponent(nullptr) {
    probe = Create<TLoadProbe>(this);
    whole = true;
  }
  TLoadProbe* probe;
  bool whole = false;
};

void TLoadProbe::Loaded() {
  TComponent::Loaded();
  ++loads;
  ownerWhole = static_cast<TProbeOwner*>(Owner())->whole;
}

// A windowed control whose painting fails.
class TFailingPaint : public TCustomControl {
  NUV_CLASS(TFailingPaint, TCustomControl)
  using TCustomControl::TCustomControl;

 protected:
  void Paint() override { throw Exception("paint failed"); }
};

TForm* ShownForm() {
  TForm* form = Create<TForm>(nullptr);
  form->SetBounds(120, 120, 300, 200);
  form->Show();
  PumpMessages(20);
  return form;
}

// Frees a form through `arrange` and checks that its window went and that
// the form was freed exactly once.
void ExpectFreedFromInside(const std::function<void(TForm*)>& arrange) {
  TForm* form = ShownForm();
  OwnedObject<TWatcher> watcher(Create<TWatcher>());
  form->FreeNotification(watcher.get());
  HWND wnd = form->Handle();
  arrange(form);
  EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(wnd); }, 2000));
  PumpMessages(20);
  EXPECT_EQ(watcher->removed, 1);
}

struct EnumContext {
  EnumerationGuard guard;
  int visited = 0;
};

BOOL CALLBACK FailOnSecondChild(HWND, LPARAM lp) noexcept {
  auto* c = reinterpret_cast<EnumContext*>(lp);
  return c->guard.Run([&] {
    if (++c->visited == 2) throw std::runtime_error("enumeration failed");
    return true;
  });
}

// A button's OnClick frees its form: the form's WM_COMMAND reflects to the
// button, inside the button's own mouse-up.
void FreeFromAButtonClick(TForm* form) {
  auto* button = Create<TButton>(form);
  button->SetParent(form);
  button->SetBounds(10, 10, 80, 24);
  button->OnClick = [form](TObject*) { form->Free(); };
  PostClientClick(button->Handle(), 5, 5);
}

void ReleaseFromOnClick(TForm* form) {
  form->OnClick = [form](TObject*) { form->Release(); };
  PostClientClick(form->Handle(), 40, 40);
}

}  // namespace

TEST(Lifetime, AFormFreedByItsOwnHandlersRunsEveryCallToTheEnd) {
  // From the form's own OnClick (the mouse path goes on after the click).
  ExpectFreedFromInside([](TForm* form) {
    form->OnClick = [form](TObject*) { form->Free(); };
    PostClientClick(form->Handle(), 40, 40);
  });
  ExpectFreedFromInside(FreeFromAButtonClick);
  // From a windowless control's OnClick: no mouse-up reaches it afterwards.
  TFreeingGraphic* graphic = nullptr;
  ExpectFreedFromInside([&](TForm* form) {
    graphic = Create<TFreeingGraphic>(form);
    graphic->SetParent(form);
    graphic->SetBounds(10, 10, 50, 50);
    graphic->OnMouseUp = [](TObject*, TMouseButton, TShiftState, int, int) { ADD_FAILURE() << "freed control"; };
    graphic->OnClick = [form](TObject*) { form->Free(); };
    PostClientClick(form->Handle(), 20, 20);
  });
  // Released from a handler: freed by CM_RELEASE, inside its own message.
  ExpectFreedFromInside(ReleaseFromOnClick);
  // Inside a nested SendMessage to itself; the outer handler then goes on
  // with default processing of the destroyed form.
  std::unique_ptr<TWindowProcHook> hook;
  ExpectFreedFromInside([&](TForm* form) {
    hook = std::make_unique<TWindowProcHook>(form, [form](TMessage& m, const TWndMethod& next) {
      if (m.Msg == WM_USER + 1) {
        ::SendMessageW(form->Handle(), WM_USER + 2, 0, 0);
        next(m);
        return;
      }
      if (m.Msg == WM_USER + 2) {
        form->Free();
        return;
      }
      next(m);
    });
    ::PostMessageW(form->Handle(), WM_USER + 1, 0, 0);
  });
  hook.reset();
}

TEST(Lifetime, TeardownThatFreesOrFailsStillEnds) {
  // A child's WM_DESTROY frees its parent form while the child is being freed.
  TForm* form = ShownForm();
  OwnedObject<TWatcher> watcher(Create<TWatcher>());
  form->FreeNotification(watcher.get());
  auto* panel = Create<TPanel>(nullptr);
  panel->SetParent(form);
  TWindowProcHook hook(panel, [form](TMessage& m, const TWndMethod& next) {
    next(m);
    if (m.Msg == WM_DESTROY) form->Free();
  });
  panel->Free();
  EXPECT_EQ(watcher->removed, 1);

  // A failing OnDestroy: the error reaches the caller, the form is gone from
  // the application and the screen, its window destroyed.
  TForm* main = ShownForm();
  Application->SetMainForm(main);
  HWND wnd = main->Handle();
  main->OnDestroy = [](TObject*) { throw Exception("destroy failed"); };
  EXPECT_THROW(main->Free(), Exception);
  EXPECT_EQ(Application->MainForm(), nullptr);
  EXPECT_FALSE(::IsWindow(wnd));
  for (int i = 0; i < Screen->FormCount(); ++i) EXPECT_NE(Screen->Forms(i), main);

  // A component made in its owner's constructor gets Loaded once the owner
  // is whole.
  OwnedObject<TProbeOwner> owner(Create<TProbeOwner>());
  EXPECT_EQ(owner->probe->loads, 1);
  EXPECT_TRUE(owner->probe->ownerWhole);
}

TEST(Lifetime, AWindowProcReplacedAndRestoredWhileANestedMessageRuns) {
  TForm* form = ShownForm();
  std::string trace;
  std::unique_ptr<TWindowProcHook> outer;
  outer = std::make_unique<TWindowProcHook>(form, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg == WM_USER + 1) {
      trace += "outer(";
      ::SendMessageW(form->Handle(), WM_USER + 2, 0, 0);
      trace += ")";
    }
    next(m);
  });
  // The nested message undoes the running hook and installs another one
  // over the form's WindowProc, then gives the original back.
  TWindowProcHook inner(form, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg == WM_USER + 2) {
      trace += "inner";
      outer.reset();
      const TWndMethod saved = form->WindowProc;
      form->WindowProc = [&](TMessage& n) {
        trace += "+";
        saved(n);
      };
      ::SendMessageW(form->Handle(), WM_USER + 3, 0, 0);
      form->WindowProc = saved;
    }
    next(m);
  });
  ::SendMessageW(form->Handle(), WM_USER + 1, 0, 0);
  EXPECT_EQ(trace, "outer(inner+)");
  trace.clear();
  ::SendMessageW(form->Handle(), WM_USER + 1, 0, 0);
  EXPECT_EQ(trace, "");
  form->Free();
}

TEST(Lifetime, ExceptionsStopAtTheCallbackEdgeAndReachTheApplicationOnce) {
  std::vector<std::string> reports;
  int paintDepth = 0;
  int paintDepthAtReport = -1;
  Application->OnException = [&](TObject*, const std::exception& e) {
    reports.push_back(e.what());
    paintDepthAtReport = paintDepth;
  };
  TForm* form = ShownForm();

  // A click handler that fails: reported at once, the form lives on.
  form->OnClick = [](TObject*) { throw Exception("click failed"); };
  ::SendMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  ::SendMessageW(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], "click failed");

  // A paint that fails: reported once the paint message is done, never
  // from inside it (the outermost procedure of the window counts it).
  auto* failing = Create<TFailingPaint>(form);
  failing->SetParent(form);
  failing->SetBounds(0, 0, 60, 60);
  TWindowSubclass outermost;
  outermost.Attach(failing->Handle(), [&](UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT) return outermost.CallNext(msg, wp, lp);
    ++paintDepth;
    const LRESULT r = outermost.CallNext(msg, wp, lp);
    --paintDepth;
    return r;
  });
  reports.clear();
  ::InvalidateRect(failing->Handle(), nullptr, FALSE);
  ::UpdateWindow(failing->Handle());
  EXPECT_TRUE(reports.empty());
  EXPECT_TRUE(PumpUntil([&] { return !reports.empty(); }, 1000));
  EXPECT_EQ(reports[0], "paint failed");
  EXPECT_EQ(paintDepthAtReport, 0);
  outermost.Remove();
  failing->Free();

  // A timer whose handler fails keeps firing and each failure is reported.
  reports.clear();
  auto* timer = Create<TTimer>(form);
  timer->SetInterval(10);
  timer->OnTimer = [](TObject*) { throw Exception("tick failed"); };
  EXPECT_TRUE(PumpUntil([&] { return reports.size() >= 2; }, 2000));
  timer->SetEnabled(false);

  // An enumeration callback's failure comes out after the system call.
  EnumContext context;
  for (int i = 0; i < 3; ++i) Create<TPanel>(form)->SetParent(form);
  ::EnumChildWindows(form->Handle(), FailOnSecondChild, reinterpret_cast<LPARAM>(&context));
  EXPECT_EQ(context.visited, 2);
  EXPECT_THROW(context.guard.Rethrow(), std::runtime_error);
  EXPECT_NO_THROW(context.guard.Rethrow());

  Application->OnException = nullptr;
  form->Free();
}

TEST(LifetimeLeaks, FreeingFormsFromTheirOwnMessagesLeavesNothingBehind) {
  auto cycle = [] {
    ExpectFreedFromInside(FreeFromAButtonClick);
    ExpectFreedFromInside(ReleaseFromOnClick);
  };
  cycle();  // warms up cached objects
  const int gdi = GdiHeadroom();
  EXPECT_EQ(UserHandlesLeaked([&] {
              for (int i = 0; i < 5; ++i) cycle();
            }),
            0);
  EXPECT_EQ(GdiHeadroom(), gdi);
}
