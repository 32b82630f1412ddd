#include "framework/RangeControls.h"

#include <algorithm>

namespace nuvskin {

// --- TProgressBar -------------------------------------------------------------

void TProgressBar::Publish(ClassBuilder<TProgressBar>& b) {
  PublishControl(b, {"Align", "Anchors", "Constraints", "Enabled", "Hint", "PopupMenu", "Visible", "TabOrder",
                     "TabStop", "OnEnter", "OnExit"});
  b.Integer("Min", &TProgressBar::Min, &TProgressBar::SetMin);
  b.Integer("Max", &TProgressBar::Max, &TProgressBar::SetMax);
  b.Enum("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation);
  b.Integer("Position", &TProgressBar::Position, &TProgressBar::SetPosition);
  b.Boolean("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth);
  b.Integer("Step", &TProgressBar::Step, &TProgressBar::SetStep);
}

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 150, 16);
}

void TProgressBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = PROGRESS_CLASSW;
  if (orientation_ == pbVertical) params.Style |= PBS_VERTICAL;
  if (smooth_) params.Style |= PBS_SMOOTH;
}

void TProgressBar::CreateHandle() {
  TWinControl::CreateHandle();
  ::SendMessageW(WindowHandle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  ::SendMessageW(WindowHandle(), PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
  ::SendMessageW(WindowHandle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetRange(int min, int max) {
  if (max < min) max = min;
  min_ = min;
  max_ = max;
  if (HandleAllocated())
    ::SendMessageW(WindowHandle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  SetPosition(position_);
}

void TProgressBar::SetPosition(int value) {
  position_ = std::clamp(value, min_, max_);
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetStep(int value) {
  step_ = value;
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
}

void TProgressBar::StepIt() {
  long long next = static_cast<long long>(position_) + step_;
  const long long span = static_cast<long long>(max_) - min_;
  if (span > 0 && (next > max_ || next < min_)) next = min_ + ((next - min_) % span + span) % span;
  SetPosition(static_cast<int>(std::clamp<long long>(next, min_, max_)));
}

void TProgressBar::StepBy(int delta) {
  SetPosition(static_cast<int>(std::clamp<long long>(static_cast<long long>(position_) + delta, min_, max_)));
}

void TProgressBar::SetOrientation(TProgressBarOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  RecreateWnd();
}

void TProgressBar::SetSmooth(bool value) {
  if (value == smooth_) return;
  smooth_ = value;
  RecreateWnd();
}

// --- TTrackBar ----------------------------------------------------------------

void TTrackBar::Publish(ClassBuilder<TTrackBar>& b) {
  PublishControl(b, {"Align", "Anchors", "BiDiMode", "Constraints", "Enabled", "Hint", "ParentBiDiMode",
                     "PopupMenu", "Visible", "TabOrder", "TabStop", "OnEnter", "OnExit"});
  b.Integer("Frequency", &TTrackBar::Frequency, &TTrackBar::SetFrequency);
  b.Integer("LineSize", &TTrackBar::LineSize, &TTrackBar::SetLineSize);
  b.Integer("Max", &TTrackBar::Max, &TTrackBar::SetMax);
  b.Integer("Min", &TTrackBar::Min, &TTrackBar::SetMin);
  b.Enum("Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation);
  b.Integer("PageSize", &TTrackBar::PageSize, &TTrackBar::SetPageSize);
  b.Integer("Position", &TTrackBar::Position, &TTrackBar::SetPosition);
  b.Integer("SelEnd", &TTrackBar::SelEnd, &TTrackBar::SetSelEnd);
  b.Integer("SelStart", &TTrackBar::SelStart, &TTrackBar::SetSelStart);
  b.Enum("TickMarks", &TTrackBar::TickMarks, &TTrackBar::SetTickMarks);
  b.Enum("TickStyle", &TTrackBar::TickStyle, &TTrackBar::SetTickStyle);
  b.Event("OnChange", &TTrackBar::OnChange);
}

TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 150, 45);
  SetTabStop(true);
}

void TTrackBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = TRACKBAR_CLASSW;
  params.Style |= TBS_ENABLESELRANGE;
  params.Style |= orientation_ == trVertical ? TBS_VERT : TBS_HORZ;
  switch (tickMarks_) {
    case tmBottomRight: params.Style |= TBS_BOTTOM; break;  // TBS_RIGHT for a vertical bar: the same bit
    case tmTopLeft: params.Style |= TBS_TOP; break;
    case tmBoth: params.Style |= TBS_BOTH; break;
  }
  switch (tickStyle_) {
    case tsNone: params.Style |= TBS_NOTICKS; break;
    case tsAuto: params.Style |= TBS_AUTOTICKS; break;
    case tsManual: break;
  }
}

void TTrackBar::CreateHandle() {
  TWinControl::CreateHandle();
  HWND wnd = WindowHandle();
  ::SendMessageW(wnd, TBM_SETRANGEMIN, FALSE, min_);
  ::SendMessageW(wnd, TBM_SETRANGEMAX, FALSE, max_);
  ::SendMessageW(wnd, TBM_SETLINESIZE, 0, lineSize_);
  ::SendMessageW(wnd, TBM_SETPAGESIZE, 0, pageSize_);
  if (tickStyle_ == tsAuto) ::SendMessageW(wnd, TBM_SETTICFREQ, static_cast<WPARAM>(frequency_), 0);
  for (int tick : ticks_) ::SendMessageW(wnd, TBM_SETTIC, 0, tick);
  ::SendMessageW(wnd, TBM_SETSELSTART, FALSE, selStart_);
  ::SendMessageW(wnd, TBM_SETSELEND, FALSE, selEnd_);
  ::SendMessageW(wnd, TBM_SETPOS, TRUE, position_);
}

void TTrackBar::DestroyWnd() {
  PositionFromWindow();
  TWinControl::DestroyWnd();
}

void TTrackBar::PositionFromWindow() {
  if (HandleAllocated()) position_ = static_cast<int>(::SendMessageW(WindowHandle(), TBM_GETPOS, 0, 0));
}

int TTrackBar::Position() const {
  return HandleAllocated() ? static_cast<int>(::SendMessageW(WindowHandle(), TBM_GETPOS, 0, 0)) : position_;
}

void TTrackBar::SetPosition(int value) {
  value = std::clamp(value, min_, max_);
  const int old = Position();
  position_ = value;
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), TBM_SETPOS, TRUE, value);
  if (old != value && !IsLoading()) Changed();
}

void TTrackBar::SetRange(int min, int max) {
  if (max < min) max = min;
  const int old = Position();
  min_ = min;
  max_ = max;
  position_ = std::clamp(old, min_, max_);
  if (HandleAllocated()) {
    ::SendMessageW(WindowHandle(), TBM_SETRANGEMIN, FALSE, min_);
    ::SendMessageW(WindowHandle(), TBM_SETRANGEMAX, TRUE, max_);
    ::SendMessageW(WindowHandle(), TBM_SETPOS, TRUE, position_);
  }
  if (old != position_ && !IsLoading()) Changed();
}

void TTrackBar::SetFrequency(int value) {
  frequency_ = std::max(1, value);
  if (HandleAllocated() && tickStyle_ == tsAuto)
    ::SendMessageW(WindowHandle(), TBM_SETTICFREQ, static_cast<WPARAM>(frequency_), 0);
}

void TTrackBar::SetOrientation(TTrackBarOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  PositionFromWindow();
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TTrackBar::SetTickMarks(TTickMark value) {
  if (value == tickMarks_) return;
  tickMarks_ = value;
  PositionFromWindow();
  RecreateWnd();
}

void TTrackBar::SetTickStyle(TTickStyle value) {
  if (value == tickStyle_) return;
  tickStyle_ = value;
  PositionFromWindow();
  RecreateWnd();
}

void TTrackBar::SetTick(int value) {
  if (std::find(ticks_.begin(), ticks_.end(), value) == ticks_.end()) ticks_.push_back(value);
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), TBM_SETTIC, 0, value);
}

void TTrackBar::SetSelStart(int value) {
  selStart_ = value;
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), TBM_SETSELSTART, TRUE, value);
}

void TTrackBar::SetSelEnd(int value) {
  selEnd_ = value;
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), TBM_SETSELEND, TRUE, value);
}

void TTrackBar::SetLineSize(int value) {
  lineSize_ = value;
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), TBM_SETLINESIZE, 0, value);
}

void TTrackBar::SetPageSize(int value) {
  pageSize_ = value;
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), TBM_SETPAGESIZE, 0, value);
}

void TTrackBar::Changed() {
  if (OnChange) OnChange(this);
}

void TTrackBar::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL: {
      const int old = position_;
      PositionFromWindow();
      m.Result = 0;
      if (position_ != old) Changed();
      return;
    }
    default:
      TWinControl::WndProc(m);
  }
}

// --- TCustomUpDown ------------------------------------------------------------

TCustomUpDown::TCustomUpDown(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 17, 25);
}

void TCustomUpDown::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = UPDOWN_CLASSW;
  params.Style |= UDS_SETBUDDYINT;
  if (orientation_ == udHorizontal) params.Style |= UDS_HORZ;
  if (wrap_) params.Style |= UDS_WRAP;
  if (arrowKeys_) params.Style |= UDS_ARROWKEYS;
  if (!thousands_) params.Style |= UDS_NOTHOUSANDS;
  if (associate_) params.Style |= alignButton_ == udLeft ? UDS_ALIGNLEFT : UDS_ALIGNRIGHT;
}

void TCustomUpDown::CreateHandle() {
  TWinControl::CreateHandle();
  HWND wnd = WindowHandle();
  ::SendMessageW(wnd, UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  UDACCEL accel{0, static_cast<UINT>(increment_)};
  ::SendMessageW(wnd, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  ApplyBuddy();
  ::SendMessageW(wnd, UDM_SETPOS32, 0, position_);
}

void TCustomUpDown::DestroyWnd() {
  position_ = Position();
  TWinControl::DestroyWnd();
}

void TCustomUpDown::ApplyBuddy() {
  if (!HandleAllocated()) return;
  // An associate without a parent has no window yet; it is set once both exist.
  HWND buddy = associate_ && (associate_->HandleAllocated() || associate_->Parent()) ? associate_->Handle() : nullptr;
  ::SendMessageW(WindowHandle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
  if (buddy) ::SendMessageW(WindowHandle(), UDM_SETPOS32, 0, position_);  // shows the position in the buddy
  // Moving beside the buddy can leave the buttons unpainted (seen under Wine).
  ::InvalidateRect(WindowHandle(), nullptr, TRUE);
}

int TCustomUpDown::Position() const {
  // The error flag only says the buddy's text is no number (or there is no
  // buddy); the value is the buttons' own position either way.
  if (HandleAllocated()) position_ = static_cast<int>(::SendMessageW(WindowHandle(), UDM_GETPOS32, 0, 0));
  return position_;
}

void TCustomUpDown::SetPosition(int value) {
  position_ = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), UDM_SETPOS32, 0, position_);
}

void TCustomUpDown::SetMin(int value) {
  min_ = value;
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

void TCustomUpDown::SetMax(int value) {
  max_ = value;
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

void TCustomUpDown::SetIncrement(int value) {
  increment_ = value;
  if (!HandleAllocated()) return;
  UDACCEL accel{0, static_cast<UINT>(increment_)};
  ::SendMessageW(WindowHandle(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

void TCustomUpDown::SetOrientation(TUDOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  position_ = Position();
  RecreateWnd();
}

void TCustomUpDown::SetAlignButton(TUDAlignButton value) {
  if (value == alignButton_) return;
  alignButton_ = value;
  position_ = Position();
  RecreateWnd();
}

void TCustomUpDown::SetAssociate(TWinControl* value) {
  if (value == associate_) return;
  if (value == this) throw EInvalidOperation("An up-down cannot be its own associate");
  if (associate_) associate_->RemoveFreeNotification(this);
  associate_ = value;
  if (associate_) associate_->FreeNotification(this);
  if (HandleAllocated()) {
    // The alignment style is read when the buddy is set, so make the window again.
    position_ = Position();
    RecreateWnd();
  }
}

void TCustomUpDown::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == associate_) {
    associate_ = nullptr;
    if (HandleAllocated()) ::SendMessageW(WindowHandle(), UDM_SETBUDDY, 0, 0);
  }
}

void TCustomUpDown::SetWrap(bool value) {
  if (value == wrap_) return;
  wrap_ = value;
  position_ = Position();
  RecreateWnd();
}

void TCustomUpDown::SetArrowKeys(bool value) {
  if (value == arrowKeys_) return;
  arrowKeys_ = value;
  position_ = Position();
  RecreateWnd();
}

void TCustomUpDown::SetThousands(bool value) {
  if (value == thousands_) return;
  thousands_ = value;
  position_ = Position();
  RecreateWnd();
}

bool TCustomUpDown::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TCustomUpDown::Click(TUDBtnType button) {
  if (OnClick) OnClick(this, button);
}

void TCustomUpDown::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
      if (hdr->code == UDN_DELTAPOS) {
        lastDelta_ = reinterpret_cast<NMUPDOWN*>(m.LParam)->iDelta;
        m.Result = CanChange() ? 0 : 1;  // non-zero keeps the position
        return;
      }
      break;
    }
    case CN_HSCROLL:
    case CN_VSCROLL:
      // Sent after the position changed.
      if (LOWORD(m.WParam) == SB_THUMBPOSITION) {
        position_ = Position();
        Click(lastDelta_ < 0 ? btPrev : btNext);
      }
      m.Result = 0;
      return;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

void TUpDown::Publish(ClassBuilder<TUpDown>& b) {
  PublishControl(b, {"Align", "Anchors", "Constraints", "Enabled", "Hint", "PopupMenu", "Visible", "TabOrder",
                     "TabStop", "OnEnter", "OnExit"});
  b.Enum("AlignButton", &TUpDown::AlignButton, &TUpDown::SetAlignButton);
  b.Object("Associate", &TUpDown::Associate, &TUpDown::SetAssociate);
  b.Boolean("ArrowKeys", &TUpDown::ArrowKeys, &TUpDown::SetArrowKeys);
  b.Integer("Increment", &TUpDown::Increment, &TUpDown::SetIncrement);
  b.Integer("Max", &TUpDown::Max, &TUpDown::SetMax);
  b.Integer("Min", &TUpDown::Min, &TUpDown::SetMin);
  b.Enum("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation);
  b.Integer("Position", &TUpDown::Position, &TUpDown::SetPosition);
  b.Boolean("Thousands", &TUpDown::Thousands, &TUpDown::SetThousands);
  b.Boolean("Wrap", &TUpDown::Wrap, &TUpDown::SetWrap);
}

}  // namespace nuvskin
