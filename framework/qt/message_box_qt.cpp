// The message box: the text, the informative text under it, the answers, and behind "Show
// Details..." a resizable pane with the details in a fixed-width font, unwrapped, with a Copy
// button that puts the whole message on the clipboard.
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include "framework/backend.h"
#include "framework/message_box.h"
#include "framework/qt/dialog_units.h"
#include "framework/qt/dialog_window.h"
#include "framework/qt/qt_access.h"

namespace linkmate::fw::qt {
namespace {

// The details pane opens this many characters wide and lines high; the box can be resized.
constexpr int kDetailsColumns = 90;
constexpr int kDetailsLines = 16;

QString Q(const std::string& text) { return QString::fromStdString(text); }

QString BoxText(const char* source) { return QCoreApplication::translate("CMessageBox", source); }

QPixmap IconPixmap(MessageIcon icon, const QStyle* style) {
    switch (icon) {
        case MessageIcon::kExclamation:
            return style->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32);
        case MessageIcon::kQuestion:
            return style->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32);
        case MessageIcon::kNone: break;
    }
    return {};
}

class MessageDialog : public QDialog {
public:
    MessageDialog(const MessageBoxCall& call, QWidget* parent) : QDialog(parent) {
        setWindowTitle(Q(call.caption));
        // The window's font, not the desktop's, as in every dialog of the program.
        if (parent != nullptr) setFont(parent->window()->font());
        auto* grid = new QGridLayout(this);
        grid->setSizeConstraint(QLayout::SetMinimumSize);
        grid->setColumnStretch(1, 1);
        if (const QPixmap icon = IconPixmap(call.icon, style()); !icon.isNull()) {
            auto* iconLabel = new QLabel(this);
            iconLabel->setPixmap(icon);
            grid->addWidget(iconLabel, 0, 0, 2, 1, Qt::AlignTop);
        }
        auto* text = new QLabel(Q(call.text), this);
        text->setTextFormat(Qt::PlainText);
        text->setWordWrap(true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->setObjectName("text");
        // Wide enough for a sentence per line rather than a few words.
        constexpr int kTextColumns = 48;
        text->setMinimumWidth(text->fontMetrics().averageCharWidth() * kTextColumns);
        grid->addWidget(text, 0, 1);
        if (!call.detail.empty()) {
            auto* detail = new QLabel(Q(call.detail), this);
            detail->setTextFormat(Qt::PlainText);
            detail->setWordWrap(true);
            detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
            detail->setObjectName("detail");
            grid->addWidget(detail, 1, 1);
        }

        auto* row = new QHBoxLayout;
        if (!call.details.empty()) AddDetails(call, grid, row);
        row->addStretch(1);
        auto* answers = new QDialogButtonBox(this);
        if (call.buttons == MessageButtons::kYesNo) {
            AddAnswer(answers->addButton(QDialogButtonBox::Yes), kAnswerYes);
            if (!call.alternative.empty()) {
                AddAnswer(answers->addButton(Q(call.alternative), QDialogButtonBox::AcceptRole),
                          kAnswerAlternative);
            }
            QPushButton* no = answers->addButton(QDialogButtonBox::No);
            AddAnswer(no, kAnswerNo);
            no->setDefault(true);
            no->setFocus();
        } else {
            QPushButton* ok = answers->addButton(QDialogButtonBox::Ok);
            AddAnswer(ok, kAnswerNo);
            ok->setDefault(true);
            ok->setFocus();
        }
        row->addWidget(answers);
        grid->addLayout(row, 2, 0, 1, 2);
        setSizeGripEnabled(true);
    }

private:
    void AddAnswer(QPushButton* button, int answer) {
        QObject::connect(button, &QPushButton::clicked, this, [this, answer] { done(answer); });
    }

    void AddDetails(const MessageBoxCall& call, QGridLayout* grid, QHBoxLayout* row) {
        m_details = new QPlainTextEdit(Q(call.details), this);
        m_details->setObjectName("details");
        m_details->setReadOnly(true);
        // Byte runs and trace columns stay on their lines and line up.
        m_details->setLineWrapMode(QPlainTextEdit::NoWrap);
        QFont mono = FixedWidthFont(font().pointSize());
        m_details->setFont(mono);
        const QFontMetrics metrics(mono);
        m_details->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('0')) * kDetailsColumns / 2,
                                  metrics.lineSpacing() * kDetailsLines / 2);
        m_details->hide();
        grid->addWidget(m_details, 3, 0, 1, 2);
        grid->setRowStretch(3, 1);

        auto* toggle =
            new QPushButton(BoxText(QT_TRANSLATE_NOOP("CMessageBox", "Show Details...")), this);
        toggle->setObjectName("toggleDetails");
        toggle->setAutoDefault(false);
        QObject::connect(toggle, &QPushButton::clicked, this, [this, toggle] {
            const bool show = m_details->isHidden();
            m_details->setVisible(show);
            toggle->setText(show ? BoxText(QT_TRANSLATE_NOOP("CMessageBox", "Hide Details..."))
                                 : BoxText(QT_TRANSLATE_NOOP("CMessageBox", "Show Details...")));
            if (show) {
                const QFontMetrics shown(m_details->font());
                resize(
                    std::max(width(), shown.horizontalAdvance(QLatin1Char('0')) * kDetailsColumns),
                    height() + shown.lineSpacing() * kDetailsLines);
            } else {
                resize(width(), minimumSizeHint().height());
            }
        });
        row->addWidget(toggle);

        auto* copy = new QPushButton(BoxText(QT_TRANSLATE_NOOP("CMessageBox", "&Copy")), this);
        copy->setObjectName("copy");
        copy->setAutoDefault(false);
        // The whole message, for a report or a mail: what was said, the diagnosis, every attempt.
        QString all = Q(call.text);
        if (!call.detail.empty()) all += "\n\n" + Q(call.detail);
        all += "\n\n" + Q(call.details);
        QObject::connect(copy, &QPushButton::clicked, this,
                         [all] { QApplication::clipboard()->setText(all); });
        row->addWidget(copy);
    }

    QPlainTextEdit* m_details = nullptr;
};

}  // namespace

std::unique_ptr<QDialog> CreateMessageBox(const MessageBoxCall& call, QWidget* parent) {
    return std::make_unique<MessageDialog>(call, parent);
}

}  // namespace linkmate::fw::qt

namespace linkmate::fw::backend {

int ShowMessageBox(const MessageBoxCall& call) {
    const auto box = qt::CreateMessageBox(call, call.owner ? qt::WidgetOf(*call.owner) : nullptr);
    qt::PlaceOnOwner(box.get());
    return box->exec();
}

}  // namespace linkmate::fw::backend
