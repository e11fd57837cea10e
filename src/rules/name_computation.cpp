#include "rules/name_computation.h"

#include <cstdio>
#include <cstdlib>

#include "common/path.h"
#include "common/text.h"
#include "rules/more_rules.h"

namespace quorvan {

namespace {

// No file name can be longer than this; wider padding would only make names
// that cannot exist (and a width of two billion would exhaust memory).
constexpr int32_t kMaxSequenceWidth = 255;

}  // namespace

bool ComputeName(const RenameSettings& settings, SequenceState& sequence,
                 std::string_view sourceRoot, std::string_view sourcePath, std::string& target,
                 bool cdFlag) {
    const CMoreRulesProgram more(settings.More);
    return ComputeName(settings, more, sequence, sourceRoot, sourcePath, target, cdFlag);
}

bool ComputeName(const RenameSettings& settings, const CMoreRulesProgram& more,
                 SequenceState& sequence, std::string_view sourceRoot, std::string_view sourcePath,
                 std::string& target, bool cdFlag) {
    const RenameSettings& s = settings;
    std::string_view path(sourcePath);
    size_t slash = path.rfind('/');
    std::string_view folder =
        slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash);
    std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
    std::string_view made;  // folders a name template makes
    std::string given;
    if (cdFlag) {
        given = target;
        // A template's "/" makes folders; the rules work on the name alone.
        size_t cut = given.rfind('/');
        if (cut != std::string::npos) {
            made = std::string_view(given).substr(0, cut);
            name = given.substr(cut + 1) + std::string(ExtensionOf(name));
        } else {
            name = given + std::string(ExtensionOf(name));
        }
    }
    if (s.TextMode) {
        ApplyTextRules(s, name);
    } else {
        ApplySequenceRules(s, sequence, name);
    }
    ApplyExtensionRules(s, name);
    if (!more.Apply(name)) {
        name.clear();
    }

    target.clear();
    // An empty name, "." or ".." would address the folder itself or its
    // parent, and the system ends a path at a NUL byte: no file can take such
    // a name, so the entry keeps no target.
    const bool usable =
        !name.empty() && name != "." && name != ".." && name.find('\0') == std::string::npos;
    if (!usable) {
        return true;
    }
    target.reserve((s.RenameInPlace ? 0 : s.RenameDestFolder.size()) + folder.size() + made.size() +
                   3 + name.size());
    AppendNameFolder(s, sourceRoot, folder, target);
    if (!made.empty()) {
        target.append(made);
        target += '/';
    }
    target += name;
    // The rules make a name, never a path: only a template makes folders.
    return name.find('/') == std::string::npos;
}

void AppendNameFolder(const RenameSettings& s, std::string_view sourceRoot,
                      std::string_view sourceFolder, std::string& out) {
    if (s.RenameInPlace) {
        out.append(sourceFolder);
        out += '/';
        return;
    }
    // The part of the source folder below the root keeps its place below the
    // destination. A folder outside the root (a file named from elsewhere) has
    // no such part.
    std::string_view folder = sourceFolder;
    std::string_view relative;
    if (folder.size() > sourceRoot.size() && folder.substr(0, sourceRoot.size()) == sourceRoot &&
        (sourceRoot.empty() || sourceRoot.back() == '/' || folder[sourceRoot.size()] == '/')) {
        relative = folder.substr(sourceRoot.size());
        size_t skip = relative.find_first_not_of('/');
        relative.remove_prefix(skip == std::string_view::npos ? relative.size() : skip);
    }
    const std::string& destination = s.RenameDestFolder;
    out += destination;
    if (destination.empty() || destination.back() != '/') {
        out += '/';
    }
    if (!relative.empty()) {
        out.append(relative);
        out += '/';
    }
}

void ApplyTextRules(const RenameSettings& s, std::string& name) {
    if (s.AddPrefix) {
        name = s.Prefix + name;
    }
    if (s.AddSuffix) {
        size_t dot = ExtensionDot(name);
        if (dot == std::string::npos) {
            name += s.Suffix;
        } else {
            name.insert(dot, s.Suffix);
        }
    }
    if (s.ReplaceString && !s.SourceString.empty()) {
        std::string out;
        size_t from = 0;
        for (size_t at = name.find(s.SourceString); at != std::string::npos;
             at = name.find(s.SourceString, from)) {
            out.append(name, from, at - from);
            out += s.DestString;
            from = at + s.SourceString.size();
        }
        out.append(name, from, std::string::npos);
        name = std::move(out);
    }
    if (s.CaseChange) {
        name = s.UpperCase != 0 ? Utf8ToUpper(name) : Utf8ToLower(name);
    }
}

void ApplySequenceRules(const RenameSettings& s, SequenceState& sequence, std::string& name) {
    std::string text;
    if (s.NumericSequence) {
        NextNumericText(sequence, text);
    } else {
        NextAlphaText(sequence, text);
    }
    // In sequencing, prefix and suffix decorate the sequence text, not the name.
    if (s.AddPrefix) {
        text.insert(0, s.Prefix);
    }
    if (s.AddSuffix) {
        text += s.Suffix;
    }
    size_t dot = ExtensionDot(name);
    size_t baseLength = dot == std::string::npos ? name.size() : dot;
    switch (s.SequencePlacement) {
        case 0:
            name.insert(0, text);
            break;
        case 1:
            name.replace(0, baseLength, text);
            break;
        case 2:
            name.insert(baseLength, text);
            break;
        default:
            break;  // no placement chosen: the name stays as it was
    }
}

void ApplyExtensionRules(const RenameSettings& s, std::string& name) {
    if (s.ChangeExtension) {
        size_t dot = ExtensionDot(name);
        if (dot != std::string::npos) {
            name.erase(dot);
        }
        name += '.';
        name += s.ChangeExtensionString;
    }
    if (s.ConcatExtension) {
        name += s.ConcatExtensionString;
    }
}

void NextNumericText(SequenceState& sequence, std::string& text) {
    if (sequence.digitCount == 0) {
        sequence.digitCount = kDefaultSequenceWidth;
    }
    int32_t width = sequence.digitCount;
    if (width > kMaxSequenceWidth) {
        width = kMaxSequenceWidth;
    } else if (width < -kMaxSequenceWidth) {
        width = -kMaxSequenceWidth;
    }
    char buffer[2 * kMaxSequenceWidth + 16];
    int n = snprintf(buffer, sizeof buffer, "%0*ld", static_cast<int>(width),
                     static_cast<long>(sequence.counter));
    text.assign(buffer, n > 0 ? static_cast<size_t>(n) : 0);
    sequence.counter = static_cast<int32_t>(static_cast<uint32_t>(sequence.counter) +
                                            static_cast<uint32_t>(sequence.step));
}

void NextAlphaText(SequenceState& sequence, std::string& text) {
    uint32_t v = static_cast<uint32_t>(sequence.counter);
    text.clear();
    uint32_t n = 1;
    int32_t& count = sequence.digitCount;
    if (count == 0) {
        count = kDefaultSequenceWidth;
    }
    while (n <= static_cast<uint32_t>(count)) {
        char letter = static_cast<char>((sequence.alphaLowerCase ? 'a' : 'A') + v % 26);
        text.insert(text.begin(), letter);
        ++n;
        v /= 26;
        if (v != 0 && n > static_cast<uint32_t>(count)) {
            count = static_cast<int32_t>(static_cast<uint32_t>(count) + 1u);
        }
        if (n >= static_cast<uint32_t>(kDefaultSequenceWidth)) {
            break;
        }
    }
    sequence.counter = static_cast<int32_t>(static_cast<uint32_t>(sequence.counter) +
                                            static_cast<uint32_t>(sequence.step));
}

SequenceState StartSequence(const RenameSettings& settings, bool alphaLowerCase) {
    SequenceState sequence;
    sequence.alphaLowerCase = alphaLowerCase;
    sequence.counter = settings.StartWith;
    sequence.digitCount = settings.DigitCount;
    sequence.step = settings.More.SequenceStep;
    if (settings.TextMode || settings.NumericSequence) {
        return sequence;
    }
    std::string start = settings.AlphaStartWith;
    if (!start.empty()) {
        sequence.alphaLowerCase = static_cast<signed char>(start[0]) > 90;
        if (sequence.alphaLowerCase) {
            start = Utf8ToUpper(start);
        }
    }
    uint32_t sum = 0;
    uint32_t weight = 1;
    for (size_t i = start.size(); i-- > 0;) {
        int32_t digit = static_cast<signed char>(start[i]) - 65;
        sum += static_cast<uint32_t>(digit) * weight;
        weight *= 26u;
    }
    sequence.counter = static_cast<int32_t>(sum);
    return sequence;
}

}  // namespace quorvan
