// The one way the windows ask for a file name: the platform's file dialog. Tests install a
// responder so that no dialog ever blocks them.
#pragma once

#include <functional>
#include <string>

namespace linkmate::fw {

class CWnd;

enum class FileDialogKind { kOpen, kSave };

struct FileDialogCall {
    FileDialogKind kind;
    std::string title;
    std::string filter;            // "Name (*.ext);;All (*)"
    std::string start;             // the folder it opens in, for a save with the suggested name
    std::string defaultExtension;  // added to a name typed without one ("reg")
};

// The chosen path, or empty when the operator cancelled.
std::string AskFileName(CWnd* owner, const FileDialogCall& call);

using FileDialogResponder = std::function<std::string(const FileDialogCall& call)>;
void SetFileDialogResponder(FileDialogResponder responder);

}  // namespace linkmate::fw
