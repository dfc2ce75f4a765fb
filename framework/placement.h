// Where a window opens and how wide a text's control is: a dialog or a box centred on its owner,
// the main window on the work area, either kept whole on the work area; a one-line label or a
// check box as wide as its text needs. Both backends lay out their windows by this.
#pragma once

#include "framework/control.h"
#include "framework/dialog_template.h"
#include "framework/window.h"

namespace linkmate::fw {

// The top-left corner of a window of `size` (its frame, in screen pixels) centred on `owner`'s
// frame, or on `workArea` when `owner` is empty, moved inside `workArea` where it would cross its
// edge (a window larger than the work area keeps its top-left corner on it).
Rect CentredOn(const Rect& owner, Size size, const Rect& workArea);

// A one-line label or a check box: its text, measured in the window's font, decides its width.
bool FitsItsText(const ControlTemplate& c);

// The pixel width of such a control: its template width, or what its text needs where that is
// more (`needed`: the text's width in the window's font, a check box's box and gap added). The
// fonts that stand in for the one the templates were drawn in run a little wider; a clipped word
// would be worse than a label reaching a little further to its right.
int FittedWidth(const ControlTemplate& c, int templateWidth, int needed);

// The left edge, in dialog units, at which control `index` of `tmpl` stands: a label that would
// touch the field before it on its row (a unit such as "(HEX)" right after its edit) keeps the
// gap the other labels keep; every other control stands where the template puts it.
int LaidOutX(const DialogTemplate& tmpl, size_t index);

}  // namespace linkmate::fw
