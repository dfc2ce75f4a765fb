#include "framework/dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "framework/controls.h"

namespace linkmate::fw {
namespace {

QString Text(const ControlTemplate& c) { return QString::fromStdString(c.text); }

QWidget* CreateControl(QWidget* parent, const ControlTemplate& c, const QRect& rect) {
    QWidget* widget = nullptr;
    switch (c.kind) {
        case ControlKind::kText: {
            auto* label = new QLabel(Text(c), parent);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            // The substitute font runs a little wider than the one the templates were drawn
            // for; a one-line label may take the room its text needs rather than clip it.
            QRect fitted = rect;
            if (c.text.find('\n') == std::string::npos) {
                fitted.setWidth(std::max(rect.width(), label->sizeHint().width()));
            }
            label->setGeometry(fitted);
            widget = label;
            break;
        }
        case ControlKind::kIcon: {
            // A static icon shows the icon at the standard size, whatever the template says.
            auto* label = new QLabel(parent);
            label->setPixmap(QIcon(QString(":/linkmate/icon/%1").arg(c.resource)).pixmap(32, 32));
            label->setGeometry(rect.x(), rect.y(), 32, 32);
            widget = label;
            break;
        }
        case ControlKind::kBitmap: {
            // A static picture takes the bitmap's own size.
            auto* label = new QLabel(parent);
            const QPixmap pixmap(QString(":/linkmate/bitmap/%1").arg(c.resource));
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
            for (const std::string& item : c.items) list->addItem(QString::fromStdString(item));
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
            // which would hide a digit of the narrow two-character fields.
            edit->setTextMargins(-1, 0, -1, 0);
            edit->setGeometry(rect);
            if (c.style & kNumberOnly) SetDigitsOnly(edit);
            widget = edit;
            break;
        }
        case ControlKind::kPushButton:
        case ControlKind::kDefPushButton: {
            auto* button = new QPushButton(Text(c), parent);
            button->setAutoDefault(false);
            button->setDefault(c.kind == ControlKind::kDefPushButton);
            button->setGeometry(rect);
            widget = button;
            break;
        }
        case ControlKind::kAutoCheckBox: {
            auto* box = new QCheckBox(Text(c), parent);
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

}  // namespace

std::map<int, QWidget*> CreateControls(QWidget* parent, const DialogTemplate& tmpl,
                                       const DialogUnits& units) {
    std::map<int, QWidget*> byId;
    std::vector<QWidget*> created;
    for (const ControlTemplate& c : tmpl.controls) {
        QWidget* widget = CreateControl(parent, c, units.ToPixels(c.x, c.y, c.cx, c.cy));
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
    // A label's mnemonic moves the focus to the next control after it that can take it,
    // wrapping round to the start of the template as the dialog manager does.
    for (size_t i = 0; i < tmpl.controls.size(); ++i) {
        auto* label = qobject_cast<QLabel*>(created[i]);
        if (label == nullptr || tmpl.controls[i].text.find('&') == std::string::npos) continue;
        for (size_t step = 1; step < created.size(); ++step) {
            QWidget* next = created[(i + step) % created.size()];
            if (next->focusPolicy() != Qt::NoFocus) {
                label->setBuddy(next);
                break;
            }
        }
    }
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
    return !dx.failed();
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
