// A small application whose main form carries an engine-like component that
// keeps process-wide state: it runs and ends through Application->Run, and
// prints what it sees while the library ends. The test that runs it checks
// the order: the forms go (and the component with them) while every unit is
// whole, then the application's unit, then the library's own units.
#include <cstdio>

#include "draw/MenuHelpers.h"
#include "engine/EngineUnit.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "framework/Units.h"

using namespace nuvskin;

namespace {

TList* gEngines = nullptr;  // the application unit's list of live engines

void Trace(const char* text) {
  std::printf("%s\n", text);
  std::fflush(stdout);
}

// Stands for the skin engine: it lists itself in its unit's list and makes
// the form's menu items owner-drawn (the library's menu registrations).
class TEngineLike : public TComponent {
  NUV_CLASS(TEngineLike, TComponent)
  explicit TEngineLike(TComponent* owner) : TComponent(owner) {
    gEngines->Add(this);
    AddAutoSkinClassName(L"TMainForm");
  }
  ~TEngineLike() override {
    const bool whole = gEngines && gEngines->IndexOf(this) >= 0 && TopMenuItems() && CheckedMenuImages()->Count() == 1 &&
                       AutoSkinClassNames()->IndexOf(L"TMainForm") >= 0;
    Trace(whole ? "engine freed, units whole" : "engine freed late");
    gEngines->Remove(this);
  }
};

class TMainForm : public TForm {
  NUV_CLASS(TMainForm, TForm)
  explicit TMainForm(TComponent* owner) : TForm(owner) {
    auto* images = Create<TImageList>(this);
    auto* menu = Create<TMainMenu>(this);
    auto* file = Create<TMenuItem>(this);
    file->SetName("FileMenu");
    file->SetCaption(L"&File");
    file->SetSubMenuImages(images);
    menu->Items()->Add(file);
    auto* open = Create<TMenuItem>(this);
    open->SetCaption(L"&Open");
    file->Add(open);
    SetMenu(menu);
    Create<TEngineLike>(this);
    AssignMenuItemHandlers(file, nullptr, nullptr);
    auto* timer = Create<TTimer>(this);
    timer->SetInterval(100);
    timer->OnTimer = [this](TObject*) { Close(); };
  }
  ~TMainForm() override { Trace("main form freed"); }
};

}  // namespace

int main() {
  RegisterUnit({"EngineLike", [] { gEngines = Create<TList>(); },
                [] {
                  Trace(gEngines->Count() == 0 ? "application unit ended, no engine left" : "application unit ended early");
                  Trace(TopMenuItems()->Count() == 0 ? "menu registrations dropped" : "menu registrations left");
                  FreeAndNil(gEngines);
                }});
  Application->Initialize();
  Application->CreateForm<TMainForm>();
  Application->Run();
  Trace("run returned");
  return 0;
}
