#pragma once
// What screen readers (AT-SPI on Linux) are told about the controls that Qt cannot describe by itself:
// the result list, painted by hand, and the form's plain top-level window.

namespace vcl {

class TControl;
class TLabel;

// Makes the program's accessible interfaces known to Qt, ahead of Qt's own. Application->Initialize does
// it before the first window is made (an interface, once asked for, stays); calling it again is harmless.
void installAccessibleInterfaces();

// Gives the control the label's caption as its accessible name: a prompt in front of a box names the box
// for a screen reader. Nothing on screen changes, and the label gets no focus control.
void SetAccessibleLabel(TControl& control, const TLabel& label);

}  // namespace vcl
