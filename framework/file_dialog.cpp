#include "framework/file_dialog.h"

#include <QFileDialog>

namespace linkmate::fw {
namespace {

FileDialogResponder& Responder() {
    static FileDialogResponder responder;
    return responder;
}

}  // namespace

std::string AskFileName(QWidget* owner, FileDialogKind kind, const std::string& title,
                        const std::string& filter) {
    if (Responder()) return Responder()(kind, title);
    const QString caption = QString::fromStdString(title);
    const QString filters = QString::fromStdString(filter);
    const QString path = kind == FileDialogKind::kSave
                             ? QFileDialog::getSaveFileName(owner, caption, QString(), filters)
                             : QFileDialog::getOpenFileName(owner, caption, QString(), filters);
    return path.toStdString();
}

void SetFileDialogResponder(FileDialogResponder responder) { Responder() = std::move(responder); }

}  // namespace linkmate::fw
