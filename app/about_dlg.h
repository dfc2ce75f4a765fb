// The About box.
#pragma once

#include <QDialog>

namespace linkmate {

class CAboutDlg : public QDialog {
public:
    explicit CAboutDlg(QWidget* parent);
};

}  // namespace linkmate
