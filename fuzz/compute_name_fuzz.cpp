// ComputeName over arbitrary settings and file names: a new name never leaves
// the source folder (in place) or the destination folder (copy mode), unless
// the user's own texts put a "/" into it.
//
// The input is a settings file; besides the settings keys it may hold
// "FuzzRoot", "FuzzSource1" to "FuzzSource3", "FuzzTitle1" to "FuzzTitle3" and
// "FuzzCd". String values are unescaped ("\xHH", "\\") so that they can carry
// what a settings line cannot: blanks at the ends, line breaks, NUL bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cdaudio/track_names.h"
#include "common/path.h"
#include "fuzz_support.h"
#include "rules/rename_rules.h"

using quorvan::CRenameRules;
using quorvan::RenameSettings;
using quorvan::fuzz::Shown;
using quorvan::fuzz::Unescape;

namespace {

bool HasSlash(bool used, const std::string& text) {
    return used && text.find('/') != std::string::npos;
}

// True when the user's own texts may put a "/" into a name.
bool UserTextHasSlash(const RenameSettings& r) {
    return HasSlash(r.AddPrefix, r.Prefix) || HasSlash(r.AddSuffix, r.Suffix) ||
           HasSlash(r.TextMode && r.ReplaceString && !r.SourceString.empty(), r.DestString) ||
           HasSlash(r.ChangeExtension, r.ChangeExtensionString) ||
           HasSlash(r.ConcatExtension, r.ConcatExtensionString);
}

// A component that names an entry inside its folder: not empty, not "." or
// "..", and without a NUL byte (the system would end the path there).
bool IsProperComponent(std::string_view part) {
    return !part.empty() && part != "." && part != ".." &&
           part.find('\0') == std::string_view::npos;
}

// A source path as the scan or the command line hands it over: absolute and
// normalized, naming a file below "/", without NUL bytes.
bool MakeSourcePath(const std::string& root, const std::string& text, std::string& path) {
    if (text.find('\0') != std::string::npos) {
        return false;
    }
    path = quorvan::MakeAbsolutePath(
        !text.empty() && text[0] == '/' ? text : quorvan::JoinPath(root, text));
    return path != "/";
}

void CheckTarget(const CRenameRules& rules, const std::string& source, const std::string& target,
                 bool userSlash) {
    if (target.empty()) {
        return;  // no usable name: the entry gets no target
    }
    const std::string folder = source.substr(0, source.rfind('/'));
    const RenameSettings& settings = rules.Settings();
    std::string base = settings.RenameInPlace ? folder + "/" : settings.RenameDestFolder;
    if (base.empty() || base.back() != '/') {
        base += '/';
    }
    QUORVAN_FUZZ_CHECK(target.compare(0, base.size(), base) == 0 && target.size() > base.size(),
                       "target %s is not inside %s", Shown(target).c_str(), Shown(base).c_str());
    if (userSlash) {
        return;
    }
    std::string_view rest = std::string_view(target).substr(base.size());
    if (rules.Settings().RenameInPlace) {
        QUORVAN_FUZZ_CHECK(rest.find('/') == std::string_view::npos,
                           "in-place target %s of %s leaves its folder", Shown(target).c_str(),
                           Shown(source).c_str());
    }
    while (true) {
        size_t slash = rest.find('/');
        std::string_view part = rest.substr(0, slash);
        QUORVAN_FUZZ_CHECK(IsProperComponent(part), "target %s of %s has the component %s",
                           Shown(target).c_str(), Shown(source).c_str(), Shown(part).c_str());
        if (slash == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(slash + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CRenameRules rules;
    rules.Store().ReadFromText(std::string(reinterpret_cast<const char*>(data), size));
    rules.ReadSettingsKeys();
    for (std::string* text :
         {&rules.Settings().Prefix, &rules.Settings().Suffix, &rules.Settings().SourceString,
          &rules.Settings().DestString, &rules.Settings().AlphaStartWith,
          &rules.Settings().ChangeExtensionString, &rules.Settings().ConcatExtensionString,
          &rules.Settings().RenameDestFolder}) {
        *text = Unescape(*text);
    }
    const auto& store = rules.Store();
    std::string rootText = "/data";
    store.GetValue("FuzzRoot", rootText);
    rootText = Unescape(rootText);
    if (rootText.find('\0') != std::string::npos) {
        return 0;
    }
    const std::string root = quorvan::MakeAbsolutePath(rootText);
    bool cd = false;
    store.GetFlag("FuzzCd", cd);

    std::vector<std::string> sources;
    std::vector<std::string> titles;
    for (const char* n : {"1", "2", "3"}) {
        std::string text;
        std::string path;
        if (store.GetValue(std::string("FuzzSource") + n, text) &&
            MakeSourcePath(root, Unescape(text), path)) {
            sources.push_back(path);
            std::string title;
            store.GetValue(std::string("FuzzTitle") + n, title);
            // Titles reach the plan as the retrieved list shows them: made
            // into file names (the xmcd target checks that step on its own).
            titles.push_back(
                quorvan::SafeTrackFileName(Unescape(title), static_cast<int>(n[0] - '0')));
        }
    }
    if (sources.empty()) {
        sources.push_back(root == "/" ? "/file.txt" : root + "/file.txt");
        titles.emplace_back("Title");
    }

    const bool userSlash = UserTextHasSlash(rules.Settings());
    rules.StartSequence();
    for (size_t i = 0; i < sources.size(); ++i) {
        std::string target = cd ? titles[i] : std::string();
        rules.ComputeName(root, sources[i], target, cd);
        CheckTarget(rules, sources[i], target, userSlash);
    }
    return 0;
}
