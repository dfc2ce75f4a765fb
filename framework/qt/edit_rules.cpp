#include "framework/qt/edit_rules.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>
#include <limits>
#include <memory>

#include "framework/decimal.h"

namespace linkmate::fw::qt {
namespace {

// The input rules of one edit: an optional character filter and an optional length limit. One
// object per edit sees every way text comes in, so the filter always runs before the cut.
class EditInputRules : public QObject {
public:
    explicit EditInputRules(QLineEdit* edit) : QObject(edit), m_edit(edit) {
        edit->setAcceptDrops(false);
        edit->installEventFilter(this);
    }

    static EditInputRules* Of(QLineEdit* edit) {
        // No meta-object of its own, so found by its C++ type rather than findChild.
        for (QObject* child : edit->children()) {
            if (auto* rules = dynamic_cast<EditInputRules*>(child)) return rules;
        }
        return new EditInputRules(edit);
    }

    void SetLimit(int limit) { m_limit = limit; }
    void SetFilter(CharacterFilter accepts) { m_accepts = accepts; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_edit) return false;
        switch (event->type()) {
            case QEvent::KeyPress: return OnKey(*static_cast<QKeyEvent*>(event));
            case QEvent::InputMethod:
                OnInputMethod(*static_cast<QInputMethodEvent*>(event));
                return false;
            case QEvent::MouseButtonRelease:
                return OnMouseRelease(*static_cast<QMouseEvent*>(event));
            case QEvent::ContextMenu:
                ShowContextMenu(*static_cast<QContextMenuEvent*>(event));
                return true;
            default: return false;
        }
    }

private:
    bool OnKey(const QKeyEvent& key) {
        if (key.matches(QKeySequence::Paste)) {
            Paste(QClipboard::Clipboard);
            return true;
        }
        const int c = TypedCharacter(key);
        if (c < 0) return false;
        if (m_accepts != nullptr && !m_accepts(c)) return true;
        return c >= 0x20 && Room(0) == 0;
    }

    // An input method's commit is typing by other means: filtered like keys, cut to the room.
    void OnInputMethod(QInputMethodEvent& event) {
        const QString commit = event.commitString();
        if (commit.isEmpty()) return;
        QString kept;
        for (const QChar ch : commit) {
            const int c = ch.unicode();
            if (c >= 0x20 && (m_accepts == nullptr || m_accepts(c))) kept.append(ch);
        }
        kept.truncate(Room(event.replacementLength()));
        if (kept != commit) {
            event.setCommitString(kept, event.replacementStart(), event.replacementLength());
        }
    }

    // Where the system has a selection clipboard, the edit pastes it on a middle-button release.
    bool OnMouseRelease(const QMouseEvent& mouse) {
        if (mouse.button() != Qt::MiddleButton ||
            !QGuiApplication::clipboard()->supportsSelection()) {
            return false;
        }
        m_edit->deselect();
        Paste(QClipboard::Selection);
        return true;
    }

    void ShowContextMenu(const QContextMenuEvent& event) {
        // The edit's own menu, with Paste going through the rules. Its actions carry no names;
        // Paste is known by the edit's own (translated) label.
        std::unique_ptr<QMenu> menu(m_edit->createStandardContextMenu());
        const QString pasteLabel = QCoreApplication::translate("QLineEdit", "&Paste");
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith(pasteLabel)) {
                action->disconnect();
                connect(action, &QAction::triggered, this,
                        [this] { Paste(QClipboard::Clipboard); });
            }
        }
        menu->exec(event.globalPos());
    }

    // Characters the operator may still add when `replaced` characters besides the selection go.
    int Room(qsizetype replaced) const {
        if (m_limit < 0) return std::numeric_limits<int>::max();
        const qsizetype kept = m_edit->text().size() - m_edit->selectedText().size() - replaced;
        return static_cast<int>(std::max<qsizetype>(0, m_limit - std::max<qsizetype>(0, kept)));
    }

    void Paste(QClipboard::Mode mode) {
        if (m_edit->isReadOnly() || !m_edit->isEnabled()) return;
        QString text = QGuiApplication::clipboard()->text(mode);
        const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
        if (lineEnd >= 0) text.truncate(lineEnd);
        m_edit->insert(text.left(Room(0)));
    }

    QLineEdit* m_edit;
    int m_limit = -1;
    CharacterFilter m_accepts = nullptr;
};

bool IsDigitOrCommand(int c) { return c < 0x20 || (c >= '0' && c <= '9'); }

}  // namespace

int TypedCharacter(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Delete:
        case Qt::Key_Insert:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: return -1;
        case Qt::Key_Backspace: return 0x08;
        default: break;
    }
    if ((event.modifiers() & Qt::ControlModifier) && event.key() >= Qt::Key_A &&
        event.key() <= Qt::Key_Z) {
        return event.key() - Qt::Key_A + 1;
    }
    if (event.modifiers() & Qt::ControlModifier) return -1;
    const QString text = event.text();
    if (text.isEmpty()) return -1;
    return text.at(0).unicode();
}

void SetTypingLimit(QLineEdit* edit, int limit) { EditInputRules::Of(edit)->SetLimit(limit); }

void SetCharacterFilter(QLineEdit* edit, CharacterFilter accepts) {
    EditInputRules::Of(edit)->SetFilter(accepts);
}

void SetDigitsOnly(QLineEdit* edit) { SetCharacterFilter(edit, &IsDigitOrCommand); }

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {m_up, m_down}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
    setFocusPolicy(Qt::NoFocus);
}

void UpDownControl::SetBuddy(QLineEdit* buddy) {
    m_buddy = buddy;
    buddy->installEventFilter(this);
    setEnabled(buddy->isEnabled());
}

void UpDownControl::SetRange32(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
}

void UpDownControl::Step(int delta) {
    if (m_buddy == nullptr || !m_buddy->isEnabled()) return;
    m_position = StepUpDown(m_buddy->text().toStdString(), m_position, delta, m_lower, m_upper);
    m_buddy->setText(QString::number(m_position));
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_buddy && event->type() == QEvent::EnabledChange) {
        setEnabled(m_buddy->isEnabled());
        return false;
    }
    if (watched == m_buddy && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return false;
}

void UpDownControl::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

}  // namespace linkmate::fw::qt
