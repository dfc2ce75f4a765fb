#include "framework/qt/dialog_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <algorithm>
#include <map>
#include <vector>

#include "framework/dialog.h"
#include "framework/keyboard.h"
#include "framework/placement.h"
#include "framework/qt/edit_rules.h"

namespace linkmate::fw::qt {
namespace {

// Set on a drop-down list once the program gives it a tip of its own.
constexpr const char* kOwnTip = kOwnTipProperty;
constexpr const char* kControlId = "linkmateControlId";

QString Translate(const DialogTemplate& tmpl, const std::string& text) {
    return text.empty() ? QString()
                        : QCoreApplication::translate(tmpl.context.c_str(), text.c_str());
}

// Resources are named with their format's extension, so that Qt reads them with the SVG reader
// at once instead of probing every image plugin.
QString IconResource(int id) { return QString(":/linkmate/icon/%1.svg").arg(id); }
QString BitmapResource(int id) { return QString(":/linkmate/bitmap/%1.svg").arg(id); }

// A template's texts in the operator's language.
QString Text(const ControlTemplate& c, const DialogTemplate& tmpl) {
    return Translate(tmpl, c.text);
}

QWidget* CreateControl(QWidget* parent, const ControlTemplate& c, const DialogTemplate& tmpl,
                       const QRect& rect) {
    QWidget* widget = nullptr;
    switch (c.kind) {
        case ControlKind::kText: {
            auto* label = new QLabel(Text(c, tmpl), parent);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap((c.style & kWrap) != 0);
            label->setGeometry(rect.x(), rect.y(),
                               FittedWidth(c, rect.width(), label->sizeHint().width()),
                               rect.height());
            if (c.style & kOnPicture) {
                // The banner's own pale blue, readable on its dark ground.
                constexpr QRgb kOnPictureText = 0xd5e3f5;
                QPalette palette = label->palette();
                palette.setColor(QPalette::WindowText, QColor(kOnPictureText));
                label->setPalette(palette);
            }
            widget = label;
            break;
        }
        case ControlKind::kIcon: {
            // A static icon shows the icon at the standard size, whatever the template says.
            auto* label = new QLabel(parent);
            label->setPixmap(QIcon(IconResource(c.resource)).pixmap(32, 32));
            label->setGeometry(rect.x(), rect.y(), 32, 32);
            widget = label;
            break;
        }
        case ControlKind::kBitmap: {
            // A static picture takes the bitmap's own size.
            auto* label = new QLabel(parent);
            const QPixmap pixmap(BitmapResource(c.resource));
            label->setPixmap(pixmap);
            label->setGeometry(
                QRect(rect.topLeft(), pixmap.isNull() ? rect.size() : pixmap.size()));
            widget = label;
            break;
        }
        case ControlKind::kEtchedLine: {
            auto* line = new QFrame(parent);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            line->setGeometry(rect.x(), rect.y(), rect.width(), 2);
            widget = line;
            break;
        }
        case ControlKind::kDropDownList: {
            auto* list = new QComboBox(parent);
            for (const std::string& item : c.items) {
                list->addItem(QCoreApplication::translate("lists", item.c_str()));
            }
            // The list shows the chosen entry's tip as its own, until it is given one.
            QObject::connect(list, &QComboBox::currentIndexChanged, list, [list](int index) {
                if (!list->property(kOwnTip).toBool())
                    list->setToolTip(list->itemData(index, Qt::ToolTipRole).toString());
            });
            list->setCurrentIndex(-1);
            list->setMaxVisibleItems(
                std::max(1, rect.height() / std::max(1, list->fontMetrics().height()) - 1));
            // The template's height includes the opened list; the closed box is as high as the
            // style makes it.
            list->setGeometry(rect.x(), rect.y(), rect.width(), list->sizeHint().height());
            widget = list;
            break;
        }
        case ControlKind::kEdit: {
            auto* edit = new QLineEdit(parent);
            // The platform's edits keep about one pixel between frame and text; Qt keeps more,
            // which would hide a digit of the narrow two-character fields. On the right the
            // cursor behind the last character may use that pixel too, so that a full field
            // is not scrolled by it.
            edit->setTextMargins(-1, 0, -2, 0);
            edit->setGeometry(rect);
            if (c.style & kNumberOnly) SetDigitsOnly(edit);
            widget = edit;
            break;
        }
        case ControlKind::kPushButton:
        case ControlKind::kDefPushButton: {
            auto* button = new QPushButton(Text(c, tmpl), parent);
            button->setAutoDefault(false);
            button->setDefault(c.kind == ControlKind::kDefPushButton);
            ForwardMnemonics(button);
            button->setGeometry(rect);
            widget = button;
            break;
        }
        case ControlKind::kAutoCheckBox: {
            auto* box = new QCheckBox(Text(c, tmpl), parent);
            ForwardMnemonics(box);
            box->setGeometry(rect.x(), rect.y(),
                             FittedWidth(c, rect.width(), box->sizeHint().width()), rect.height());
            widget = box;
            break;
        }
        case ControlKind::kListView: {
            auto* table = new QTableWidget(0, static_cast<int>(c.items.size()), parent);
            QStringList headers;
            for (const std::string& header : c.items) headers << Translate(tmpl, header);
            table->setHorizontalHeaderLabels(headers);
            table->verticalHeader()->hide();
            table->setSelectionBehavior(QAbstractItemView::SelectRows);
            table->setSelectionMode(QAbstractItemView::SingleSelection);
            table->setEditTriggers(QAbstractItemView::NoEditTriggers);
            table->horizontalHeader()->setStretchLastSection(true);
            table->setGeometry(rect);
            widget = table;
            break;
        }
        case ControlKind::kListBox: {
            auto* box = new QListWidget(parent);
            box->setSelectionMode(QAbstractItemView::SingleSelection);
            box->setGeometry(rect);
            widget = box;
            break;
        }
        case ControlKind::kUpDown: {
            auto* upDown = new UpDownControl(parent);
            upDown->setGeometry(rect);
            widget = upDown;
            break;
        }
    }
    if (c.style & kDisabled) widget->setEnabled(false);
    if (c.style & kHidden) widget->setVisible(false);
    return widget;
}

// A label's mnemonic focuses the controls it names. Where several lie on one spot (the single
// and dual filter edits), the one shown at the time takes the focus.
class MnemonicTarget : public QObject {
public:
    MnemonicTarget(QLabel* label, std::vector<QWidget*> targets)
        : QObject(label), m_label(label), m_targets(std::move(targets)) {
        label->setBuddy(m_targets.front());  // the label registers its shortcut only with a buddy
        label->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_label || event->type() != QEvent::Shortcut) return false;
        if (ForwardMnemonic(m_label, event)) return true;
        for (QWidget* target : m_targets) {
            if (target->isVisible() && target->isEnabled()) {
                target->setFocus(Qt::ShortcutFocusReason);
                break;
            }
        }
        return true;
    }

private:
    QLabel* m_label;
    std::vector<QWidget*> m_targets;
};

// Gives each control the name and mnemonic of the label that names it.
void AssociateLabels(const DialogTemplate& tmpl, const std::vector<QWidget*>& controls) {
    std::map<size_t, std::vector<QWidget*>> named;
    for (const LabelLink& link : LabelLinks(tmpl)) {
        QWidget* control = controls[link.control];
        control->setAccessibleName(QString::fromStdString(link.name));
        control->setProperty(kMnemonicProperty, static_cast<int>(link.mnemonic));
        if (control->focusPolicy() != Qt::NoFocus) named[link.label].push_back(control);
    }
    for (auto& [index, targets] : named) {
        if (auto* label = qobject_cast<QLabel*>(controls[index]))
            new MnemonicTarget(label, std::move(targets));
    }
}

// Tells the window what the control says, in the framework's terms.
void WireNotifications(QWidget* widget, int id, CDialog& owner, QObject* filterOwner) {
    if (id == IDC_STATIC) return;
    CDialog* dialog = &owner;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QObject::connect(button, &QAbstractButton::clicked, button,
                         [dialog, id] { dialog->HandleNotify(id, Notify::kClicked); });
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
        QObject::connect(list, &QComboBox::activated, list,
                         [dialog, id] { dialog->HandleNotify(id, Notify::kSelChange); });
        list->installEventFilter(filterOwner);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        QObject::connect(edit, &QLineEdit::textChanged, edit,
                         [dialog, id] { dialog->HandleNotify(id, Notify::kChange); });
    } else if (auto* table = qobject_cast<QTableWidget*>(widget)) {
        QObject::connect(table, &QTableWidget::itemSelectionChanged, table,
                         [dialog, id] { dialog->HandleNotify(id, Notify::kSelChange); });
        QObject::connect(table, &QTableWidget::cellDoubleClicked, table,
                         [dialog, id] { dialog->HandleNotify(id, Notify::kDblClk); });
    } else if (auto* box = qobject_cast<QListWidget*>(widget)) {
        QObject::connect(box, &QListWidget::itemSelectionChanged, box,
                         [dialog, id] { dialog->HandleNotify(id, Notify::kSelChange); });
        QObject::connect(box, &QListWidget::itemDoubleClicked, box,
                         [dialog, id] { dialog->HandleNotify(id, Notify::kDblClk); });
    }
}

}  // namespace

std::vector<std::pair<const ControlTemplate*, QWidget*>> CreateControls(QWidget* parent,
                                                                        const DialogTemplate& tmpl,
                                                                        const DialogUnits& units) {
    std::vector<std::pair<const ControlTemplate*, QWidget*>> made;
    std::vector<QWidget*> created;
    for (size_t i = 0; i < tmpl.controls.size(); ++i) {
        const ControlTemplate& c = tmpl.controls[i];
        QWidget* widget =
            CreateControl(parent, c, tmpl, units.ToPixels(LaidOutX(tmpl, i), c.y, c.cx, c.cy));
        if (c.kind == ControlKind::kUpDown && !created.empty()) {
            // Bound to the control before it and placed at that control's right edge, which
            // gives up the room.
            if (auto* buddy = qobject_cast<QLineEdit*>(created.back())) {
                auto* upDown = static_cast<UpDownControl*>(widget);
                const QRect b = buddy->geometry();
                const int width = widget->width();
                buddy->setGeometry(b.x(), b.y(), std::max(1, b.width() - width), b.height());
                upDown->setGeometry(b.right() + 1 - width, b.y(), width, b.height());
                upDown->SetBuddy(buddy);
            }
        }
        created.push_back(widget);
        made.emplace_back(&c, widget);
    }
    AssociateLabels(tmpl, created);
    return made;
}

QFont TemplateFont(const DialogTemplate& tmpl) { return DialogFont(tmpl.fontName, tmpl.pointSize); }

DialogWidget::DialogWidget(CDialog& owner, QWidget* parent, bool popup)
    : QDialog(parent), m_owner(owner), m_popup(popup) {
    if (!popup) setWindowFlags(Qt::Widget);
}

void DialogWidget::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::EnabledChange || !m_built) return;
    // A window hears of its own state only: Qt also reports a disabled parent, after which the
    // window keeps its own state as it does under Windows.
    const bool own = !testAttribute(Qt::WA_ForceDisabled);
    if (own == m_ownEnabled) return;
    m_ownEnabled = own;
    m_owner.HandleEnable(own);
}

void DialogWidget::keyPressEvent(QKeyEvent* event) {
    // A child window leaves the keys to the window it sits in.
    if (!m_popup) {
        QWidget::keyPressEvent(event);
        return;
    }
    QDialog::keyPressEvent(event);
}

void DialogWidget::reject() { m_owner.HandleNotify(IDCANCEL, Notify::kClicked); }

bool DialogWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress ||
        event->type() == QEvent::Enter) {
        if (auto* widget = qobject_cast<QWidget*>(watched)) {
            const int id = widget->property(kControlId).toInt();
            if (id != 0) m_owner.HandleNotify(id, Notify::kSetFocus);
        }
    }
    return QDialog::eventFilter(watched, event);
}

DialogWindow::DialogWindow(CDialog& owner, QWidget* parent, bool popup)
    : WidgetWindow(new DialogWidget(owner, parent, popup)) {
    auto* dialog = static_cast<DialogWidget*>(widget());
    const DialogTemplate& tmpl = owner.dialogTemplate();
    const QFont font = TemplateFont(tmpl);
    dialog->setFont(font);
    const DialogUnits units(font);
    const QSize size(units.ToPixelsX(tmpl.cx), units.ToPixelsY(tmpl.cy));
    if (popup) {
        dialog->setWindowTitle(Translate(tmpl, tmpl.caption));
        dialog->setFixedSize(size);
    } else {
        dialog->resize(size);
    }
    for (const auto& [c, w] : CreateControls(dialog, tmpl, units)) {
        if (c->id == IDC_STATIC) continue;
        w->setProperty(kControlId, c->id);
        WireNotifications(w, c->id, owner, dialog);
        if (auto* list = qobject_cast<QComboBox*>(w)) list->setProperty(kOwnTip, false);
        // A pop-up's default button takes Enter and shows the default frame, as on the platform.
        if (auto* button = qobject_cast<QPushButton*>(w);
            button && popup && c->kind == ControlKind::kDefPushButton) {
            button->setAutoDefault(true);
        }
        m_controls.emplace(c->id, std::make_unique<QtControl>(w, c->kind, c->id));
    }
    dialog->SetBuilt();
}

ControlPeer* DialogWindow::Item(int id) {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second.get();
}

}  // namespace linkmate::fw::qt
