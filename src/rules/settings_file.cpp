#include "common/text.h"
#include "rules/rename_rules.h"

namespace quorvan {

bool CRenameRules::SaveSettings(const std::string& path, const std::string& sourceFolder) {
    SourcePath = sourceFolder;
    store_.Clear();
    GatherFromPages(sourceFolder);
    WriteSettingsKeys();
    return store_.WriteToFile(path);
}

bool CRenameRules::LoadSettings(const std::string& path, std::string& sourcePath) {
    store_.Clear();
    bool ok = store_.ReadFromFile(path);
    if (ok) {
        ReadSettingsKeys();
        ApplyToPages(SourcePath);
    }
    sourcePath = SourcePath;
    return ok;
}

void CRenameRules::WriteSettingsKeys() {
    CSettingsStore& s = store_;
    s.SetValue("SourcePath", SourcePath);
    s.SetValue("TextSeqModifications", TextMode ? "Text" : "Seq");
    s.SetFlag("AddPrefix", AddPrefix);
    if (AddPrefix) {
        s.SetValue("Prefix", Prefix);
    }
    s.SetFlag("AddSuffix", AddSuffix);
    if (AddSuffix) {
        s.SetValue("Suffix", Suffix);
    }
    if (TextMode) {
        s.SetFlag("CaseChange", CaseChange);
        if (CaseChange) {
            s.SetValue("Case", UpperCase != 0 ? "Upper" : "Lower");
        }
        s.SetFlag("ReplaceString", ReplaceString);
        if (ReplaceString) {
            s.SetValue("SourceString", SourceString);
            s.SetValue("DestString", DestString);
        }
    } else {
        static const char* const kPlacements[] = {"Prefix", "Replace", "Suffix"};
        if (SequencePlacement >= 0 && SequencePlacement <= 2) {
            s.SetValue("SequencePlacement", kPlacements[SequencePlacement]);
        }
        s.SetValue("NumericAlphaSequence", NumericSequence ? "Num" : "Alpha");
        if (NumericSequence) {
            s.SetNumber("StartWith", StartWith);
        } else {
            s.SetValue("StartWith", AlphaStartWith);
        }
        s.SetNumber("DigitCount", DigitCount);
    }
    s.SetFlag("ChangeExtension", ChangeExtension);
    if (ChangeExtension) {
        s.SetValue("ChangeExtensionString", ChangeExtensionString);
    }
    s.SetFlag("ConcatExtension", ConcatExtension);
    if (ConcatExtension) {
        s.SetValue("ConcatExtensionString", ConcatExtensionString);
    }
    s.SetFlag("IncludeSubFolders", IncludeSubFolders);
    s.SetFlag("LogFile", LogFile);
    s.SetFlag("UndoBatchFile", UndoBatchFile);
    s.SetFlag("RenameInPlace", RenameInPlace);
    if (!RenameInPlace) {
        s.SetValue("RenameDestFolder", RenameDestFolder);
    }
    s.SetFlag("ModifyAttributes", ModifyAttributes);
    if (ModifyAttributes) {
        s.SetFlag("ModifyReadOnly", ModifyReadOnly);
        s.SetFlag("ModifyHidden", ModifyHidden);
        s.SetFlag("ModifySystem", ModifySystem);
        s.SetFlag("ModifyArchive", ModifyArchive);
    }
    s.SetFlag("ModifyDatesTimes", ModifyDatesTimes);
    if (ModifyDatesTimes) {
        s.SetFlag("ModifyCreationDateTime", ModifyCreationDateTime);
        if (ModifyCreationDateTime) {
            s.SetDate("ModifyCreationDate", CreationDate);
            s.SetTime("ModifyCreationTime", CreationTime);
        }
        s.SetFlag("ModifyModDateTime", ModifyModDateTime);
        if (ModifyModDateTime) {
            s.SetDate("ModifyModDate", ModDate);
            s.SetTime("ModifyModTime", ModTime);
        }
        s.SetFlag("ModifyLastAccessedDateTime", ModifyLastAccessedDateTime);
        if (ModifyLastAccessedDateTime) {
            s.SetDate("ModifyLastAccessedDate", LastAccessedDate);
            s.SetTime("ModifyLastAccessedTime", LastAccessedTime);
        }
    }
}

void CRenameRules::ReadSettingsKeys() {
    const CSettingsStore& s = store_;
    // A key the file lacks leaves its setting as it was.
    auto readFlagAndText = [&s](const char* flagKey, bool& flag, const char* textKey,
                                std::string& text) {
        s.GetFlag(flagKey, flag);
        if (flag) {
            s.GetValue(textKey, text);
        }
    };

    s.GetValue("SourcePath", SourcePath);
    std::string mode;
    s.GetValue("TextSeqModifications", mode);
    if (EqualsIgnoreCase(mode, "Text")) {
        TextMode = true;
        readFlagAndText("AddPrefix", AddPrefix, "Prefix", Prefix);
        readFlagAndText("AddSuffix", AddSuffix, "Suffix", Suffix);
        s.GetFlag("CaseChange", CaseChange);
        std::string upper;
        if (CaseChange && s.GetValue("Case", upper)) {
            UpperCase = EqualsIgnoreCase(upper, "Upper") ? 1 : 0;
        }
        s.GetFlag("ReplaceString", ReplaceString);
        if (ReplaceString) {
            s.GetValue("SourceString", SourceString);
            s.GetValue("DestString", DestString);
        }
    } else if (mode == "Seq") {
        TextMode = false;
        std::string placement;
        if (s.GetValue("SequencePlacement", placement)) {
            if (EqualsIgnoreCase(placement, "Prefix")) {
                SequencePlacement = 0;
            } else if (EqualsIgnoreCase(placement, "Suffix")) {
                SequencePlacement = 2;
            } else if (EqualsIgnoreCase(placement, "Replace")) {
                SequencePlacement = 1;
            }
        }
        std::string kind;
        if (s.GetValue("NumericAlphaSequence", kind)) {
            NumericSequence = EqualsIgnoreCase(kind, "Num");
        }
        if (NumericSequence) {
            s.GetNumber("StartWith", StartWith);
        } else {
            s.GetValue("StartWith", AlphaStartWith);
        }
        s.GetNumber("DigitCount", DigitCount);
        readFlagAndText("AddPrefix", AddPrefix, "Prefix", Prefix);
        readFlagAndText("AddSuffix", AddSuffix, "Suffix", Suffix);
    }

    readFlagAndText("ChangeExtension", ChangeExtension, "ChangeExtensionString",
                    ChangeExtensionString);
    readFlagAndText("ConcatExtension", ConcatExtension, "ConcatExtensionString",
                    ConcatExtensionString);
    s.GetFlag("IncludeSubFolders", IncludeSubFolders);
    s.GetFlag("LogFile", LogFile);
    s.GetFlag("UndoBatchFile", UndoBatchFile);

    bool inPlace = RenameInPlace;
    s.GetFlag("RenameInPlace", inPlace);
    if (inPlace) {
        RenameInPlace = true;
    } else {
        RenameInPlace = false;
        s.GetValue("RenameDestFolder", RenameDestFolder);
    }

    s.GetFlag("ModifyAttributes", ModifyAttributes);
    if (ModifyAttributes) {
        s.GetFlag("ModifyReadOnly", ModifyReadOnly);
        s.GetFlag("ModifyHidden", ModifyHidden);
        s.GetFlag("ModifySystem", ModifySystem);
        s.GetFlag("ModifyArchive", ModifyArchive);
    }
    s.GetFlag("ModifyDatesTimes", ModifyDatesTimes);
    if (ModifyDatesTimes) {
        s.GetFlag("ModifyCreationDateTime", ModifyCreationDateTime);
        if (ModifyCreationDateTime) {
            s.GetDate("ModifyCreationDate", CreationDate);
            s.GetTime("ModifyCreationTime", CreationTime);
        }
        s.GetFlag("ModifyModDateTime", ModifyModDateTime);
        if (ModifyModDateTime) {
            s.GetDate("ModifyModDate", ModDate);
            s.GetTime("ModifyModTime", ModTime);
        }
        s.GetFlag("ModifyLastAccessedDateTime", ModifyLastAccessedDateTime);
        if (ModifyLastAccessedDateTime) {
            s.GetDate("ModifyLastAccessedDate", LastAccessedDate);
            s.GetTime("ModifyLastAccessedTime", LastAccessedTime);
        }
    }
}

}  // namespace quorvan
