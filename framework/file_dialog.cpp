#include "framework/file_dialog.h"

#include "framework/backend.h"

namespace linkmate::fw {
namespace {

FileDialogResponder& Responder() {
    static FileDialogResponder responder;
    return responder;
}

}  // namespace

std::string AskFileName(CWnd* owner, const FileDialogCall& call) {
    if (Responder()) return Responder()(call);
    return backend::ShowFileDialog(owner, call);
}

void SetFileDialogResponder(FileDialogResponder responder) { Responder() = std::move(responder); }

}  // namespace linkmate::fw
