// The platform controls that Qt lacks in the form the templates describe them: the up-down control
// bound to an edit, and the input rules of an edit (a character filter and a length limit) that
// every way of entering text obeys while text set by the program is left alone.
#pragma once

#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

#include "framework/control.h"

namespace linkmate::fw::qt {

// The character a key press delivers to an edit, as the platform's WM_CHAR would: Ctrl+letter is
// the control code (Ctrl+C 0x03, Ctrl+V 0x16); keys that type nothing (arrows, Delete, Tab,
// Enter, Esc, function keys) give -1.
int TypedCharacter(const QKeyEvent& event);

// Limits what the operator may add to `edit` to `limit` characters, by every way text comes in:
// typing, Ctrl+V and Shift+Insert, the context menu's Paste, a middle-click paste of the
// selection, an input method's committed text. Text beyond the room left is cut; text set by the
// program is not. Drops are refused.
void SetTypingLimit(QLineEdit* edit, int limit);

// Lets only the characters `accepts` takes be typed or committed by an input method. Pasted text
// is not filtered by character (only cut to the limit).
void SetCharacterFilter(QLineEdit* edit, CharacterFilter accepts);

// The character filter of the number edits: digits, plus the editing commands.
void SetDigitsOnly(QLineEdit* edit);

// An up-down control: its arrows (and the arrow keys in its buddy) step the buddy's decimal value
// within the range; the buddy's text itself is never checked against the range.
class UpDownControl : public QWidget {
public:
    explicit UpDownControl(QWidget* parent);
    void SetBuddy(QLineEdit* buddy);
    QLineEdit* buddy() const { return m_buddy; }
    void SetRange32(int lower, int upper);
    int lower() const { return m_lower; }
    int upper() const { return m_upper; }
    void Step(int delta);
    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

protected:
    // The arrow keys in the buddy step it; the control is enabled and disabled with its buddy, so
    // a greyed edit cannot be changed through its arrows.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* m_buddy = nullptr;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_lower = 0;
    int m_upper = 100;
    int m_position = 0;
};

}  // namespace linkmate::fw::qt
