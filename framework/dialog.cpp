#include "framework/dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <limits>
#include <vector>

#include "framework/controls.h"

namespace linkmate::fw {
namespace {

// A template's texts in the operator's language.
QString Text(const ControlTemplate& c, const DialogTemplate& tmpl) {
    return c.text.empty() ? QString() : QCoreApplication::translate(tmpl.context.c_str(), c.text.c_str());
}

// Resources are named with their format's extension, so that Qt reads them with the SVG reader
// at once instead of probing every image plugin.
QString IconResource(int id) { return QString(":/linkmate/icon/%1.svg").arg(id); }
QString BitmapResource(int id) { return QString(":/linkmate/bitmap/%1.svg").arg(id); }

QWidget* CreateControl(QWidget* parent, const ControlTemplate& c, const DialogTemplate& tmpl,
                       const QRect& rect) {
    QWidget* widget = nullptr;
    switch (c.kind) {
        case ControlKind::kText: {
            auto* label = new QLabel(Text(c, tmpl), parent);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            // The substitute font runs a little wider than the one the templates were drawn
            // for; a one-line label may take the room its text needs rather than clip it.
            QRect fitted = rect;
            if (!label->text().contains(QLatin1Char('\n'))) {
                fitted.setWidth(std::max(rect.width(), label->sizeHint().width()));
            }
            label->setGeometry(fitted);
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
            label->setGeometry(QRect(rect.topLeft(), pixmap.isNull() ? rect.size() : pixmap.size()));
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
            list->setCurrentIndex(-1);
            list->setMaxVisibleItems(std::max(1, rect.height() / std::max(1, list->fontMetrics().height()) - 1));
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
            button->setGeometry(rect);
            widget = button;
            break;
        }
        case ControlKind::kAutoCheckBox: {
            auto* box = new QCheckBox(Text(c, tmpl), parent);
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


// A control that takes input (not a label, icon, line or picture).
bool TakesInput(const QWidget* w) {
    return qobject_cast<const QLabel*>(w) == nullptr && qobject_cast<const QFrame*>(w) == nullptr;
}

bool OnSameRow(const QWidget* a, const QWidget* b) {
    const QRect ra = a->geometry();
    const QRect rb = b->geometry();
    return ra.top() <= rb.bottom() && rb.top() <= ra.bottom();
}

// A label's mnemonic focuses the control beside it. Where several controls lie on that spot
// (the single and dual filter edits), the one shown at the time takes the focus.
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

// Labels belong to the controls beside them on screen, not to the next ones in template order: a
// label names the input controls to its right up to the next label on its row (a row may hold a
// unit label such as "bps" before the next field's own label), and a control that has no label
// right before it (the second half of a pair) takes the nearest one to its left.
void AssociateLabels(const std::vector<QWidget*>& controls) {
    for (QWidget* control : controls) {
        if (!TakesInput(control) || qobject_cast<QAbstractButton*>(control) != nullptr) continue;
        QLabel* nearest = nullptr;
        for (QWidget* other : controls) {
            auto* label = qobject_cast<QLabel*>(other);
            if (label == nullptr || label->text().isEmpty() || !OnSameRow(label, control) ||
                label->x() >= control->x()) {
                continue;
            }
            if (nearest == nullptr || label->x() > nearest->x()) nearest = label;
        }
        if (nearest == nullptr) continue;
        QString name = nearest->text();
        name.remove(QLatin1Char('&'));
        control->setAccessibleName(name);
    }
    for (QWidget* widget : controls) {
        auto* label = qobject_cast<QLabel*>(widget);
        if (label == nullptr || !label->text().contains(QLatin1Char('&'))) continue;
        // The nearest thing to the right on the label's row; every input control at that spot.
        std::vector<QWidget*> beside;
        int nearestX = std::numeric_limits<int>::max();
        for (QWidget* other : controls) {
            if (other == label || !OnSameRow(label, other) || other->x() <= label->x()) continue;
            if (other->x() < nearestX) {
                nearestX = other->x();
                beside.clear();
            }
            if (other->x() == nearestX) beside.push_back(other);
        }
        std::erase_if(beside, [](QWidget* w) { return !TakesInput(w) || w->focusPolicy() == Qt::NoFocus; });
        if (!beside.empty()) new MnemonicTarget(label, std::move(beside));
    }
}

}  // namespace

std::map<int, QWidget*> CreateControls(QWidget* parent, const DialogTemplate& tmpl,
                                       const DialogUnits& units) {
    std::map<int, QWidget*> byId;
    std::vector<QWidget*> created;
    for (const ControlTemplate& c : tmpl.controls) {
        QWidget* widget = CreateControl(parent, c, tmpl, units.ToPixels(c.x, c.y, c.cx, c.cy));
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
        if (c.id != IDC_STATIC) byId[c.id] = widget;
    }
    AssociateLabels(created);
    return byId;
}

CDialog::CDialog(const DialogTemplate& tmpl)
    : m_template(tmpl), m_units(DialogFont(tmpl.fontName, tmpl.pointSize)) {
    setFont(DialogFont(tmpl.fontName, tmpl.pointSize));
}

QSize CDialog::TemplateSizePixels() const {
    return QSize(m_units.ToPixelsX(m_template.cx), m_units.ToPixelsY(m_template.cy));
}

bool CDialog::Create(QWidget* parent, bool applyTemplateState) {
    if (m_created) return true;
    setParent(parent);
    resize(TemplateSizePixels());
    m_controls = CreateControls(this, m_template, m_units);
    if (applyTemplateState && m_template.disabled) setEnabled(false);
    m_created = true;
    return OnInitDialog();
}

QWidget* CDialog::GetDlgItem(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void CDialog::EnableItem(int id, bool enable) {
    if (QWidget* item = GetDlgItem(id)) item->setEnabled(enable);
}

void CDialog::ShowItem(int id, bool show) {
    if (QWidget* item = GetDlgItem(id)) item->setVisible(show);
}

bool CDialog::ExchangeData(bool save) {
    ++m_exchangeDepth;
    DataExchange dx(*this, save);
    DoDataExchange(dx);
    --m_exchangeDepth;
    if (save) m_rejected = dx.failedControl();
    return !dx.failed();
}

void CDialog::FocusRejected() {
    if (auto* edit = qobject_cast<QLineEdit*>(m_rejected.data())) {
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
}

bool CDialog::OnInitDialog() {
    ExchangeData(false);
    return true;
}

void CDialog::DoDataExchange(DataExchange&) {}

void CDialog::OnEnable(bool) {}

void CDialog::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && m_created) OnEnable(isEnabled());
}

QString CPropertyPage::title() const {
    return QCoreApplication::translate(dialogTemplate().context.c_str(), dialogTemplate().caption.c_str());
}

bool CPropertyPage::OnSetActive() {
    if (m_firstSetActive) {
        m_firstSetActive = false;
        return true;
    }
    ExchangeData(false);
    return true;
}

bool CPropertyPage::OnKillActive() { return ExchangeData(true); }

}  // namespace linkmate::fw
