#include "framework/qt/control_peer.h"

#include <algorithm>

#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include "framework/keyboard.h"
#include "framework/qt/edit_rules.h"

namespace linkmate::fw::qt {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

// An entry's second text, kept beside its own.
constexpr int kItemDetailRole = Qt::UserRole + 1;
// Two blanks between an entry and its detail, as a fixed-width column would leave.
const QString kDetailGap = QStringLiteral("  ");

// Draws a drop-down list's entries in the opened list with their detail after them; the closed
// list paints the entry's own text, so it stays as short as the list is wide.
class DetailDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString detail = index.data(kItemDetailRole).toString();
        if (!detail.isEmpty()) option->text += kDetailGap + detail;
    }
};

}  // namespace

std::string QtControl::Text() const {
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget)) return S(edit->text());
    if (auto* button = qobject_cast<QAbstractButton*>(m_widget)) return S(button->text());
    if (auto* label = qobject_cast<QLabel*>(m_widget)) return S(label->text());
    if (auto* list = qobject_cast<QComboBox*>(m_widget)) return S(list->currentText());
    return {};
}

void QtControl::SetText(const std::string& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget)) edit->setText(Q(text));
    if (auto* button = qobject_cast<QAbstractButton*>(m_widget)) button->setText(Q(text));
    if (auto* label = qobject_cast<QLabel*>(m_widget)) label->setText(Q(text));
}

bool QtControl::IsEnabled() const {
    return m_widget && m_widget->isEnabledTo(m_widget->parentWidget());
}
void QtControl::Enable(bool enable) {
    if (m_widget) m_widget->setEnabled(enable);
}
bool QtControl::IsVisible() const { return m_widget && !m_widget->isHidden(); }
void QtControl::Show(bool show) {
    if (m_widget) m_widget->setVisible(show);
}
void QtControl::SetFocus() {
    if (m_widget) m_widget->setFocus(Qt::OtherFocusReason);
}
bool QtControl::HasFocus() const { return m_widget && m_widget->hasFocus(); }
std::string QtControl::ToolTip() const { return m_widget ? S(m_widget->toolTip()) : std::string(); }
void QtControl::SetToolTip(const std::string& tip) {
    if (!m_widget) return;
    m_widget->setToolTip(Q(tip));
    if (qobject_cast<QComboBox*>(m_widget)) m_widget->setProperty(kOwnTipProperty, true);
}
std::string QtControl::AccessibleName() const {
    return m_widget ? S(m_widget->accessibleName()) : std::string();
}

Rect QtControl::Bounds() const {
    if (!m_widget) return {};
    const QRect r = m_widget->geometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

void QtControl::Move(const Rect& rect) {
    if (m_widget) m_widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
}

void QtControl::Click() {
    if (auto* button = qobject_cast<QAbstractButton*>(m_widget)) button->click();
}

char QtControl::Mnemonic() const {
    if (!m_widget) return 0;
    if (auto* button = qobject_cast<QAbstractButton*>(m_widget))
        return MnemonicOf(S(button->text()));
    return static_cast<char>(m_widget->property(kMnemonicProperty).toInt());
}

bool QtControl::CanTakeFocus() const {
    if (!m_widget) return false;
    const QWidget* target = m_widget->focusProxy() ? m_widget->focusProxy() : m_widget.data();
    return target->isVisible() && target->isEnabled() &&
           (target->focusPolicy() & Qt::TabFocus) != 0;
}

Size QtControl::TextExtent(const std::string& text) const {
    if (!m_widget) return {};
    // A label without word wrap draws its lines this far apart.
    const QFontMetrics metrics(m_widget->font());
    return {metrics.horizontalAdvance(Q(text)), metrics.lineSpacing()};
}

void QtControl::SetHighlighted(bool on) {
    if (!m_widget || m_highlighted == on) return;
    m_highlighted = on;
    if (!on) {
        m_widget->setPalette(m_paletteBefore);
        return;
    }
    m_paletteBefore = m_widget->palette();
    QPalette palette = m_paletteBefore;
    palette.setColor(QPalette::Active, QPalette::Base, QColor::fromRgb(kHighlightRgb));
    palette.setColor(QPalette::Inactive, QPalette::Base, QColor::fromRgb(kHighlightRgb));
    m_widget->setPalette(palette);
}

void QtControl::SelectAll() {
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget)) edit->selectAll();
}
void QtControl::ReplaceSelection(const std::string& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget)) edit->insert(Q(text));
}
void QtControl::SetLimitText(int limit) {
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget)) SetTypingLimit(edit, limit);
}
void QtControl::SetFilter(CharacterFilter accepts) {
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget)) SetCharacterFilter(edit, accepts);
}
void QtControl::SetReadOnly(bool readOnly) {
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget)) edit->setReadOnly(readOnly);
}
bool QtControl::IsReadOnly() const {
    auto* edit = qobject_cast<QLineEdit*>(m_widget);
    return edit != nullptr && edit->isReadOnly();
}

int QtControl::Count() const {
    if (auto* list = qobject_cast<QComboBox*>(m_widget)) return list->count();
    if (auto* table = qobject_cast<QTableWidget*>(m_widget)) return table->rowCount();
    if (auto* box = qobject_cast<QListWidget*>(m_widget)) return box->count();
    return 0;
}

int QtControl::CurSel() const {
    if (auto* list = qobject_cast<QComboBox*>(m_widget)) return list->currentIndex();
    if (auto* table = qobject_cast<QTableWidget*>(m_widget)) {
        const auto rows = table->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }
    if (auto* box = qobject_cast<QListWidget*>(m_widget)) {
        return box->selectedItems().isEmpty() ? -1 : box->currentRow();
    }
    return -1;
}

void QtControl::SetCurSel(int index) {
    const bool inRange = index >= 0 && index < Count();
    if (auto* list = qobject_cast<QComboBox*>(m_widget))
        list->setCurrentIndex(inRange ? index : -1);
    if (auto* table = qobject_cast<QTableWidget*>(m_widget)) {
        if (inRange) {
            table->selectRow(index);
        } else {
            table->clearSelection();
        }
    }
    if (auto* box = qobject_cast<QListWidget*>(m_widget)) {
        if (inRange) {
            box->setCurrentRow(index);
        } else {
            box->clearSelection();
        }
    }
}

void QtControl::ResetContent() {
    if (auto* list = qobject_cast<QComboBox*>(m_widget)) list->clear();
    if (auto* table = qobject_cast<QTableWidget*>(m_widget)) table->setRowCount(0);
    if (auto* box = qobject_cast<QListWidget*>(m_widget)) box->clear();
}

void QtControl::AddItem(const std::vector<std::string>& cells) {
    if (cells.empty()) return;
    if (auto* list = qobject_cast<QComboBox*>(m_widget)) list->addItem(Q(cells.front()));
    if (auto* box = qobject_cast<QListWidget*>(m_widget)) box->addItem(Q(cells.front()));
    if (auto* table = qobject_cast<QTableWidget*>(m_widget)) {
        const int row = table->rowCount();
        table->setRowCount(row + 1);
        for (int column = 0;
             column < table->columnCount() && column < static_cast<int>(cells.size()); ++column) {
            table->setItem(row, column,
                           new QTableWidgetItem(Q(cells[static_cast<size_t>(column)])));
        }
        table->resizeColumnsToContents();
        table->horizontalHeader()->setStretchLastSection(true);
    }
}

std::string QtControl::ItemText(int index, int column) const {
    if (auto* list = qobject_cast<QComboBox*>(m_widget)) return S(list->itemText(index));
    if (auto* box = qobject_cast<QListWidget*>(m_widget)) {
        const QListWidgetItem* item = box->item(index);
        return item ? S(item->text()) : std::string();
    }
    if (auto* table = qobject_cast<QTableWidget*>(m_widget)) {
        const QTableWidgetItem* item = table->item(index, column);
        return item ? S(item->text()) : std::string();
    }
    return {};
}

std::string QtControl::ItemToolTip(int index) const {
    auto* list = qobject_cast<QComboBox*>(m_widget);
    return list ? S(list->itemData(index, Qt::ToolTipRole).toString()) : std::string();
}

void QtControl::SetItemToolTip(int index, const std::string& tip) {
    auto* list = qobject_cast<QComboBox*>(m_widget);
    if (list == nullptr) return;
    list->setItemData(index, Q(tip), Qt::ToolTipRole);
    if (index == list->currentIndex() && !list->property(kOwnTipProperty).toBool())
        list->setToolTip(Q(tip));
}

void QtControl::SetItemDetail(int index, const std::string& detail, bool dimmed) {
    auto* list = qobject_cast<QComboBox*>(m_widget);
    if (list == nullptr || index < 0 || index >= list->count()) return;
    if (dynamic_cast<DetailDelegate*>(list->itemDelegate()) == nullptr)
        list->setItemDelegate(new DetailDelegate(list));
    list->setItemData(index, Q(detail), kItemDetailRole);
    list->setItemData(
        index,
        dimmed ? QVariant(list->palette().brush(QPalette::Disabled, QPalette::Text)) : QVariant(),
        Qt::ForegroundRole);
    // The opened list is as wide as its widest entry with its detail, however narrow the list.
    // Only this entry is measured (the lists set their entries' details one after another).
    QAbstractItemView* view = list->view();
    const int width =
        view->sizeHintForIndex(list->model()->index(index, list->modelColumn())).width() +
        list->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * view->frameWidth();
    view->setMinimumWidth(std::max(view->minimumWidth(), width));
}

std::string QtControl::ItemDetail(int index) const {
    auto* list = qobject_cast<QComboBox*>(m_widget);
    return list ? S(list->itemData(index, kItemDetailRole).toString()) : std::string();
}

int QtControl::CheckState() const {
    auto* box = qobject_cast<QCheckBox*>(m_widget);
    if (box == nullptr) return 0;
    const Qt::CheckState state = box->checkState();
    return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
}

void QtControl::SetCheckState(int state) {
    if (auto* box = qobject_cast<QCheckBox*>(m_widget)) {
        box->setCheckState(state == 1   ? Qt::Checked
                           : state == 2 ? Qt::PartiallyChecked
                                        : Qt::Unchecked);
    }
}

void QtControl::SetRange(int lower, int upper) {
    if (auto* upDown = dynamic_cast<UpDownControl*>(m_widget.data()))
        upDown->SetRange32(lower, upper);
}

std::pair<int, int> QtControl::Range() const {
    auto* upDown = dynamic_cast<UpDownControl*>(m_widget.data());
    return upDown ? std::pair{upDown->lower(), upDown->upper()} : std::pair{0, 0};
}

}  // namespace linkmate::fw::qt
