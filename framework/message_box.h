// The one way the windows tell the operator something. Tests install a responder so that no box
// ever blocks them.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace linkmate::fw {

enum class MessageIcon { kNone, kExclamation };

struct MessageBoxCall {
    QWidget* owner;
    std::string text;
    std::string caption;
    MessageIcon icon;
};

// Shows a modal box with an OK button only.
void MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                MessageIcon icon = MessageIcon::kNone);

// Replaces the box by `responder` while set (nullptr restores the real box).
void SetMessageBoxResponder(std::function<void(const MessageBoxCall&)> responder);

}  // namespace linkmate::fw
