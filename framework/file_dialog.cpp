#include "framework/file_dialog.h"

#include "framework/backend.h"

namespace linkmate::fw {
namespace {

FileDialogResponder& Responder() {
    static FileDialogResponder responder;
    return responder;
}

}  // namespace

std::string AskFileName(CWnd* owner, FileDialogKind kind, const std::string& title,
                        const std::string& filter) {
    if (Responder()) return Responder()(kind, title);
    return backend::ShowFileDialog(owner, kind, title, filter);
}

void SetFileDialogResponder(FileDialogResponder responder) { Responder() = std::move(responder); }

}  // namespace linkmate::fw
