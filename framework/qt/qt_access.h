// The Qt widgets behind the framework's windows and controls, for what is about Qt itself: the
// Qt backend's own tests (input paths, accessibility, layout fit) and the screenshot tool.
#pragma once

#include <QDialog>
#include <QWidget>
#include <memory>

#include "framework/control.h"
#include "framework/message_box.h"
#include "framework/window.h"

namespace linkmate::fw::qt {

// nullptr when the window is not created or the control is absent.
QWidget* WidgetOf(const CWnd& window);
QWidget* WidgetOf(const Control& control);

// The box a message or question shows, not yet run; its exec() gives the answer.
std::unique_ptr<QDialog> CreateMessageBox(const MessageBoxCall& call, QWidget* parent);

template <typename T>
T* WidgetOf(const Control& control) {
    return dynamic_cast<T*>(WidgetOf(control));
}

}  // namespace linkmate::fw::qt
