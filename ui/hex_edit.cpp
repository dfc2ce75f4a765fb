#include "ui/hex_edit.h"

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
    fw::SetCharacterFilter(edit, &CHexEdit::IsAccepted);
    return true;
}

}  // namespace linkmate
