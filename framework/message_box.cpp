#include "framework/message_box.h"

#include "framework/backend.h"

namespace linkmate::fw {
namespace {

MessageBoxResponder& Responder() {
    static MessageBoxResponder responder;
    return responder;
}

int Show(const MessageBoxCall& call) {
    if (Responder()) return Responder()(call);
    return backend::ShowMessageBox(call);
}

}  // namespace

void MessageBox(CWnd* owner, const std::string& text, const std::string& caption, MessageIcon icon,
                const std::string& detail, const std::string& details) {
    Show({owner, text, caption, icon, MessageButtons::kOk, detail, details, {}});
}

bool AskYesNo(CWnd* owner, const std::string& text, const std::string& caption) {
    return Ask(owner, text, caption, {}) == kAnswerYes;
}

Answer Ask(CWnd* owner, const std::string& text, const std::string& caption,
           const std::string& alternative) {
    const int answer = Show({owner,
                             text,
                             caption,
                             MessageIcon::kQuestion,
                             MessageButtons::kYesNo,
                             {},
                             {},
                             alternative});
    return answer == kAnswerYes || answer == kAnswerAlternative ? static_cast<Answer>(answer)
                                                                : kAnswerNo;
}

void SetMessageBoxResponder(MessageBoxResponder responder) { Responder() = std::move(responder); }

}  // namespace linkmate::fw
