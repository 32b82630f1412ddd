// Controls over a range of values, superclassing the system common controls:
// the progress bar, the track bar and the up-down buttons.
#pragma once

#include "framework/CommonControls.h"

namespace nuvskin {

enum TProgressBarOrientation { pbHorizontal, pbVertical };
NUV_ENUM(TProgressBarOrientation, "pbHorizontal", "pbVertical");

// A progress bar (msctls_progress32). Position stays within Min..Max.
class TProgressBar : public TWinControl {
  NUV_CLASS(TProgressBar, TWinControl)
  static void Publish(ClassBuilder<TProgressBar>& b);
  explicit TProgressBar(TComponent* owner);

  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetMin(int value) { SetRange(value, std::max(value, max_)); }
  void SetMax(int value) { SetRange(std::min(value, min_), value); }
  void SetRange(int min, int max);
  int Position() const { return position_; }
  void SetPosition(int value);
  int Step() const { return step_; }
  void SetStep(int value);
  // Advances by Step; past Max it starts again from Min, as the system bar does.
  void StepIt();
  void StepBy(int delta);
  TProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TProgressBarOrientation value);
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;

 private:
  int min_ = 0, max_ = 100, position_ = 0, step_ = 10;
  TProgressBarOrientation orientation_ = pbHorizontal;
  bool smooth_ = false;
};

enum TTrackBarOrientation { trHorizontal, trVertical };
NUV_ENUM(TTrackBarOrientation, "trHorizontal", "trVertical");
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
NUV_ENUM(TTickMark, "tmBottomRight", "tmTopLeft", "tmBoth");
enum TTickStyle { tsNone, tsAuto, tsManual };
NUV_ENUM(TTickStyle, "tsNone", "tsAuto", "tsManual");

// A track bar (msctls_trackbar32). OnChange fires whenever Position changes,
// by the user (the reflected scroll notifications) or by code.
class TTrackBar : public TWinControl {
  NUV_CLASS(TTrackBar, TWinControl)
  static void Publish(ClassBuilder<TTrackBar>& b);
  explicit TTrackBar(TComponent* owner);

  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetMin(int value) { SetRange(value, std::max(value, max_)); }
  void SetMax(int value) { SetRange(std::min(value, min_), value); }
  void SetRange(int min, int max);
  int Position() const;
  void SetPosition(int value);
  // Distance between automatic tick marks.
  int Frequency() const { return frequency_; }
  void SetFrequency(int value);
  TTrackBarOrientation Orientation() const { return orientation_; }
  // Swaps Width and Height, as turning the bar does.
  void SetOrientation(TTrackBarOrientation value);
  TTickMark TickMarks() const { return tickMarks_; }
  void SetTickMarks(TTickMark value);
  TTickStyle TickStyle() const { return tickStyle_; }
  void SetTickStyle(TTickStyle value);
  // A tick at `value` (used with TickStyle tsManual).
  void SetTick(int value);
  int SelStart() const { return selStart_; }
  int SelEnd() const { return selEnd_; }
  void SetSelStart(int value);
  void SetSelEnd(int value);
  int LineSize() const { return lineSize_; }
  void SetLineSize(int value);
  int PageSize() const { return pageSize_; }
  void SetPageSize(int value);

  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void DestroyWnd() override;
  void WndProc(TMessage& message) override;
  virtual void Changed();

 private:
  void PositionFromWindow();
  int min_ = 0, max_ = 10, position_ = 0, frequency_ = 1;
  TTrackBarOrientation orientation_ = trHorizontal;
  TTickMark tickMarks_ = tmBottomRight;
  TTickStyle tickStyle_ = tsAuto;
  int selStart_ = 0, selEnd_ = 0, lineSize_ = 1, pageSize_ = 2;
  std::vector<int> ticks_;  // manual ticks, set again on a new window
};

enum TUDOrientation { udHorizontal, udVertical };
NUV_ENUM(TUDOrientation, "udHorizontal", "udVertical");
enum TUDAlignButton { udLeft, udRight };
NUV_ENUM(TUDAlignButton, "udLeft", "udRight");
enum TUDBtnType { btNext, btPrev };
NUV_ENUM(TUDBtnType, "btNext", "btPrev");

using TUDClickEvent = Event<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = Event<void(TObject* Sender, bool& AllowChange)>;

// Up-down buttons (msctls_updown32). With an Associate the buttons sit
// beside that control and show their position in its text.
class TCustomUpDown : public TWinControl {
  NUV_CLASS(TCustomUpDown, TWinControl)
  explicit TCustomUpDown(TComponent* owner);

  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetMin(int value);
  void SetMax(int value);
  // The window's position (it follows the associate's text).
  int Position() const;
  void SetPosition(int value);
  int Increment() const { return increment_; }
  void SetIncrement(int value);
  TUDOrientation Orientation() const { return orientation_; }
  void SetOrientation(TUDOrientation value);
  TUDAlignButton AlignButton() const { return alignButton_; }
  void SetAlignButton(TUDAlignButton value);
  TWinControl* Associate() const { return associate_; }
  void SetAssociate(TWinControl* value);
  bool Wrap() const { return wrap_; }
  void SetWrap(bool value);
  bool ArrowKeys() const { return arrowKeys_; }
  void SetArrowKeys(bool value);
  bool Thousands() const { return thousands_; }
  void SetThousands(bool value);

  // After a button changed the position.
  TUDClickEvent OnClick;
  // Before a button changes the position; AllowChange false keeps it.
  TUDChangingEvent OnChanging;

 protected:
  using TControl::Click;
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void DestroyWnd() override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual bool CanChange();
  virtual void Click(TUDBtnType button);

 private:
  void ApplyBuddy();
  int min_ = 0, max_ = 100, increment_ = 1;
  mutable int position_ = 0;
  TUDOrientation orientation_ = udVertical;
  TUDAlignButton alignButton_ = udRight;
  TWinControl* associate_ = nullptr;
  bool wrap_ = false, arrowKeys_ = true, thousands_ = true;
  int lastDelta_ = 0;
};

class TUpDown : public TCustomUpDown {
  NUV_CLASS(TUpDown, TCustomUpDown)
  static void Publish(ClassBuilder<TUpDown>& b);
  using TCustomUpDown::TCustomUpDown;
};

}  // namespace nuvskin
