#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "app/linkmate_app.h"

namespace {

linkmate::CLINKMATEApp theApp;

bool HaveDisplay() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (!HaveDisplay()) {
        std::fprintf(stderr,
                     "linkmate: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Run it in a desktop session, or on a virtual display with\n"
                     "  xvfb-run -a %s\n",
                     argc > 0 ? argv[0] : "linkmate");
        return 1;
    }
    return theApp.InitInstance(argc, argv);
}
