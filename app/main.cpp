// veltra: loads the engine module and runs its main loop in a window or offscreen.

#include "app/CommandLine.h"
#include "app/HostApp.h"

#include <cstdio>
#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    try {
        CommandLineResult parsed =
            CommandLine::Parse(argc, argv, CommandLine::DisplayPresent(), std::cout, std::cerr);
        if (!parsed.Options)
            return parsed.ExitCode;
        HostApp app(std::move(*parsed.Options));
        return app.Run();
    } catch (const std::exception& error) {
        // The last resort: every failure the program knows of is reported where it happens.
        std::fprintf(stderr, "veltra: stopped by an unexpected error: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "veltra: stopped by an unexpected error\n");
    }
    return 1;
}
