// The keyboard interface of the platform's dialogs: which label names which control, Tab visiting
// the controls in reading order, and Alt+letter going to the controls whose mnemonic is that
// letter, cycling where several share it. Decided here once, from the templates; the backends
// only carry it out.
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

// A label and a control it names, as indexes into the template's controls; `name` is the label's
// text in the operator's language without its mnemonic marker, `mnemonic` its letter (0: none).
struct LabelLink {
    size_t label;
    size_t control;
    std::string name;
    char mnemonic;
};

// Labels belong to the controls beside them on screen, whatever order the template lists them
// in: a list, edit or list view takes the nearest label to its left on its row (a row may hold
// a unit label such as "bps" before the next field's own label; both halves of a pair take the
// one label), else the label standing right above it; an up-down control takes its buddy's.
// Buttons and check boxes are named by their own text and are not linked.
std::vector<LabelLink> LabelLinks(const DialogTemplate& tmpl);

// `text` as shown, without the mnemonic marker ("&&" is an ampersand).
std::string WithoutMnemonic(const std::string& text);

// Alt+`letter` over the controls of a window in tab order. Where only one control that can take
// the focus has that mnemonic and it is a button or check box, it is clicked; otherwise the focus
// moves to the next such control after the focused one, around the end, and an edit reached so
// has its whole text selected, so that typing replaces it. False when none has it.
bool PressMnemonic(const std::vector<Control>& tabOrder, char letter);

}  // namespace linkmate::fw
