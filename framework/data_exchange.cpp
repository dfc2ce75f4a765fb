#include "framework/data_exchange.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>

#include "framework/decimal.h"
#include "framework/dialog.h"
#include "framework/message_box.h"

namespace linkmate::fw {

DataExchange::DataExchange(CDialog& dialog, bool saveAndValidate)
    : m_dialog(dialog), m_save(saveAndValidate) {}

QWidget* DataExchange::Control(int id) const { return m_dialog.GetDlgItem(id); }

void DataExchange::ListIndex(int id, int32_t& value) {
    auto* list = qobject_cast<QComboBox*>(Control(id));
    if (m_failed || list == nullptr) return;
    if (m_save) {
        value = list->currentIndex();
    } else {
        list->setCurrentIndex(value >= 0 && value < list->count() ? value : -1);
    }
}

void DataExchange::Text(int id, std::string& value) {
    auto* edit = qobject_cast<QLineEdit*>(Control(id));
    if (m_failed || edit == nullptr) return;
    if (m_save) {
        value = edit->text().toStdString();
    } else {
        edit->setText(QString::fromStdString(value));
    }
}

void DataExchange::Int(int id, int32_t& value) {
    auto* edit = qobject_cast<QLineEdit*>(Control(id));
    if (m_failed || edit == nullptr) return;
    if (!m_save) {
        edit->setText(QString::number(value));
        return;
    }
    const auto parsed = ParseDecimal(edit->text().toStdString());
    if (parsed) {
        value = *parsed;
        return;
    }
    m_failed = true;
    m_failedControl = edit;
    MessageBox(&m_dialog, QCoreApplication::translate("DataExchange", "Please enter an integer.").toStdString(),
               QCoreApplication::applicationName().toStdString(), MessageIcon::kExclamation);
    edit->setFocus();
    edit->selectAll();
}

void DataExchange::Check(int id, int32_t& value) {
    auto* box = qobject_cast<QCheckBox*>(Control(id));
    if (m_failed || box == nullptr) return;
    if (m_save) {
        const Qt::CheckState state = box->checkState();
        value = state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
        return;
    }
    if (value < 0 || value > 2) value = 0;
    box->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

}  // namespace linkmate::fw
