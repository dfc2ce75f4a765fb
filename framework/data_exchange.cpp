#include "framework/data_exchange.h"

#include "framework/application.h"
#include "framework/decimal.h"
#include "framework/dialog.h"
#include "framework/message_box.h"
#include "framework/translate.h"

namespace linkmate::fw {

DataExchange::DataExchange(CDialog& dialog, bool saveAndValidate)
    : m_dialog(dialog), m_save(saveAndValidate) {}

void DataExchange::ListIndex(int id, int32_t& value) {
    ComboBox list = m_dialog.Item<ComboBox>(id);
    if (m_failed || !list) return;
    if (m_save) {
        value = list.GetCurSel();
    } else {
        list.SetCurSel(value >= 0 && value < list.GetCount() ? value : -1);
    }
}

void DataExchange::Text(int id, std::string& value) {
    Edit edit = m_dialog.Item<Edit>(id);
    if (m_failed || !edit) return;
    if (m_save) {
        value = edit.GetWindowText();
    } else {
        edit.SetWindowText(value);
    }
}

void DataExchange::Int(int id, int32_t& value) {
    Edit edit = m_dialog.Item<Edit>(id);
    if (m_failed || !edit) return;
    if (!m_save) {
        edit.SetWindowText(std::to_string(value));
        return;
    }
    const auto parsed = ParseDecimal(edit.GetWindowText());
    if (parsed) {
        value = *parsed;
        return;
    }
    m_failed = true;
    m_failedControl = id;
    MessageBox(&m_dialog, Translate("DataExchange", "Please enter an integer."), ApplicationName(),
               MessageIcon::kExclamation);
    edit.SetFocus();
    edit.SetSel();
}

void DataExchange::Check(int id, int32_t& value) {
    CheckBox box = m_dialog.Item<CheckBox>(id);
    if (m_failed || !box) return;
    if (m_save) {
        value = box.GetCheck();
        return;
    }
    if (value < 0 || value > 2) value = 0;
    box.SetCheck(value);
}

}  // namespace linkmate::fw
