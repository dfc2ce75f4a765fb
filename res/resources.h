// The string table and the dialog templates.
#pragma once

#include <string>

#include "framework/dialog_template.h"

namespace linkmate::res {

// The text of string `id`, empty when the table has none.
std::string LoadString(int id);

const fw::DialogTemplate& ConnectPanelTemplate();   // 134
const fw::DialogTemplate& SerialPageTemplate();     // 107
const fw::DialogTemplate& CanPageTemplate();        // 129
const fw::DialogTemplate& TranPageTemplate();       // 137
const fw::DialogTemplate& AboutBoxTemplate();       // 100
const fw::DialogTemplate& PortMapTemplate();        // 140
const fw::DialogTemplate& BitTimingTemplate();      // 141
const fw::DialogTemplate& FindConverterTemplate();  // 142

}  // namespace linkmate::res
