// A text laid out in lines that fit a control: where a line may break is decided here, once, so
// both backends show the same lines; a backend only measures a line in its font. Words, model
// names ("Ternix-A"), device paths and hex values ("00 00 07 F0") never break; Chinese text breaks
// between its characters, but never before a closing mark or after an opening one.
#pragma once

#include <functional>
#include <string>

#include "framework/control.h"

namespace linkmate::fw {

// The pixel width of one line of text.
using LineWidth = std::function<int(const std::string& line)>;

// `text` in at most `maxLines` lines no wider than `width` ("\n" between them; a "\n" of the
// text's own starts a line). What does not fit is cut at the last line's end, marked with "…".
// A single word wider than the whole line is the one thing split inside.
std::string FitLines(const std::string& text, int width, int maxLines, const LineWidth& widthOf);

// Puts `text` into the text control `label`, laid out by FitLines in the control's size and font.
// A backend that cannot measure leaves the text to the control as it is.
void SetFittedText(Control& label, const std::string& text);

}  // namespace linkmate::fw
