#pragma once
// The program's modal boxes: the error box, the start-up failure box and the message dialog.
#include <string>

class QMessageBox;

namespace vcl {

// The error box: the text, the caption, the error icon and one OK button, modal to the whole program.
// When it is dismissed, the window that was active and the control that had the focus get them back.
void ShowErrorBox(const std::string& text, const std::string& caption);

// The start-up failure box: caption "Application Error", the error icon, one OK button, no owner.
void ShowStartupFailureBox(const std::string& text);

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// The buttons of a message dialog, combinable with |.
enum TMsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
};
using TMsgDlgButtons = unsigned;

// What a modal box returns: the button pressed; mrCancel also for Escape and closing the box.
using TModalResult = int;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                              mrYes = 6, mrNo = 7;

// A modal dialog centred on the screen, captioned after its type ("Warning", "Error", "Information",
// "Confirm", or the application title for mtCustom), with the type's icon and the given buttons; the
// first of OK, Yes is the default button. Returns the result of the button pressed.
TModalResult MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);

// The caption that MessageDlg gives a dialog of the type.
std::string messageDlgCaption(TMsgDlgType type);

}  // namespace vcl
