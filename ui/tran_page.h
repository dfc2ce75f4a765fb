// The "Conversion" tab: conversion mode and direction, whether a serial frame carries the CAN
// frame information and identifier, where the identifier lies, and the frame interval. The mode
// decides which of these can be changed.
#pragma once

#include <array>
#include <cstdint>

#include "framework/dialog.h"
#include "protocol/device_config.h"

namespace linkmate {

class CTranPage : public fw::CPropertyPage {
public:
    CTranPage();

    TranSettings tran;

    // Enables the controls the mode needs.
    void RefreshTranControls();
    // Enabling from the mode as it is (a mode outside the list changes nothing).
    void ShowControlStates();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void OnEnable(bool enable) override;

private:
    struct NumberEdit {
        int id;
        int32_t* value;
    };
    // Interval, offset and length with their members.
    std::array<NumberEdit, 3> NumberEdits();
};

}  // namespace linkmate
