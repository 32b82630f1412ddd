#include "engine/NUVSkinEngine.h"

namespace nuvskin {

// Skinned menu items keep the framework's own size and look until the skin's
// item painter takes over.
void TnuvSkinEngine::MeasureMenuItem(TObject*, TCanvas*, int&, int&) {}

void TnuvSkinEngine::DrawMenuItem(TObject* sender, TCanvas* canvas, const RECT& rect, bool selected) {
  if (auto* item = dynamic_cast<TMenuItem*>(sender)) item->DrawDefault(canvas, rect, selected);
}

}  // namespace nuvskin
