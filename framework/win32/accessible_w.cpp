#include "framework/win32/accessible_w.h"

// The property identifiers are defined here, once.
#include <initguid.h>
#include <oleacc.h>

namespace linkmate::fw::win32 {
namespace {

// The window thread's annotation service, made on first use; nullptr where there is none.
IAccPropServices* Service() {
    static IAccPropServices* const service = [] {
        // The window thread is a single-threaded apartment; a thread already initialised keeps
        // its own choice.
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IAccPropServices* made = nullptr;
        if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IAccPropServices, reinterpret_cast<void**>(&made)))) {
            return static_cast<IAccPropServices*>(nullptr);
        }
        return made;
    }();
    return service;
}

void Annotate(HWND window, const MSAAPROPID& property, const std::string& text) {
    IAccPropServices* service = Service();
    if (service == nullptr || window == nullptr) return;
    const std::wstring wide = Widen(text);
    service->SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property,
                            wide.c_str());
}

}  // namespace

void SetAccessibleName(HWND window, const std::string& name) {
    Annotate(window, PROPID_ACC_NAME, name);
}

void SetAccessibleDescription(HWND window, const std::string& description) {
    Annotate(window, PROPID_ACC_DESCRIPTION, description);
}

}  // namespace linkmate::fw::win32
