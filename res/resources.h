// The string table and the dialog templates.
#pragma once

#include <string>

#include "framework/dialog_template.h"

namespace linkmate::res {

// The text of string `id`, empty when the table has none.
std::string LoadString(int id);

const fw::DialogTemplate& ConnectPanelTemplate();  // 134
const fw::DialogTemplate& SerialPageTemplate();    // 107
const fw::DialogTemplate& CanPageTemplate();       // 129
const fw::DialogTemplate& TranPageTemplate();      // 137
const fw::DialogTemplate& AboutBoxTemplate();      // 100

// Makes the icons and the banner (compiled in) available to the windows.
void InitResources();

}  // namespace linkmate::res
