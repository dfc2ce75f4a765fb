#include "framework/controls.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>
#include <memory>

#include "framework/decimal.h"

namespace linkmate::fw {
namespace {

// Limits what typing and pasting may add; setText() is not an edit and is never cut.
class TypingLimitFilter : public QObject {
public:
    TypingLimitFilter(QLineEdit* edit, int limit) : QObject(edit), m_edit(edit), m_limit(limit) {
        edit->setAcceptDrops(false);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_edit) return false;
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Paste)) {
                Paste();
                return true;
            }
            const int c = TypedCharacter(*key);
            return c >= 0x20 && Room() == 0;
        }
        if (event->type() == QEvent::ContextMenu) {
            // The edit's own menu, with Paste going through the limit. Its actions carry no
            // names; Paste is known by the edit's own (translated) label.
            std::unique_ptr<QMenu> menu(m_edit->createStandardContextMenu());
            const QString pasteLabel = QCoreApplication::translate("QLineEdit", "&Paste");
            for (QAction* action : menu->actions()) {
                if (action->text().startsWith(pasteLabel)) {
                    action->disconnect();
                    connect(action, &QAction::triggered, this, [this] { Paste(); });
                }
            }
            menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        return false;
    }

private:
    int Room() const {
        const qsizetype kept = m_edit->text().size() - m_edit->selectedText().size();
        return static_cast<int>(std::max<qsizetype>(0, m_limit - kept));
    }
    void Paste() {
        if (m_edit->isReadOnly()) return;
        QString text = QGuiApplication::clipboard()->text();
        const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
        if (lineEnd >= 0) text.truncate(lineEnd);
        m_edit->insert(text.left(Room()));
    }

    QLineEdit* m_edit;
    int m_limit;
};

class DigitsOnlyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int c = TypedCharacter(*static_cast<QKeyEvent*>(event));
        // Control characters are editing commands (backspace, copy, paste), not text.
        return c >= 0x20 && !(c >= '0' && c <= '9');
    }
};

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
        case Qt::Key_PageDown:
            return -1;
        case Qt::Key_Backspace:
            return 0x08;
        default:
            break;
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

void SetTypingLimit(QLineEdit* edit, int limit) {
    edit->installEventFilter(new TypingLimitFilter(edit, limit));
}


void SetDigitsOnly(QLineEdit* edit) { edit->installEventFilter(new DigitsOnlyFilter(edit)); }

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
}

void UpDownControl::SetRange32(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
}

void UpDownControl::Step(int delta) {
    if (m_buddy == nullptr) return;
    // The buddy's text is the position when it reads as a number; otherwise the last one stays.
    if (const auto value = ParseDecimal(m_buddy->text().toStdString())) m_position = *value;
    const long long next = static_cast<long long>(m_position) + delta;
    m_position = static_cast<int>(std::clamp<long long>(next, std::min(m_lower, m_upper),
                                                        std::max(m_lower, m_upper)));
    m_buddy->setText(QString::number(m_position));
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
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

}  // namespace linkmate::fw
