#include "app/about_dlg.h"

#include "res/resources.h"

namespace linkmate {

CAboutDlg::CAboutDlg() : fw::CDialog(res::AboutBoxTemplate()) {}

}  // namespace linkmate
