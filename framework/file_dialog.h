// The one way the windows ask for a file name: the platform's file dialog. Tests install a
// responder so that no dialog ever blocks them.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace linkmate::fw {

enum class FileDialogKind { kOpen, kSave };

// The chosen path, or empty when the operator cancelled.
std::string AskFileName(QWidget* owner, FileDialogKind kind, const std::string& title,
                        const std::string& filter);

using FileDialogResponder = std::function<std::string(FileDialogKind kind, const std::string& title)>;
void SetFileDialogResponder(FileDialogResponder responder);

}  // namespace linkmate::fw
