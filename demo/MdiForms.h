// The gallery's MDI scene: a frame with its own menu and window list, and
// document children.
#pragma once

#include "framework/Forms.h"

namespace nuvskin::demo {

class TMdiChildForm : public TForm {
  NUV_CLASS(TMdiChildForm, TForm)
  explicit TMdiChildForm(TComponent* owner);
};

class TMdiFrameForm : public TForm {
  NUV_CLASS(TMdiFrameForm, TForm)
  explicit TMdiFrameForm(TComponent* owner);
  TMdiChildForm* NewChild();

 private:
  void NewChildClick(TObject*) { NewChild(); }
  void CloseClick(TObject*) { Close(); }
  void CascadeClick(TObject*) { Cascade(); }
  void TileClick(TObject*) { Tile(); }
  int children_ = 0;
};

// Opens a frame (owned by the application) with two children, cascaded.
TMdiFrameForm* OpenMdiFrame();

}  // namespace nuvskin::demo
