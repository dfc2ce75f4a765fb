// The Qt widgets behind the framework's windows and controls, for what is about Qt itself: the
// Qt backend's own tests (input paths, accessibility, layout fit) and the screenshot tool.
#pragma once

#include <QWidget>

#include "framework/control.h"
#include "framework/window.h"

namespace linkmate::fw::qt {

// nullptr when the window is not created or the control is absent.
QWidget* WidgetOf(const CWnd& window);
QWidget* WidgetOf(const Control& control);

template <typename T>
T* WidgetOf(const Control& control) {
    return dynamic_cast<T*>(WidgetOf(control));
}

}  // namespace linkmate::fw::qt
