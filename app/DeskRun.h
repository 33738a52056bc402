#pragma once
// The desk program without a command-line command: log in (dialog or --user), then the portal.

namespace app {

struct DeskOptions;

// Runs the desk and its event loop; the program's exit status.
int runDesk(int argc, char** argv, const DeskOptions& options);

}  // namespace app
