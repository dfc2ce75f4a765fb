#include "framework/message_box.h"

#include "framework/backend.h"

namespace linkmate::fw {
namespace {

MessageBoxResponder& Responder() {
    static MessageBoxResponder responder;
    return responder;
}

bool Show(const MessageBoxCall& call) {
    if (Responder()) return Responder()(call);
    return backend::ShowMessageBox(call);
}

}  // namespace

void MessageBox(CWnd* owner, const std::string& text, const std::string& caption, MessageIcon icon,
                const std::string& detail, const std::string& details) {
    Show({owner, text, caption, icon, MessageButtons::kOk, detail, details});
}

bool AskYesNo(CWnd* owner, const std::string& text, const std::string& caption) {
    return Show({owner, text, caption, MessageIcon::kQuestion, MessageButtons::kYesNo, {}, {}});
}

void SetMessageBoxResponder(MessageBoxResponder responder) { Responder() = std::move(responder); }

}  // namespace linkmate::fw
