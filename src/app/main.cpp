#include <cstdio>
#include <exception>

#include "app/main_app.h"

int main(int argc, char** argv) {
    // An exception that reaches this point ends the program with a word on
    // standard error instead of an abort.
    try {
        if (const int status = quorvan::AnswerWithoutWindow(argc, argv); status >= 0) {
            return status;
        }
        quorvan::CMainApp app(argc, argv);
        return app.Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorvan: %s\n", e.what());
    } catch (...) {
        std::fputs("quorvan: unexpected failure\n", stderr);
    }
    return 1;
}
