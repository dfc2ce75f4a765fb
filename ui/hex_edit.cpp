#include "ui/hex_edit.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "framework/controls.h"
#include "framework/dialog.h"

namespace linkmate {

bool CHexEdit::IsAccepted(int c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') ||
           c == 0x08 || c == ' ' || c == 0x03 || c == 0x16;
}

bool CHexEdit::SubclassDlgItem(int id, fw::CDialog* parent) {
    auto* edit = parent->Item<QLineEdit>(id);
    if (edit == nullptr) return false;
    m_edit = edit;
    edit->installEventFilter(this);
    return true;
}

bool CHexEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_edit || event->type() != QEvent::KeyPress) return false;
    const int c = fw::TypedCharacter(*static_cast<QKeyEvent*>(event));
    return c >= 0 && !IsAccepted(c);
}

}  // namespace linkmate
