#include "framework/Mask.h"

#include <algorithm>

namespace nuvskin {

namespace {

wchar_t MapCase(wchar_t c, bool upper) {
  auto p = reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c));
  return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(upper ? ::CharUpperW(p) : ::CharLowerW(p)));
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::wstring ClipboardText(HWND owner) {
  std::wstring text;
  if (!::OpenClipboard(owner)) return text;
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text = p;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

}  // namespace

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TCustomMaskEdit::ParseMask() {
  slots_.clear();
  saveLiterals_ = true;
  blank_ = L'_';
  Case letterCase = Case::AsTyped;
  std::size_t i = 0;
  for (; i < mask_.size(); ++i) {
    const wchar_t c = mask_[i];
    if (c == L';') break;
    Slot slot;
    slot.letterCase = letterCase;
    switch (c) {
      case L'\\':
        if (++i >= mask_.size()) continue;
        slot.literal = mask_[i];
        break;
      case L'>':
        if (i + 1 < mask_.size() && mask_[i + 1] == L'<') {
          ++i;
          letterCase = Case::AsTyped;
        } else {
          letterCase = Case::Upper;
        }
        continue;
      case L'<':
        if (i + 1 < mask_.size() && mask_[i + 1] == L'>') {
          ++i;
          letterCase = Case::AsTyped;
        } else {
          letterCase = Case::Lower;
        }
        continue;
      case L'!': continue;
      case L'0': case L'9': case L'#': case L'L': case L'l': case L'A': case L'a': case L'C': case L'c':
        slot.kind = c;
        break;
      case L'_': slot.literal = L' '; break;
      default: slot.literal = c; break;
    }
    slots_.push_back(slot);
  }
  // ";0" drops the literals from Text; a third field names the blank.
  if (i < mask_.size()) {
    const std::wstring rest = mask_.substr(i + 1);
    if (!rest.empty() && rest[0] == L'0') saveLiterals_ = false;
    const std::size_t second = rest.find(L';');
    if (second != std::wstring::npos && second + 1 < rest.size()) blank_ = rest[second + 1];
  }
}

bool TCustomMaskEdit::Accepts(const Slot& slot, wchar_t c) const {
  switch (slot.kind) {
    case L'0': case L'9': return IsDigit(c);
    case L'#': return IsDigit(c) || c == L'+' || c == L'-';
    case L'L': case L'l': return ::IsCharAlphaW(c) != 0;
    case L'A': case L'a': return ::IsCharAlphaNumericW(c) != 0;
    case L'C': case L'c': return c >= L' ';
    default: return false;
  }
}

wchar_t TCustomMaskEdit::Convert(const Slot& slot, wchar_t c) const {
  if (slot.letterCase == Case::AsTyped) return c;
  return MapCase(c, slot.letterCase == Case::Upper);
}

std::wstring TCustomMaskEdit::Format(const std::wstring& value) const {
  std::wstring out;
  std::size_t v = 0;
  for (const Slot& slot : slots_) {
    if (!slot.kind) {
      out += slot.literal;
      if (saveLiterals_ && v < value.size()) ++v;  // the value has the literal here too
      continue;
    }
    const wchar_t c = v < value.size() ? value[v++] : blank_;
    out += (c != blank_ && Accepts(slot, c)) ? Convert(slot, c) : blank_;
  }
  return out;
}

std::wstring TCustomMaskEdit::GetText() const {
  if (!IsMasked()) return TCustomEdit::GetText();
  const std::wstring raw = EditText();
  std::wstring out;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (!slots_[i].kind) {
      if (saveLiterals_) out += slots_[i].literal;
      continue;
    }
    const wchar_t c = i < raw.size() ? raw[i] : blank_;
    out += c == blank_ ? L' ' : c;
  }
  return out;
}

void TCustomMaskEdit::SetEditText(const std::wstring& value) {
  std::wstring text = value;
  if (IsMasked()) {
    // Shown text: the literals at their places, refused characters blank.
    const bool save = saveLiterals_;
    saveLiterals_ = true;
    text = Format(value);
    saveLiterals_ = save;
  }
  if (HandleAllocated())
    ::SetWindowTextW(EditHandle(), text.c_str());
  else
    TControl::SetText(text);
}

void TCustomMaskEdit::SetText(const std::wstring& value) {
  if (!IsMasked()) {
    TCustomEdit::SetText(value);
    return;
  }
  const std::wstring shown = Format(value);
  if (HandleAllocated())
    ::SetWindowTextW(EditHandle(), shown.c_str());
  else
    TControl::SetText(shown);
}

void TCustomMaskEdit::SetEditMask(const std::wstring& value) {
  if (value == mask_) return;
  // The characters entered so far go into the new mask in order.
  std::wstring entered;
  if (IsMasked()) {
    const std::wstring raw = EditText();
    for (std::size_t i = 0; i < slots_.size() && i < raw.size(); ++i)
      if (slots_[i].kind && raw[i] != blank_) entered += raw[i];
  } else {
    entered = TCustomEdit::GetText();
  }
  mask_ = value;
  ParseMask();
  const bool save = saveLiterals_;
  saveLiterals_ = false;
  const std::wstring shown = IsMasked() ? Format(entered) : entered;
  saveLiterals_ = save;
  SetMaxLength(static_cast<int>(slots_.size()));
  if (HandleAllocated())
    ::SetWindowTextW(EditHandle(), shown.c_str());
  else
    TControl::SetText(shown);
}

bool TCustomMaskEdit::IsValidInput() const {
  const std::wstring raw = EditText();
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const wchar_t kind = slots_[i].kind;
    const bool required = kind == L'0' || kind == L'L' || kind == L'A' || kind == L'C';
    if (required && (i >= raw.size() || raw[i] == blank_)) return false;
  }
  return true;
}

void TCustomMaskEdit::ValidateEdit() const {
  if (!IsValidInput()) throw EDBEditError("Invalid input value.  Use escape key to abandon changes");
}

void TCustomMaskEdit::DestroyWnd() {
  // The window's text is kept as shown, not as Text gives it.
  const std::wstring shown = EditText();
  TCustomEdit::DestroyWnd();
  if (IsMasked()) TControl::SetText(shown);
}

int TCustomMaskEdit::NextInput(int pos) const {
  for (int i = std::max(0, pos); i < static_cast<int>(slots_.size()); ++i)
    if (slots_[static_cast<std::size_t>(i)].kind) return i;
  return -1;
}

bool TCustomMaskEdit::TypeChar(std::wstring& text, int& pos, wchar_t c) const {
  const int i = NextInput(pos);
  if (i < 0 || !Accepts(slots_[static_cast<std::size_t>(i)], c)) return false;
  text[static_cast<std::size_t>(i)] = Convert(slots_[static_cast<std::size_t>(i)], c);
  pos = i + 1;
  while (pos < static_cast<int>(slots_.size()) && !slots_[static_cast<std::size_t>(pos)].kind) ++pos;
  return true;
}

void TCustomMaskEdit::ClearRange(std::wstring& text, int start, int end) const {
  for (int i = std::max(0, start); i < end && i < static_cast<int>(slots_.size()); ++i)
    if (slots_[static_cast<std::size_t>(i)].kind) text[static_cast<std::size_t>(i)] = blank_;
}

void TCustomMaskEdit::Show(const std::wstring& text, int caret) {
  ::SetWindowTextW(EditHandle(), text.c_str());
  ::SendMessageW(EditHandle(), EM_SETSEL, static_cast<WPARAM>(caret), caret);
}

void TCustomMaskEdit::WndProc(TMessage& m) {
  if (IsMasked() && HandleAllocated() && !ReadOnly()) {
    DWORD start = 0, end = 0;
    auto current = [&] {
      ::SendMessageW(EditHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      std::wstring text = EditText();
      text.resize(slots_.size(), blank_);
      for (std::size_t i = 0; i < slots_.size(); ++i)
        if (!slots_[i].kind) text[i] = slots_[i].literal;
      return text;
    };
    switch (m.Msg) {
      case WM_CHAR: {
        const auto c = static_cast<wchar_t>(m.WParam);
        if (c != VK_BACK && c < L' ') break;  // copy, paste... reach the edit
        std::wstring text = current();
        int pos = static_cast<int>(start);
        if (c == VK_BACK) {
          if (end > start) {
            ClearRange(text, pos, static_cast<int>(end));
          } else {
            while (--pos >= 0 && !slots_[static_cast<std::size_t>(pos)].kind) {
            }
            if (pos < 0) pos = 0;
            ClearRange(text, pos, pos + 1);
          }
          Show(text, pos);
        } else {
          ClearRange(text, pos, static_cast<int>(end));
          if (TypeChar(text, pos, c))
            Show(text, pos);
          else
            ::MessageBeep(0);  // refused: the text stays as it was
        }
        m.Result = 0;
        return;
      }
      case WM_KEYDOWN:
        if (m.WParam == VK_DELETE) {
          std::wstring text = current();
          ClearRange(text, static_cast<int>(start), static_cast<int>(std::max(end, start + 1)));
          Show(text, static_cast<int>(start));
          m.Result = 0;
          return;
        }
        break;
      case WM_PASTE: {
        std::wstring text = current();
        int pos = static_cast<int>(start);
        ClearRange(text, pos, static_cast<int>(end));
        for (wchar_t c : ClipboardText(EditHandle())) {
          if (!TypeChar(text, pos, c)) {
            ::MessageBeep(0);
            break;
          }
        }
        Show(text, pos);
        m.Result = 0;
        return;
      }
      case WM_CUT:
      case WM_CLEAR: {
        std::wstring text = current();
        if (m.Msg == WM_CUT) CallDefaultProc(WM_COPY, 0, 0);
        ClearRange(text, static_cast<int>(start), static_cast<int>(end));
        Show(text, static_cast<int>(start));
        m.Result = 0;
        return;
      }
      default:
        break;
    }
  }
  TCustomEdit::WndProc(m);
}

void TMaskEdit::Publish(ClassBuilder<TMaskEdit>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors", "BevelEdges", "BiDiMode"});
  b.Enum("BorderStyle", &TMaskEdit::BorderStyle, &TMaskEdit::SetBorderStyle, "TBorderStyle").defaultOrd = bsSingle;
  b.Enum("CharCase", &TMaskEdit::CharCase, &TMaskEdit::SetCharCase).defaultOrd = ecNormal;
  PublishControl(b, {"Color", "Constraints"});
  b.WideString("EditMask", &TMaskEdit::EditMask, &TMaskEdit::SetEditMask, "TEditMask");
  PublishControl(b, {"Enabled", "Font"});
  b.Enum("ImeMode", &TMaskEdit::ImeMode, &TMaskEdit::SetImeMode).defaultOrd = imDontCare;
  b.Integer("MaxLength", &TMaskEdit::MaxLength, &TMaskEdit::SetMaxLength).defaultOrd = 0;
  PublishControl(b, {"ParentBiDiMode", "ParentColor", "ParentFont"});
  b.Integer("PasswordChar", &TMaskEdit::PasswordChar, &TMaskEdit::SetPasswordChar).typeName = "Char";
  PublishControl(b, {"PopupMenu"});
  b.Boolean("ReadOnly", &TMaskEdit::ReadOnly, &TMaskEdit::SetReadOnly).defaultOrd = 0;
  PublishControl(b, {"TabOrder", "TabStop", "Text", "Visible"});
  b.Event("OnChange", &TMaskEdit::OnChange);
  PublishControl(b, {"OnClick", "OnDblClick", "OnEnter", "OnExit"});
}

}  // namespace nuvskin
