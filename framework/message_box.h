// The one way the windows tell the operator something or ask a question. Tests install a
// responder so that no box ever blocks them.
#pragma once

#include <functional>
#include <string>

namespace linkmate::fw {

class CWnd;

enum class MessageIcon { kNone, kExclamation, kQuestion };
enum class MessageButtons { kOk, kYesNo };

struct MessageBoxCall {
    CWnd* owner;
    std::string text;
    std::string caption;
    MessageIcon icon;
    MessageButtons buttons = MessageButtons::kOk;
    std::string detail;   // the box's informative text under the message, when any
    std::string details;  // behind the box's "Show Details..." button, when any
};

// Shows a modal box with an OK button only; `detail` goes under the text, `details` behind
// "Show Details...".
void MessageBox(CWnd* owner, const std::string& text, const std::string& caption,
                MessageIcon icon = MessageIcon::kNone, const std::string& detail = {},
                const std::string& details = {});

// Asks a question with Yes and No (No is the default button); true for Yes.
bool AskYesNo(CWnd* owner, const std::string& text, const std::string& caption);

// Replaces the boxes by `responder` while set (nullptr restores the real boxes). Its result is the
// answer to a question (true for Yes) and is ignored for a message.
using MessageBoxResponder = std::function<bool(const MessageBoxCall&)>;
void SetMessageBoxResponder(MessageBoxResponder responder);

}  // namespace linkmate::fw
