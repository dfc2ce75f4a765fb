// The keyboard interface of the platform's dialogs: Tab visits the controls in reading order, and
// Alt+letter goes to the controls whose mnemonic is that letter, cycling where several share it.
#pragma once

#include <string>
#include <vector>

#include "framework/control.h"
#include "framework/dialog_template.h"

namespace linkmate::fw {

// The identifiers of the template's tab stops in reading order: rows from top to bottom, each row
// from left to right, whatever order the template lists them in.
std::vector<int> TabOrder(const DialogTemplate& tmpl);

// The mnemonic letter of a label or button text, upper case ("&Default" and "设备(&D):" give 'D');
// 0 when it has none. "&&" stands for an ampersand.
char MnemonicOf(const std::string& text);

// Alt+`letter` over the controls of a window in tab order. Where only one control that can take
// the focus has that mnemonic and it is a button or check box, it is clicked; otherwise the focus
// moves to the next such control after the focused one, around the end. False when none has it.
bool PressMnemonic(const std::vector<Control>& tabOrder, char letter);

}  // namespace linkmate::fw
