// veltra: loads the engine module and runs its main loop in a window or offscreen.

#include "app/CommandLine.h"
#include "app/HostApp.h"

#include <iostream>

int main(int argc, char** argv) {
    CommandLineResult parsed =
        CommandLine::Parse(argc, argv, CommandLine::DisplayPresent(), std::cout, std::cerr);
    if (!parsed.Options)
        return parsed.ExitCode;
    HostApp app(std::move(*parsed.Options));
    return app.Run();
}
