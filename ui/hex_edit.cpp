#include "ui/hex_edit.h"

#include "framework/dialog.h"

namespace linkmate {

bool CHexEdit::IsAccepted(int c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') ||
           c == 0x08 || c == ' ' || c == 0x03 || c == 0x16;
}

bool CHexEdit::SubclassDlgItem(int id, fw::CDialog* parent) {
    const fw::Edit edit = parent->Item<fw::Edit>(id);
    if (!edit) return false;
    m_edit = edit;
    m_edit.SetFilter(&CHexEdit::IsAccepted);
    return true;
}

}  // namespace linkmate
