#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/cd_names_command.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/history_command.h"
#include "cli/preview_command.h"
#include "cli/run_command.h"
#include "cli/undo_command.h"
#include "common/product.h"

using namespace quorvan::cli;

namespace {

int Main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    CliOptions options;
    std::string error;
    if (!ParseOptions(args, options, error)) {
        PrintError(stderr, error);
        fputs("Try 'quorvan-cli --help'.\n", stderr);
        return kExitUsage;
    }
    if (options.help) {
        fputs(UsageText().c_str(), stdout);
        return kExitDone;
    }
    if (options.version) {
        std::printf("quorvan-cli %s\n", quorvan::kVersionText);
        return kExitDone;
    }
    if (options.command == "cd-names") {
        return RunCdNames(options, stdout, stderr);
    }
    if (options.command == "history") {
        return RunHistory(options, stdout, stderr);
    }
    if (options.command == "undo") {
        return RunUndo(options, stdout, stderr);
    }
    if (options.command == "run") {
        return RunRun(options, stderr);
    }
    return RunPreview(options, stdout, stderr);
}

}  // namespace

int main(int argc, char** argv) {
    // Nothing may end the program without a word: out of memory, say, is one
    // line and a failure status like any other failure.
    try {
        return Main(argc, argv);
    } catch (const std::exception& e) {
        // No allocation here: memory may be what ran out.
        std::fprintf(stderr, "quorvan-cli: %s\n", e.what());
    } catch (...) {
        std::fputs("quorvan-cli: unexpected failure\n", stderr);
    }
    return kExitSomeFailed;
}
