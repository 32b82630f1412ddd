#include "MdiForms.h"

#include "framework/StdCtrls.h"

namespace nuvskin::demo {

TMdiChildForm::TMdiChildForm(TComponent* owner) : TForm(owner) {
  SetFormStyle(fsMDIChild);
  SetBounds(0, 0, 320, 220);
  auto* memo = Create<TMemo>(this);
  memo->SetAlign(alClient);
  memo->SetParent(this);
  memo->SetText(L"An MDI child of the framework.\r\nClose, minimize or maximize it like any document window.");
  auto* menu = Create<TMainMenu>(this);
  auto* edit = Create<TMenuItem>(this);
  edit->SetCaption(L"&Edit");
  edit->SetGroupIndex(1);
  menu->Items()->Add(edit);
  auto* select = Create<TMenuItem>(this);
  select->SetCaption(L"Select &all");
  edit->Add(select);
  SetMenu(menu);
  OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
}

namespace {

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const wchar_t* caption, TNotifyEvent onClick = nullptr) {
  auto* item = Create<TMenuItem>(owner);
  item->SetCaption(caption);
  item->OnClick = std::move(onClick);
  parent->Add(item);
  return item;
}

}  // namespace

TMdiFrameForm::TMdiFrameForm(TComponent* owner) : TForm(owner) {
  SetCaption(L"nuvskin MDI frame");
  SetBounds(120, 90, 720, 520);
  auto* menu = Create<TMainMenu>(this);
  TMenuItem* file = AddItem(this, menu->Items(), L"&File");
  AddItem(this, file, L"&New document", TNotifyEvent::Bind(this, &TMdiFrameForm::NewChildClick));
  AddItem(this, file, L"-");
  AddItem(this, file, L"&Close window", TNotifyEvent::Bind(this, &TMdiFrameForm::CloseClick));
  TMenuItem* window = AddItem(this, menu->Items(), L"&Window");
  window->SetGroupIndex(9);
  AddItem(this, window, L"&Cascade", TNotifyEvent::Bind(this, &TMdiFrameForm::CascadeClick));
  AddItem(this, window, L"&Tile", TNotifyEvent::Bind(this, &TMdiFrameForm::TileClick));
  SetMenu(menu);
  SetWindowMenu(window);
  SetFormStyle(fsMDIForm);
  OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
}

TMdiChildForm* TMdiFrameForm::NewChild() {
  auto* child = Create<TMdiChildForm>(Application);
  child->SetCaption(L"Document " + std::to_wstring(++children_));
  child->Show();
  return child;
}

TMdiFrameForm* OpenMdiFrame() {
  auto* frame = Create<TMdiFrameForm>(Application);
  frame->Show();
  frame->NewChild();
  frame->NewChild();
  frame->Cascade();
  return frame;
}

}  // namespace nuvskin::demo
