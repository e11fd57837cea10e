#include <cstdio>
#include <cstdlib>

#include "common/path.h"
#include "common/text.h"
#include "rules/rename_rules.h"

namespace quorvan {

namespace {

// No file name can be longer than this; wider padding would only make names
// that cannot exist (and a width of two billion would exhaust memory).
constexpr int32_t kMaxSequenceWidth = 255;

}  // namespace

bool CRenameRules::ComputeName(const std::string& sourceRoot, const std::string& sourcePath,
                               std::string& target, bool cdFlag) {
    std::string_view path(sourcePath);
    size_t slash = path.rfind('/');
    std::string_view folder =
        slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash);
    std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
    if (cdFlag) {
        name = target + std::string(ExtensionOf(name));
    }
    if (TextMode) {
        ApplyTextRules(name);
    } else {
        ApplySequenceRules(name);
    }
    ApplyExtensionRules(name);

    target.clear();
    // An empty name, "." or ".." would address the folder itself or its
    // parent, and the system ends a path at a NUL byte: no file can take such
    // a name, so the entry keeps no target.
    const bool usable =
        !name.empty() && name != "." && name != ".." && name.find('\0') == std::string::npos;
    if (RenameInPlace) {
        if (!usable) {
            return true;
        }
        target.reserve(folder.size() + 1 + name.size());
        target.append(folder);
        target += '/';
        target += name;
        return true;
    }
    if (RenameDestFolder.empty() || RenameDestFolder.back() != '/') {
        RenameDestFolder += '/';
    }
    if (!usable) {
        return true;
    }
    // The part of the source folder below the root keeps its place below the
    // destination. A folder outside the root (a file named from elsewhere) has
    // no such part.
    std::string_view relative;
    if (folder.size() > sourceRoot.size() && folder.substr(0, sourceRoot.size()) == sourceRoot &&
        (sourceRoot.empty() || sourceRoot.back() == '/' || folder[sourceRoot.size()] == '/')) {
        relative = folder.substr(sourceRoot.size());
        size_t skip = relative.find_first_not_of('/');
        relative.remove_prefix(skip == std::string_view::npos ? relative.size() : skip);
    }
    target.reserve(RenameDestFolder.size() + relative.size() + 1 + name.size());
    target += RenameDestFolder;
    if (!relative.empty()) {
        target.append(relative);
        target += '/';
    }
    target += name;
    return true;
}

bool CRenameRules::ApplyTextRules(std::string& name) const {
    if (AddPrefix) {
        name = Prefix + name;
    }
    if (AddSuffix) {
        size_t dot = name.rfind('.');
        if (dot == std::string::npos) {
            name += Suffix;
        } else {
            name.insert(dot, Suffix);
        }
    }
    if (ReplaceString && !SourceString.empty()) {
        std::string out;
        size_t from = 0;
        for (size_t at = name.find(SourceString); at != std::string::npos;
             at = name.find(SourceString, from)) {
            out.append(name, from, at - from);
            out += DestString;
            from = at + SourceString.size();
        }
        out.append(name, from, std::string::npos);
        name = std::move(out);
    }
    if (CaseChange) {
        name = UpperCase != 0 ? Utf8ToUpper(name) : Utf8ToLower(name);
    }
    return true;
}

bool CRenameRules::ApplySequenceRules(std::string& name) {
    std::string sequence;
    if (NumericSequence) {
        NextNumericText(sequence);
    } else {
        NextAlphaText(sequence);
    }
    // In sequencing, prefix and suffix decorate the sequence text, not the name.
    if (AddPrefix) {
        sequence.insert(0, Prefix);
    }
    if (AddSuffix) {
        sequence += Suffix;
    }
    size_t dot = name.rfind('.');
    size_t baseLength = dot == std::string::npos ? name.size() : dot;
    switch (SequencePlacement) {
        case 0:
            name.insert(0, sequence);
            break;
        case 1:
            name.replace(0, baseLength, sequence);
            break;
        case 2:
            name.insert(baseLength, sequence);
            break;
        default:
            break;  // no placement chosen: the name stays as it was
    }
    return true;
}

bool CRenameRules::ApplyExtensionRules(std::string& name) const {
    if (ChangeExtension) {
        size_t dot = name.rfind('.');
        if (dot != std::string::npos) {
            name.erase(dot);
        }
        name += '.';
        name += ChangeExtensionString;
    }
    if (ConcatExtension) {
        name += ConcatExtensionString;
    }
    return true;
}

bool CRenameRules::NextNumericText(std::string& text) {
    if (DigitCount == 0) {
        DigitCount = static_cast<int32_t>(DefaultWidth);
    }
    int32_t width = DigitCount;
    if (width > kMaxSequenceWidth) {
        width = kMaxSequenceWidth;
    } else if (width < -kMaxSequenceWidth) {
        width = -kMaxSequenceWidth;
    }
    char buffer[2 * kMaxSequenceWidth + 16];
    int n = snprintf(buffer, sizeof buffer, "%0*ld", static_cast<int>(width),
                     static_cast<long>(SequenceCounter));
    text.assign(buffer, n > 0 ? static_cast<size_t>(n) : 0);
    SequenceCounter = static_cast<int32_t>(static_cast<uint32_t>(SequenceCounter) + 1u);
    return true;
}

bool CRenameRules::NextAlphaText(std::string& text) {
    uint32_t v = static_cast<uint32_t>(SequenceCounter);
    text.clear();
    uint32_t n = 1;
    if (DigitCount == 0) {
        DigitCount = static_cast<int32_t>(DefaultWidth);
    }
    while (n <= static_cast<uint32_t>(DigitCount)) {
        char letter = static_cast<char>((AlphaLowerCase ? 'a' : 'A') + v % 26);
        text.insert(text.begin(), letter);
        ++n;
        v /= 26;
        if (v != 0 && n > static_cast<uint32_t>(DigitCount)) {
            DigitCount = static_cast<int32_t>(static_cast<uint32_t>(DigitCount) + 1u);
        }
        if (n >= DefaultWidth) {
            break;
        }
    }
    SequenceCounter = static_cast<int32_t>(static_cast<uint32_t>(SequenceCounter) + 1u);
    return true;
}

void CRenameRules::StartSequence() {
    SequenceCounter = StartWith;
    if (TextMode || NumericSequence) {
        return;
    }
    std::string start = AlphaStartWith;
    if (!start.empty()) {
        AlphaLowerCase = static_cast<signed char>(start[0]) > 90;
        if (AlphaLowerCase) {
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
    SequenceCounter = static_cast<int32_t>(sum);
}

}  // namespace quorvan
