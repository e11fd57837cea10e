#include "rules/rename_rules.h"
#include "rules/settings_keys.h"

namespace quorvan {

bool CRenameRules::SaveSettings(const std::string& path, const std::string& sourceFolder) {
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
        ApplyToPages(settings_.SourcePath);
    }
    sourcePath = settings_.SourcePath;
    return ok;
}

void CRenameRules::WriteSettingsKeys() {
    quorvan::WriteSettingsKeys(settings_, store_);
}

void CRenameRules::ReadSettingsKeys() {
    quorvan::ReadSettingsKeys(store_, settings_);
}

}  // namespace quorvan
