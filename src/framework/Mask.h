// The masked edit: an edit whose text follows an input mask.
//
// A mask has up to three fields separated by ';': the mask, '0' when the
// literals are not part of Text ('1', the default, when they are), and the
// character shown for positions not filled yet ('_' by default). In the mask:
//   0  digit, required        9  digit, optional      #  digit or sign, optional
//   L  letter, required       l  letter, optional
//   A  letter or digit, req.  a  letter or digit, optional
//   C  any character, req.    c  any character, optional
//   >  upper case from here   <  lower case from here  <>  case as typed
//   \  the next character is a literal    !  accepted and ignored
// Every other character is a literal shown as it is.
#pragma once

#include <string>
#include <vector>

#include "framework/StdCtrls.h"

namespace nuvskin {

// Input that does not fill the mask's required positions.
class EDBEditError : public Exception {
  using Exception::Exception;
};

class TCustomMaskEdit : public TCustomEdit {
  NUV_CLASS(TCustomMaskEdit, TCustomEdit)
  explicit TCustomMaskEdit(TComponent* owner);
  const std::wstring& EditMask() const { return mask_; }
  // Keeps the characters already entered, placed into the new mask.
  void SetEditMask(const std::wstring& value);
  bool IsMasked() const { return !slots_.empty(); }
  // The text as shown: literals and blanks included.
  std::wstring EditText() const { return TCustomEdit::GetText(); }
  void SetEditText(const std::wstring& value);
  // Text: the entered characters (unfilled positions as spaces), with the
  // literals when the mask keeps them.
  std::wstring GetText() const override;
  void SetText(const std::wstring& value) override;
  // Every required position is filled.
  bool IsValidInput() const;
  // Raises EDBEditError unless IsValidInput.
  void ValidateEdit() const;
  void WndProc(TMessage& message) override;

 protected:
  void DestroyWnd() override;

 private:
  enum class Case { AsTyped, Upper, Lower };
  struct Slot {
    wchar_t kind = 0;  // the mask character; 0 for a literal
    wchar_t literal = 0;
    Case letterCase = Case::AsTyped;
  };
  void ParseMask();
  bool Accepts(const Slot& slot, wchar_t c) const;
  wchar_t Convert(const Slot& slot, wchar_t c) const;
  // `value` placed into the mask: with literals when the mask keeps them.
  std::wstring Format(const std::wstring& value) const;
  // Types `c` at `pos`; false (nothing changed) when the mask refuses it.
  bool TypeChar(std::wstring& text, int& pos, wchar_t c) const;
  void ClearRange(std::wstring& text, int start, int end) const;
  void Show(const std::wstring& text, int caret);
  int NextInput(int pos) const;

  std::wstring mask_;
  std::vector<Slot> slots_;
  bool saveLiterals_ = true;
  wchar_t blank_ = L'_';
};

class TMaskEdit : public TCustomMaskEdit {
  NUV_CLASS(TMaskEdit, TCustomMaskEdit)
  static void Publish(ClassBuilder<TMaskEdit>& b);
  using TCustomMaskEdit::TCustomMaskEdit;
};

}  // namespace nuvskin
