// The application: sets up the profile and runs the main window modally; that run is the
// program's whole life.
#pragma once

namespace linkmate {

class CLINKMATEApp {
public:
    // Returns the process exit code.
    int InitInstance(int argc, char** argv);
};

}  // namespace linkmate
