#include "app/about_dlg.h"

#include <QCoreApplication>
#include <QPushButton>

#include "framework/dialog.h"
#include "res/resources.h"

namespace linkmate {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    const fw::DialogTemplate& tmpl = res::AboutBoxTemplate();
    const QFont font = fw::DialogFont(tmpl.fontName, tmpl.pointSize);
    setFont(font);
    setWindowTitle(QCoreApplication::translate(tmpl.context.c_str(), tmpl.caption.c_str()));
    const fw::DialogUnits units(font);
    const auto controls = fw::CreateControls(this, tmpl, units);
    setFixedSize(units.ToPixelsX(tmpl.cx), units.ToPixelsY(tmpl.cy));
    if (auto* ok = qobject_cast<QPushButton*>(controls.at(1))) {
        ok->setAutoDefault(true);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    }
}

}  // namespace linkmate
