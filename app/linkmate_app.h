// The application: sets up the profile and runs the main window modally; that run is the
// program's whole life.
#pragma once

#include "app/linkmate_sheet.h"

namespace linkmate {

class CLINKMATEApp {
public:
    // Returns the process exit code. `choice` overrides the profile's model and port.
    int InitInstance(int argc, char** argv, const StartChoice& choice = {});
};

}  // namespace linkmate
