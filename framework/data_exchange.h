// Moving values between a window's controls and its members, with the platform's rules: a list
// without a selection reads -1 and an index it lacks clears the selection; integers are read as
// decimal text and a text that is no number stops the exchange with "Please enter an integer.";
// check states are 0..2.
#pragma once

#include <cstdint>
#include <string>

namespace linkmate::fw {

class CDialog;

class DataExchange {
public:
    DataExchange(CDialog& dialog, bool saveAndValidate);

    bool saving() const { return m_save; }
    bool failed() const { return m_failed; }
    // The identifier of the control whose value could not be read, once failed.
    int failedControl() const { return m_failedControl; }

    void ListIndex(int id, int32_t& value);
    void Text(int id, std::string& value);
    void Int(int id, int32_t& value);
    void Check(int id, int32_t& value);

private:
    CDialog& m_dialog;
    bool m_save;
    bool m_failed = false;
    int m_failedControl = 0;
};

}  // namespace linkmate::fw
