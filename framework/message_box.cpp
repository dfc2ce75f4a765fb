#include "framework/message_box.h"

#include <QMessageBox>

namespace linkmate::fw {
namespace {

std::function<void(const MessageBoxCall&)>& Responder() {
    static std::function<void(const MessageBoxCall&)> responder;
    return responder;
}

}  // namespace

void MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                MessageIcon icon) {
    if (Responder()) {
        Responder()({owner, text, caption, icon});
        return;
    }
    QMessageBox box(icon == MessageIcon::kExclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Ok, owner);
    box.exec();
}

void SetMessageBoxResponder(std::function<void(const MessageBoxCall&)> responder) {
    Responder() = std::move(responder);
}

}  // namespace linkmate::fw
