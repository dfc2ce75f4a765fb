// The "Conversion" tab: conversion mode and direction, whether a serial frame carries the CAN
// frame information and identifier, where the identifier lies, and the frame interval. The mode
// decides which of these can be changed.
#pragma once

#include "framework/dialog.h"
#include "protocol/device_config.h"

namespace linkmate {

class CTranPage : public fw::CPropertyPage {
public:
    CTranPage();

    TranSettings tran;

    // Enables the controls the mode needs.
    void RefreshTranControls();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void OnEnable(bool enable) override;
};

}  // namespace linkmate
