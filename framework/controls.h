// The platform controls that Qt lacks in the form the templates describe them: the up-down control
// bound to an edit, digits-only typing, and a typing limit that leaves program-set text alone.
#pragma once

#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

namespace linkmate::fw {

// The character a key press delivers to an edit, as the platform's WM_CHAR would: Ctrl+letter is
// the control code (Ctrl+C 0x03, Ctrl+V 0x16); keys that type nothing (arrows, Delete, Tab,
// Enter, Esc, function keys) give -1.
int TypedCharacter(const QKeyEvent& event);

// Limits what typing and pasting may add to `edit` to `limit` characters; text set by the program
// is not cut. Pasted text is cut to the room that is left.
void SetTypingLimit(QLineEdit* edit, int limit);

// Lets only digits be typed into `edit`; pasted text is not filtered.
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

}  // namespace linkmate::fw
