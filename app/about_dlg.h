// The About box.
#pragma once

#include "framework/dialog.h"

namespace linkmate {

class CAboutDlg : public fw::CDialog {
public:
    CAboutDlg();
};

}  // namespace linkmate
