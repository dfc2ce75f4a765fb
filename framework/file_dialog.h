// The one way the windows ask for a file name: the platform's file dialog. Tests install a
// responder so that no dialog ever blocks them.
#pragma once

#include <functional>
#include <string>

namespace linkmate::fw {

class CWnd;

enum class FileDialogKind { kOpen, kSave };

// The chosen path, or empty when the operator cancelled. `filter` as "Name (*.ext);;All (*)".
std::string AskFileName(CWnd* owner, FileDialogKind kind, const std::string& title,
                        const std::string& filter);

using FileDialogResponder = std::function<std::string(FileDialogKind kind, const std::string& title)>;
void SetFileDialogResponder(FileDialogResponder responder);

}  // namespace linkmate::fw
