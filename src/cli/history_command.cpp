#include "cli/history_command.h"

#include <unistd.h>

#include "history/run_history.h"

namespace quorvan::cli {

std::string TerminalSafe(std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        auto hex = [&](unsigned char byte) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        };
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            hex(c);
        } else if (c == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            // U+0080..U+009F: terminals take some of them as commands.
            hex(c);
            hex(static_cast<unsigned char>(text[++i]));
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int RunHistory(const CliOptions&, FILE* out, FILE*) {
    const bool terminal = isatty(fileno(out)) != 0;
    for (const RunSummary& run : ListRuns(HistoryFolder())) {
        std::string state = RunStateName(run.state);
        if (!run.reason.empty()) {
            state += " (" + run.reason + ")";
        }
        std::string line = run.start.id + "\t" + run.start.time + "\t" + state +
                           "\t" + std::to_string(run.done) + "\t" + std::to_string(run.failed) +
                           "\t" + (terminal ? TerminalSafe(run.start.folder) : run.start.folder) +
                           "\n";
        fwrite(line.data(), 1, line.size(), out);
    }
    return kExitDone;
}

}  // namespace quorvan::cli
