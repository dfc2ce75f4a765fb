#include "framework/message_box.h"

#include <QMessageBox>

namespace linkmate::fw {
namespace {

MessageBoxResponder& Responder() {
    static MessageBoxResponder responder;
    return responder;
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::kExclamation: return QMessageBox::Warning;
        case MessageIcon::kQuestion: return QMessageBox::Question;
        case MessageIcon::kNone: break;
    }
    return QMessageBox::NoIcon;
}

bool Show(const MessageBoxCall& call) {
    if (Responder()) return Responder()(call);
    const bool question = call.buttons == MessageButtons::kYesNo;
    QMessageBox box(BoxIcon(call.icon), QString::fromStdString(call.caption),
                    QString::fromStdString(call.text),
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, call.owner);
    if (question) box.setDefaultButton(QMessageBox::No);
    if (!call.detail.empty()) box.setInformativeText(QString::fromStdString(call.detail));
    if (!call.details.empty()) box.setDetailedText(QString::fromStdString(call.details));
    return box.exec() == QMessageBox::Yes;
}

}  // namespace

void MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                MessageIcon icon, const std::string& detail, const std::string& details) {
    Show({owner, text, caption, icon, MessageButtons::kOk, detail, details});
}

bool AskYesNo(QWidget* owner, const std::string& text, const std::string& caption) {
    return Show({owner, text, caption, MessageIcon::kQuestion, MessageButtons::kYesNo, {}, {}});
}

void SetMessageBoxResponder(MessageBoxResponder responder) {
    Responder() = std::move(responder);
}

}  // namespace linkmate::fw
