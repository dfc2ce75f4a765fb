// The one way the windows tell the operator something or ask a question. Tests install a
// responder so that no box ever blocks them.
#pragma once

#include <functional>
#include <string>

namespace linkmate::fw {

class CWnd;

enum class MessageIcon { kNone, kExclamation, kQuestion };
enum class MessageButtons { kOk, kYesNo };

// The answers to a question; a box with OK alone answers kAnswerNo.
enum Answer : int { kAnswerNo = 0, kAnswerYes = 1, kAnswerAlternative = 2 };

struct MessageBoxCall {
    CWnd* owner;
    std::string text;
    std::string caption;
    MessageIcon icon;
    MessageButtons buttons = MessageButtons::kOk;
    std::string detail;       // the box's informative text under the message, when any
    std::string details;      // behind the box's "Show Details..." button, when any
    std::string alternative;  // a question's third answer beside Yes and No, when any
};

// Shows a modal box with an OK button only; `detail` goes under the text, `details` behind
// "Show Details...".
void MessageBox(CWnd* owner, const std::string& text, const std::string& caption,
                MessageIcon icon = MessageIcon::kNone, const std::string& detail = {},
                const std::string& details = {});

// Asks a question with Yes and No (No is the default button); true for Yes.
bool AskYesNo(CWnd* owner, const std::string& text, const std::string& caption);
// The same with a third answer labelled `alternative`.
Answer Ask(CWnd* owner, const std::string& text, const std::string& caption,
           const std::string& alternative);

// Replaces the boxes by `responder` while set (nullptr restores the real boxes). Its result is the
// answer to a question (an Answer; true for Yes, false for No) and is ignored for a message.
using MessageBoxResponder = std::function<int(const MessageBoxCall&)>;
void SetMessageBoxResponder(MessageBoxResponder responder);

}  // namespace linkmate::fw
