// TnuvSkinEngine: the one component an application places on its main form
// to have its windows skinned. It owns the loaded skin and the metrics every
// painter reads, the list of frame skins, the skinned system menu, and the
// window hook that catches new windows.
#pragma once

#include <string>
#include <vector>

#include "draw/NUVSkinUtils.h"
#include "engine/EngineUnit.h"
#include "engine/SkinMessages.h"
#include "engine/WindowHook.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "skin/Skin2Define.h"

namespace nuvskin {

class TnuvSkinEngine;
class TnuvSkinWindow;

// One further skin stored in the form; loaded into a reader of its own.
class TnuvSkinCollectionItem : public TCollectionItem {
  NUV_CLASS(TnuvSkinCollectionItem, TCollectionItem)
  static void Publish(ClassBuilder<TnuvSkinCollectionItem>& b);
  explicit TnuvSkinCollectionItem(TCollection* collection = nullptr);
  ~TnuvSkinCollectionItem() override;

  const std::string& SkinFile() const { return FSkinFile; }
  void SetSkinFile(const std::string& value) { FSkinFile = value; }
  const std::string& Password() const { return FPassword; }
  void SetPassword(const std::string& value) { FPassword = value; }
  // Loaded with the item's SkinData; never the engine's current skin unless
  // TnuvSkinEngine::UseAdditionalSkin makes it so.
  TnuvSkinReader* Reader() const { return FReader; }
  void Assign(TPersistent* source) override;

 protected:
  void DefineProperties(TFiler& filer) override;

 private:
  std::string FSkinFile, FPassword;
  TnuvSkinReader* FReader;
};

class TnuvSkinCollection : public TOwnedCollection {
  NUV_CLASS(TnuvSkinCollection, TOwnedCollection)
  explicit TnuvSkinCollection(TPersistent* owner = nullptr);
  TnuvSkinCollectionItem* Items(int index) const;
  TnuvSkinCollectionItem* Add();
};

class TnuvSkinEngine : public TComponent {
  NUV_CLASS(TnuvSkinEngine, TComponent)
  static void Publish(ClassBuilder<TnuvSkinEngine>& b);
  // Raises "Must be placed on a Form" unless the owner is a form.
  explicit TnuvSkinEngine(TComponent* owner);
  ~TnuvSkinEngine() override;
  void BeforeDestruction() override;

  // --- Published properties -------------------------------------------------
  bool Active() const { return FActive; }
  void SetActive(bool value);
  bool Ready() const;
  void SetReady(bool) {}  // read-only: writing has no effect
  const std::string& Password() const { return FPassword; }
  void SetPassword(const std::string& value) { FPassword = value; }
  const std::string& SkinFile() const { return FSkinFile; }
  // Loads the file (searched for in the program's folder, the Windows and
  // the system folder when the name alone does not exist).
  void SetSkinFile(const std::string& value);
  const std::wstring& ResSysMenuMin() const { return FResSysMenuMin; }
  void SetResSysMenuMin(const std::wstring& value);
  const std::wstring& ResSysMenuMax() const { return FResSysMenuMax; }
  void SetResSysMenuMax(const std::wstring& value);
  const std::wstring& ResSysMenuClose() const { return FResSysMenuClose; }
  void SetResSysMenuClose(const std::wstring& value);
  int DisabledTag() const { return FDisabledTag; }
  void SetDisabledTag(int value) { FDisabledTag = value; }
  bool DrawScrollBar() const { return FDrawScrollBar; }
  void SetDrawScrollBar(bool value) { FDrawScrollBar = value; }
  std::string Version() const { return "4.7"; }
  void SetVersion(const std::string&) {}  // writing has no effect
  bool BuiltIn() const { return FBuiltIn; }
  void SetBuiltIn(bool value);
  bool SkinDialogs() const { return FSkinDialogs; }
  void SetSkinDialogs(bool value) { FSkinDialogs = value; }
  bool SkinAllForms() const { return FSkinAllForms; }
  void SetSkinAllForms(bool value);
  TnuvSkinCollection* AdditionalBuiltInSkins() const { return FAdditionalBuiltInSkins; }
  void SetAdditionalBuiltInSkins(TnuvSkinCollection* value);
  bool NoChangeButtonsFontColor() const { return FNoChangeButtonsFontColor; }
  void SetNoChangeButtonsFontColor(bool value) { FNoChangeButtonsFontColor = value; }
  TStrings* AutoSkinWndClassNames() const { return FAutoSkinWndClassNames; }
  void SetAutoSkinWndClassNames(TStrings* value);
  TNotifyEvent OnSkinChanged;
  TNotifyEvent OnSkinChanging;

  // --- Skins beyond the streamed one ----------------------------------------
  // Loads the library's own skin through the same path as SkinData, so that
  // a program without a skin file is skinned with one call.
  void LoadBuiltInSkin();
  // Loads container bytes as the engine's own skin (what SkinData does).
  void LoadSkinData(format::ByteSpan container);
  // Makes the loaded skin of AdditionalBuiltInSkins item `index` the current
  // one; UseOwnSkin goes back to the engine's own. Both re-skin every window.
  void UseAdditionalSkin(int index);
  void UseOwnSkin();

  // --- Services for the frame and control skins ----------------------------
  bool SkinningActive() const;
  void SkinForm(TCustomForm* form);
  void SkinWindow(HWND wnd);
  void AddFrameSkin(HWND wnd, bool fromHook);
  void RemoveFrameSkin(HWND wnd);
  // Attaches a frame skin to every open form that has none (SkinAllForms).
  void SkinAllOpenForms();
  TnuvSkinWindow* FindFrameSkin(HWND wnd) const;
  int FrameSkinCount() const { return static_cast<int>(FFrameSkins.size()); }
  TnuvSkinWindow* FrameSkins(int index) const { return FFrameSkins[static_cast<std::size_t>(index)]; }
  // Frame skins leave the list themselves when they are freed.
  void FrameSkinDestroyed(TnuvSkinWindow* frameSkin);

  bool GetSkinBitmap(int index, TBitmap* dest, int frameCount, int frameIndex) const;
  TColor GetSkinColor(int index) const;
  bool GetSkinFlag(int index) const;
  TColor GetFormColor() const { return FFormColor; }
  TnuvSkinReader* Skin() const { return FSkin; }
  TnuvSkinScrollBtnRes* ScrollBtnRes() const { return FScrollBtnRes; }
  TnuvSkinProgressBarRes* ProgressBarRes() const { return FProgressBarRes; }
  HBRUSH FormBrush() const { return FFormBrush.Get(); }
  bool AttachingAllForms() const { return FAttachingAllForms; }
  bool RemovingFrame() const { return FRemovingFrame; }
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  bool Destroying() const { return ComponentState().Contains(csDestroying); }

  void SkinMenu(TMenu* menu);
  void UnskinMenu(TMenu* menu);
  void SkinMenuItem(TMenuItem* item);
  // The owner-draw handlers of skinned menu items.
  void MeasureMenuItem(TObject* sender, TCanvas* canvas, int& width, int& height);
  void DrawMenuItem(TObject* sender, TCanvas* canvas, const RECT& rect, bool selected);

  // The system menu and the frame skin it was last opened for.
  TPopupMenu* SysMenu() const { return FSysMenu; }
  void ShowSysMenu(TnuvSkinWindow* frameSkin, POINT screenPoint);

  // --- Skin metrics, cached by SkinLoaded -----------------------------------
  int FTitleBarHeight = 0, FLeftBorderWidth = 0, FRightBorderWidth = 0, FBottomBorderHeight = 0;
  TColor FTransColor = 0, FFormColor = 0, FTitleFontColor = 0, FInactiveTitleFontColor = 0;
  TColor FMenuColors[13] = {};
  TColor FDisabledMenuFontColor = 0x808080;
  int FIconPosX = 0, FIconPosY = 0, FButtonPosX = 0, FButtonPosY = 0, FCaptionTop = 0;
  int FTitleRegionMinY = 0, FTitleRegionMaxY = 0, FBottomRegionMinY = 0, FBottomRegionMaxY = 0;
  int FMinFormWidth = 0;
  int FDefaultCaptionLeft = -10000;

 protected:
  void DefineProperties(TFiler& filer) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void SkinLoaded(TObject* sender);
  // Loads `read`'s skin into a new reader and makes it the engine's own; a
  // failure or a skin without the measured bitmaps leaves the current skin.
  void LoadOwnSkin(const std::function<void(TnuvSkinReader&)>& read);
  void ReadSkinData(TStream& stream);
  void WriteSkinData(TStream& stream);
  bool HasSkinData() const;
  void UnskinOtherForms();
  void AutoSkinNamesChanged(TObject* sender);
  void SysMenuPopup(TObject* sender);
  void SysMenuMinimizeClick(TObject* sender);
  void SysMenuMaximizeClick(TObject* sender);
  void SysMenuCloseClick(TObject* sender);
  void SetSysMenuCaption(int index, const std::wstring& caption);

  bool FActive = false;
  std::string FPassword, FSkinFile;
  std::wstring FResSysMenuMin, FResSysMenuMax, FResSysMenuClose;
  int FDisabledTag = 9999;
  bool FDrawScrollBar = true, FBuiltIn = false, FSkinDialogs = true, FSkinAllForms = true;
  bool FNoChangeButtonsFontColor = false;
  TnuvSkinCollection* FAdditionalBuiltInSkins = nullptr;
  TStringList* FAutoSkinWndClassNames = nullptr;

  std::vector<TnuvSkinWindow*> FFrameSkins;
  TnuvSkinReader* FOwnSkin = nullptr;
  TnuvSkinReader* FSkin = nullptr;
  TPopupMenu* FSysMenu = nullptr;
  TnuvSkinWindow* FSysMenuWindow = nullptr;
  TFreeNotifyLink FSysMenuWindowLink;
  TnuvSkinScrollBtnRes* FScrollBtnRes = nullptr;
  TnuvSkinProgressBarRes* FProgressBarRes = nullptr;
  win::UniqueBrush FFormBrush;
  bool FAttachingAllForms = false, FRemovingFrame = false;
  bool FInstalledHook = false;
};

}  // namespace nuvskin
