#include "framework/Dialogs.h"

#include <algorithm>

namespace nuvskin {

namespace {

constexpr int kMargin = 10;
constexpr int kIconTextGap = 12;
constexpr int kTextButtonGap = 14;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 6;

struct ButtonInfo {
  const wchar_t* caption;
  const char* name;
  TModalResult result;
};

const ButtonInfo kButtons[] = {
    {L"&Yes", "Yes", mrYes},          {L"&No", "No", mrNo},
    {L"OK", "OK", mrOk},              {L"Cancel", "Cancel", mrCancel},
    {L"&Abort", "Abort", mrAbort},    {L"&Retry", "Retry", mrRetry},
    {L"&Ignore", "Ignore", mrIgnore}, {L"&All", "All", mrAll},
    {L"N&o to All", "NoToAll", mrNoToAll}, {L"Yes to &All", "YesToAll", mrYesToAll},
    {L"&Help", "Help", mrNone},       {L"&Close", "Close", mrClose},
};

const wchar_t* const kCaptions[] = {L"Warning", L"Error", L"Information", L"Confirm"};
const LPCWSTR kIcons[] = {IDI_WARNING, IDI_ERROR, IDI_INFORMATION, IDI_QUESTION};

// The system's message font, as message boxes use it.
void UseMessageFont(TFont* font) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return;
  if (HFONT handle = ::CreateFontIndirectW(&metrics.lfMessageFont)) font->SetHandle(handle);
}

}  // namespace

TForm* CreateMessageDialog(const std::wstring& message, TMsgDlgType type, TMsgDlgButtons buttons) {
  auto* form = Create<TMessageForm>(Application);
  try {
    form->SetBorderStyle(bsDialog);
    form->SetPosition(poScreenCenter);
    form->SetCaption(type == mtCustom ? (Application ? Application->Title() : std::wstring()) : kCaptions[type]);
    UseMessageFont(form->Font());

    const UINT textFlags = DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX;
    const SIZE text = MeasureText(form->Font(), message.empty() ? L" " : message, textFlags,
                                  std::max(200, ::GetSystemMetrics(SM_CXSCREEN) / 2));
    const int iconSize = type == mtCustom ? 0 : ::GetSystemMetrics(SM_CXICON);
    const int textLeft = kMargin + (iconSize ? iconSize + kIconTextGap : 0);
    int count = 0;
    for (int b = mbYes; b <= mbClose; ++b) count += buttons.Contains(static_cast<TMsgDlgBtn>(b)) ? 1 : 0;
    const int buttonsWidth = count * kButtonWidth + std::max(0, count - 1) * kButtonGap;
    const int bodyHeight = std::max<int>(text.cy, iconSize);
    const int clientWidth = std::max<int>(textLeft + text.cx, kMargin + buttonsWidth) + kMargin;
    const int clientHeight = kMargin + bodyHeight + (count ? kTextButtonGap + kButtonHeight : 0) + kMargin;
    form->SetClientSize(clientWidth, clientHeight);

    if (iconSize) {
      TImage* image = Create<TImage>(form);
      image->SetName("Image");
      image->SetBounds(kMargin, kMargin, iconSize, iconSize);
      image->Picture()->Icon()->SetHandle(::CopyIcon(::LoadIconW(nullptr, kIcons[type])));
      image->SetParent(form);
      form->icon_ = image;
    }
    TLabel* label = Create<TLabel>(form);
    label->SetName("Message");
    label->SetShowAccelChar(false);
    label->SetWordWrap(true);
    label->SetBounds(textLeft, kMargin + (bodyHeight - text.cy) / 2, text.cx, text.cy);
    label->SetCaption(message);
    label->SetParent(form);
    form->message_ = label;

    const TMsgDlgBtn defaultButton = buttons.Contains(mbOK) ? mbOK : buttons.Contains(mbYes) ? mbYes : mbRetry;
    const TMsgDlgBtn cancelButton = buttons.Contains(mbCancel) ? mbCancel : buttons.Contains(mbNo) ? mbNo : mbOK;
    int x = (clientWidth - buttonsWidth) / 2;
    const int y = clientHeight - kMargin - kButtonHeight;
    for (int b = mbYes; b <= mbClose; ++b) {
      const auto kind = static_cast<TMsgDlgBtn>(b);
      if (!buttons.Contains(kind)) continue;
      TButton* button = Create<TButton>(form);
      button->SetName(kButtons[b].name);
      button->SetCaption(kButtons[b].caption);
      button->SetModalResult(kButtons[b].result);
      button->SetDefault(kind == defaultButton);
      button->SetCancel(kind == cancelButton);
      button->SetBounds(x, y, kButtonWidth, kButtonHeight);
      button->SetParent(form);
      form->buttons_[b] = button;
      if (kind == defaultButton) form->SetActiveControl(button);
      x += kButtonWidth + kButtonGap;
    }
  } catch (...) {
    form->Free();
    throw;
  }
  return form;
}

int MessageDlg(const std::wstring& message, TMsgDlgType type, TMsgDlgButtons buttons, int /*helpContext*/) {
  TForm* form = CreateMessageDialog(message, type, buttons);
  TModalResult result = mrNone;
  try {
    result = form->ShowModal();
  } catch (...) {
    form->Free();
    throw;
  }
  form->Free();
  return result;
}

}  // namespace nuvskin
