// Controls: TControl (bounds, alignment, anchors, colour, font, text, the
// replaceable WindowProc), TWinControl (a window created on demand, children,
// focus), TGraphicControl (no window: its parent routes painting and mouse
// input to it), TCustomControl (a window painted through a canvas).
#pragma once

#include <string>
#include <vector>

#include "framework/Graphics.h"
#include "framework/Menus.h"
#include "framework/Messages.h"

namespace nuvskin {

class TWinControl;
class TCustomForm;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
NUV_ENUM(TAlign, "alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom");

enum TAnchorKind { akLeft, akTop, akRight, akBottom };
NUV_ENUM(TAnchorKind, "akLeft", "akTop", "akRight", "akBottom");
using TAnchors = Set<TAnchorKind>;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
NUV_ENUM(TAlignment, "taLeftJustify", "taRightJustify", "taCenter");

// The sides of a control that get a bevel.
enum TBevelEdge { beLeft, beTop, beRight, beBottom };
NUV_ENUM(TBevelEdge, "beLeft", "beTop", "beRight", "beBottom");
using TBevelEdges = Set<TBevelEdge>;

// Which scroll bars a control shows.
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
NUV_ENUM(TScrollStyle, "ssNone", "ssHorizontal", "ssVertical", "ssBoth");

enum TMouseButton { mbLeft, mbRight, mbMiddle };
NUV_ENUM(TMouseButton, "mbLeft", "mbRight", "mbMiddle");

enum TControlStyleFlag { csAcceptsControls, csCaptureMouse, csClickEvents, csFramed, csSetCaption, csOpaque,
                         csDoubleClicks, csFixedWidth, csFixedHeight, csNoStdEvents, csReplicatable,
                         csParentBackground };
NUV_ENUM(TControlStyleFlag, "csAcceptsControls", "csCaptureMouse", "csClickEvents", "csFramed", "csSetCaption",
         "csOpaque", "csDoubleClicks", "csFixedWidth", "csFixedHeight", "csNoStdEvents", "csReplicatable",
         "csParentBackground");
using TControlStyle = Set<TControlStyleFlag>;

enum TControlStateFlag { csLButtonDown, csClicked, csReadingState, csAlignmentNeeded, csFocusing, csCreating,
                         csCustomPaint, csDestroyingHandle, csRecreating, csAligning };
NUV_ENUM(TControlStateFlag, "csLButtonDown", "csClicked", "csReadingState", "csAlignmentNeeded", "csFocusing",
         "csCreating", "csCustomPaint", "csDestroyingHandle", "csRecreating", "csAligning");
using TControlState = Set<TControlStateFlag>;

using TMouseEvent = Event<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = Event<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = Event<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = Event<void(TObject* Sender, wchar_t& Key)>;

// Minimum and maximum size of a control; 0 means no limit.
class TSizeConstraints : public TPersistent {
  NUV_CLASS(TSizeConstraints, TPersistent)
  static void Publish(ClassBuilder<TSizeConstraints>& b);
  int MinWidth() const { return minWidth_; }
  int MinHeight() const { return minHeight_; }
  int MaxWidth() const { return maxWidth_; }
  int MaxHeight() const { return maxHeight_; }
  void SetMinWidth(int value);
  void SetMinHeight(int value);
  void SetMaxWidth(int value);
  void SetMaxHeight(int value);
  void Assign(TPersistent* source) override;
  // Applies the limits to a width and height.
  void Constrain(int& width, int& height) const;
  TNotifyEvent OnChange;

 private:
  void Changed();
  int minWidth_ = 0, minHeight_ = 0, maxWidth_ = 0, maxHeight_ = 0;
};

// What CreateWnd needs to create a control's window.
struct TCreateParams {
  std::wstring Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  UINT WindowClassStyle = CS_DBLCLKS;
  HCURSOR Cursor = nullptr;
  HBRUSH Background = nullptr;
  // The window class registered for the control: its framework class name.
  std::wstring WinClassName;
  // A system class (for example L"BUTTON") that the control's class
  // superclasses; empty for a class of the framework's own.
  std::wstring SysClassName;
};

class TControl : public TComponent {
  NUV_CLASS(TControl, TComponent)
  explicit TControl(TComponent* owner);
  ~TControl() override;
  void BeforeDestruction() override;

  // --- messages -------------------------------------------------------------
  // Every message of the control passes through WindowProc; by default it is
  // the virtual WndProc. Replace it to intercept, keep the old value to chain
  // (see TWindowProcHook for chaining that can be undone in any order).
  TWndMethod WindowProc;
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Sends a message record through WindowProc. Its handler may free this
  // control: the object stays whole (FreePending) until the call returns.
  void Dispatch(TMessage& message);
  virtual void WndProc(TMessage& message);
  // What happens to a message nobody handled.
  virtual void DefaultHandler(TMessage& message);

  // --- placement ------------------------------------------------------------
  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
  virtual void SetBounds(int left, int top, int width, int height);
  RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
  void SetBoundsRect(const RECT& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }
  virtual RECT ClientRect();
  int ClientWidth() { return ClientRect().right; }
  int ClientHeight() { return ClientRect().bottom; }
  void SetClientWidth(int value);
  void SetClientHeight(int value);
  virtual void SetClientSize(int width, int height);
  // The control's client origin in screen coordinates.
  virtual POINT ClientOrigin();
  POINT ClientToScreen(POINT p);
  POINT ScreenToClient(POINT p);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign value);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors value);
  TSizeConstraints* Constraints() const { return constraints_; }
  void SetConstraints(TSizeConstraints* value) { constraints_->Assign(value); }
  void BringToFront();
  void SendToBack();

  // --- state ----------------------------------------------------------------
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and every parent up to a top-level window visible too.
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool value);
  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle value) { controlStyle_ = value; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState value) { controlState_ = value; }
  bool Dragging() const { return false; }

  // --- look -----------------------------------------------------------------
  TColor Color() const { return color_; }
  void SetColor(TColor value);  // clears ParentColor
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  TFont* Font() const { return font_; }
  void SetFont(TFont* value) { font_->Assign(value); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);
  // Caption and Text are the same wide text.
  std::wstring Caption() const { return GetText(); }
  void SetCaption(const std::wstring& value) { SetText(value); }
  std::wstring Text() const { return GetText(); }
  virtual std::wstring GetText() const;
  virtual void SetText(const std::wstring& value);
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode value);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool value);
  bool UseRightToLeftAlignment() const { return biDiMode_ == bdRightToLeft; }
  bool UseRightToLeftReading() const { return biDiMode_ != bdLeftToRight; }
  // DrawText flags adjusted for right-to-left reading and alignment.
  UINT DrawTextBiDiModeFlags(UINT flags) const;
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* value);
  const std::wstring& Hint() const { return hint_; }
  void SetHint(const std::wstring& value) { hint_ = value; }

  // --- painting -------------------------------------------------------------
  virtual void Invalidate();
  virtual void Update();
  void Repaint();
  void Refresh() { Repaint(); }

  virtual void Click();
  virtual void DblClick();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;

  // Streaming: controls are written as children of their parent.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;

 protected:
  friend class TWinControl;
  // Publishes the named properties every control can have; each class
  // publishes the ones the classic framework publishes for it.
  template <class C>
  static void PublishControl(ClassBuilder<C>& b, std::initializer_list<const char*> names);

  virtual void Resize();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}
  void Notification(TComponent* component, TOperation operation) override;
  // The control's part of the parent's realignment after its own change.
  void RequestAlign();
  // Remembers the distances to the parent's right and bottom edges.
  void UpdateAnchorRules();
  // Moves or stretches the control for a new parent client size.
  void ApplyAnchorRules(int parentWidth, int parentHeight);
  virtual void ColorChanged();
  virtual void FontChanged();
  void Changed();

 private:
  void FontOnChange(TObject*);
  void ConstraintsOnChange(TObject*);
  void HandleMouse(TMessage& message);
  void ParentColorChanged();
  void ParentFontChanged();

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
  int anchorRight_ = 0, anchorBottom_ = 0;
  bool anchorRulesValid_ = false;
  TSizeConstraints* constraints_;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clWindow;
  bool parentColor_ = true;
  TFont* font_;
  bool parentFont_ = true;
  std::wstring text_;  // windowless controls keep their text here
  TBiDiMode biDiMode_ = bdLeftToRight;
  bool parentBiDiMode_ = true;
  bool applyingParentFont_ = false;
  TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState controlState_;
  TPopupMenu* popupMenu_ = nullptr;
  std::wstring hint_;
};

// The control under the mouse as the framework tracks it (CM_MOUSEENTER and
// CM_MOUSELEAVE), and the control that captured the mouse.
TControl* GetMouseControl();
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);

class TWinControl : public TControl {
  NUV_CLASS(TWinControl, TControl)
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  // --- the window -------------------------------------------------------------
  // The window, created on demand (with the parent's first).
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }
  // Destroys and creates the window again, keeping the control's state.
  void RecreateWnd();
  void DestroyHandle();
  // A window the framework did not make (a dialog of the system, say) as
  // the parent of a control that has no Parent; the control's window is
  // made in it at once. Setting Parent clears it; a window that died is
  // taken as no parent at all.
  HWND ParentWindow() const { return parentWindow_; }
  void SetParentWindow(HWND value);

  // --- children -------------------------------------------------------------
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const;
  // The child control at a client point: enabled ones only unless
  // `allowDisabled`, windowless ones only unless `allowWinControls`.
  TControl* ControlAtPos(POINT pos, bool allowDisabled, bool allowWinControls = false);
  bool ContainsControl(const TControl* control) const;
  // Sends the message to each child until one answers non-zero.
  void Broadcast(TMessage& message);
  // Lays out the aligned and anchored children again.
  void Realign();
  void DisableAlign() { ++alignDisabled_; }
  void EnableAlign();

  // --- focus ----------------------------------------------------------------
  virtual bool CanFocus() const;
  virtual void SetFocus();
  bool Focused() const;
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  TBevelEdges BevelEdges() const { return bevelEdges_; }
  void SetBevelEdges(TBevelEdges value);
  int TabOrder() const;
  void SetTabOrder(int value);
  // The next windowed child in tab order after `current` (wrapping around).
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

  POINT ClientOrigin() override;
  RECT ClientRect() override;
  void SetBounds(int left, int top, int width, int height) override;
  void SetParent(TWinControl* parent) override;
  void SetVisible(bool value) override;
  void SetEnabled(bool value) override;
  std::wstring GetText() const override;
  void SetText(const std::wstring& value) override;
  bool Showing() const override;
  void Invalidate() override;
  void Update() override;
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

  // Streaming: the child controls the root owns, then (for the root
  // itself) the components it owns that have no parent.
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

 protected:
  friend class TControl;
  virtual void CreateParams(TCreateParams& params);
  // Registers the class (once) and creates the window with CreateWindowEx.
  virtual void CreateWindowHandle(const TCreateParams& params);
  // Destroys the window (DestroyWnd's last step).
  virtual void DestroyWindowHandle(HWND wnd);
  // The whole creation: params, class, window, then the control's state.
  virtual void CreateWnd();
  // Called once the window exists (font, text, children).
  virtual void CreateHandle();
  virtual void DestroyWnd();
  // Lays out children inside `rect` by their Align, then anchors.
  virtual void AlignControls(TControl* control, RECT& rect);
  // Paints the control's own face on `dc` (default: the window procedure).
  virtual void PaintWindow(HDC dc);
  void PaintHandler(TMessage& message);
  void PaintControls(HDC dc, TControl* first);
  // Passes a message to the window procedure of the window's class.
  LRESULT CallDefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual bool DoKeyDown(WORD& key, TShiftState shift);
  virtual bool DoKeyUp(WORD& key, TShiftState shift);
  virtual bool DoKeyPress(wchar_t& key);
  // Whether the framework may treat the key as a dialog key (Tab, arrows,
  // Enter, Esc) for this control; asks the window (WM_GETDLGCODE).
  virtual bool WantsKey(WORD key);
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void FreeChildren();
  // The window if it exists (never creates it).
  HWND WindowHandle() const { return handle_; }
  // Runs `create`, which makes this control's window; messages that arrive
  // before it returns already reach the control.
  void CreateWindowWith(const std::function<HWND()>& create);
  WNDPROC defWndProc_ = nullptr;

 private:
  friend LRESULT CALLBACK FrameworkWndProc(HWND, UINT, WPARAM, LPARAM) noexcept;
  void UpdateBounds();
  void UpdateShowing();
  HWND ParentWindowAlive() const;
  bool IsControlMouseMsg(TMessage& message);
  void ReflectNotification(TMessage& message);
  void DoAlign(TAlign align, RECT& rect);
  void TrackMouse(TControl* target);
  bool HasOwnClass() const { return !defWndProc_ || defWndProc_ == ::DefWindowProcW; }

  HWND handle_ = nullptr;
  HWND parentWindow_ = nullptr;
  TBrush* brush_;                    // the control's Color, for erasing and WM_CTLCOLOR*
  std::vector<TControl*> controls_;  // children in z-order, windowed and windowless
  std::vector<TWinControl*> tabList_;
  bool tabStop_ = false;
  TBevelEdges bevelEdges_{beLeft, beTop, beRight, beBottom};
  int alignDisabled_ = 0;
  bool alignPending_ = false;
};

// The framework control that owns a window, or nullptr.
TWinControl* FindControl(HWND wnd);
// Makes a control of class T, without owner, whose window lives inside
// `parentWindow`. The caller frees it, before or after that window dies.
template <class T>
T* CreateParentedControl(HWND parentWindow) {
  OwnedObject<T> control(Create<T>(nullptr));
  control->SetParentWindow(parentWindow);
  return control.release();
}
// The form a control sits on (its top-most parent when that is a form).
TCustomForm* GetParentForm(TControl* control);

// A control without a window; its parent paints it and routes the mouse to it.
class TGraphicControl : public TControl {
  NUV_CLASS(TGraphicControl, TControl)
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return canvas_; }
  void WndProc(TMessage& message) override;

 protected:
  virtual void Paint() {}

 private:
  TCanvas* canvas_;
};

// A windowed control painted by its Paint method on its Canvas.
class TCustomControl : public TWinControl {
  NUV_CLASS(TCustomControl, TWinControl)
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return canvas_; }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

 private:
  TCanvas* canvas_;
};

// A canvas on a control: the control's window DC for windowed controls, the
// parent's DC clipped to the control and with its origin for windowless ones.
class TControlCanvas : public TCanvas {
  NUV_CLASS(TControlCanvas, TCanvas)
  ~TControlCanvas() override;
  TControl* Control() const { return control_; }
  void SetControl(TControl* control);
  // Gives the DC back (it is taken again on the next use).
  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  TControl* control_ = nullptr;
  HWND dcWindow_ = nullptr;
  HDC dc_ = nullptr;
};

// Chains a handler in front of a control's WindowProc. The handler gets each
// message and the previous WindowProc to pass it on. Unhooking can happen in
// any order: when later hooks sit on top of this one, it stays in the chain
// as a plain pass-through, so nobody is cut off.
class TWindowProcHook {
 public:
  using Handler = std::function<void(TMessage& message, const TWndMethod& next)>;
  TWindowProcHook(TControl* control, Handler handler);
  ~TWindowProcHook();
  TWindowProcHook(const TWindowProcHook&) = delete;
  TWindowProcHook& operator=(const TWindowProcHook&) = delete;
  // Takes the handler out of the chain now (the destructor does it too).
  void Unhook();
  const TWndMethod& Next() const;

 private:
  struct Link;
  TControl* control_;
  std::shared_ptr<Link> link_;
  TComponent* watcher_ = nullptr;  // clears control_ when the control is freed
};

// ---------------------------------------------------------------------------

template <class C>
void TControl::PublishControl(ClassBuilder<C>& b, std::initializer_list<const char*> names) {
  for (std::string_view n : names) {
    if (n == "Align") b.Enum("Align", &TControl::Align, &TControl::SetAlign);
    else if (n == "Anchors") b.SetOf("Anchors", "TAnchors", &TControl::Anchors, &TControl::SetAnchors);
    else if (n == "BiDiMode") b.Enum("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode);
    else if (n == "Caption") b.WideString("Caption", &TControl::Caption, &TControl::SetCaption, "TCaption");
    else if (n == "Text") b.WideString("Text", &TControl::Text, &TControl::SetText, "TCaption");
    else if (n == "Color") b.Integer("Color", &TControl::Color, &TControl::SetColor).typeName = "TColor";
    else if (n == "Constraints") b.Object("Constraints", &TControl::Constraints, &TControl::SetConstraints);
    else if (n == "Enabled") b.Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled);
    else if (n == "Font") b.Object("Font", &TControl::Font, &TControl::SetFont);
    else if (n == "Hint") b.WideString("Hint", &TControl::Hint, &TControl::SetHint, "string");
    else if (n == "ParentBiDiMode") b.Boolean("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode);
    else if (n == "ParentColor") b.Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
    else if (n == "ParentFont") b.Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont);
    else if (n == "PopupMenu") b.Object("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
    else if (n == "Visible") b.Boolean("Visible", &TControl::Visible, &TControl::SetVisible);
    else if (n == "Left") b.Integer("Left", &TControl::Left, &TControl::SetLeft);
    else if (n == "Top") b.Integer("Top", &TControl::Top, &TControl::SetTop);
    else if (n == "Width") b.Integer("Width", &TControl::Width, &TControl::SetWidth);
    else if (n == "Height") b.Integer("Height", &TControl::Height, &TControl::SetHeight);
    else if (n == "OnClick") b.Event("OnClick", &TControl::OnClick);
    else if (n == "OnDblClick") b.Event("OnDblClick", &TControl::OnDblClick);
    else if (n == "OnResize") b.Event("OnResize", &TControl::OnResize);
    else if (n == "OnMouseEnter") b.Event("OnMouseEnter", &TControl::OnMouseEnter);
    else if (n == "OnMouseLeave") b.Event("OnMouseLeave", &TControl::OnMouseLeave);
    else if (n == "TabStop") {
      if constexpr (std::is_base_of_v<TWinControl, C>)
        b.Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
    } else if (n == "TabOrder") {
      if constexpr (std::is_base_of_v<TWinControl, C>)
        b.Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).typeName = "TTabOrder";
    } else if (n == "BevelEdges") {
      if constexpr (std::is_base_of_v<TWinControl, C>)
        b.SetOf("BevelEdges", "TBevelEdges", &TWinControl::BevelEdges, &TWinControl::SetBevelEdges);
    } else if (n == "OnEnter") {
      if constexpr (std::is_base_of_v<TWinControl, C>) b.Event("OnEnter", &TWinControl::OnEnter);
    } else if (n == "OnExit") {
      if constexpr (std::is_base_of_v<TWinControl, C>) b.Event("OnExit", &TWinControl::OnExit);
    } else {
      throw std::logic_error("no such control property: " + std::string(n));
    }
  }
}

}  // namespace nuvskin
