// The framework's message dialog: a form of class "TMessageForm" with the
// system icon of its kind, the message and one button per answer.
#pragma once

#include <string>

#include "framework/Buttons.h"
#include "framework/ExtCtrls.h"

namespace nuvskin {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
NUV_ENUM(TMsgDlgType, "mtWarning", "mtError", "mtInformation", "mtConfirmation", "mtCustom");

enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp,
                  mbClose };
NUV_ENUM(TMsgDlgBtn, "mbYes", "mbNo", "mbOK", "mbCancel", "mbAbort", "mbRetry", "mbIgnore", "mbAll", "mbNoToAll",
         "mbYesToAll", "mbHelp", "mbClose");
using TMsgDlgButtons = Set<TMsgDlgBtn>;

inline constexpr TMsgDlgButtons mbYesNo{mbYes, mbNo};
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

class TMessageForm : public TForm {
  NUV_CLASS(TMessageForm, TForm)
  using TForm::TForm;
  // The parts of the dialog; IconImage is nullptr for mtCustom, a button
  // nullptr when it was not asked for.
  TLabel* Message() const { return message_; }
  TImage* IconImage() const { return icon_; }
  TButton* Button(TMsgDlgBtn button) const { return buttons_[button]; }

 private:
  friend TForm* CreateMessageDialog(const std::wstring&, TMsgDlgType, TMsgDlgButtons);
  TLabel* message_ = nullptr;
  TImage* icon_ = nullptr;
  TButton* buttons_[mbClose + 1] = {};
};

// A hidden message dialog, sized to its text and buttons and centred on the
// screen. Enter clicks OK (else Yes), Esc clicks Cancel (else No, else OK).
// The caller shows it (ShowModal) and frees it.
TForm* CreateMessageDialog(const std::wstring& message, TMsgDlgType type, TMsgDlgButtons buttons);

// Shows a message dialog modally and returns the ModalResult of the button
// that closed it (mrCancel when closed otherwise). There is no help system:
// `helpContext` is accepted for the classic signature and not used.
int MessageDlg(const std::wstring& message, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext);

}  // namespace nuvskin
