#include "rules/template_names.h"

#include <sys/stat.h>

#include "common/path.h"
#include "rules/sequence_order.h"

namespace quorvan {

bool ComputeTemplateNames(const NameTemplate& nameTemplate,
                          const std::vector<CRenamePlan::Entry>& entries,
                          const std::vector<int64_t>& counters, CMetadataCache& cache,
                          TemplateNames& out, const std::atomic<bool>* cancel,
                          const std::function<void(size_t)>& progress) {
    out.names.assign(entries.size(), std::string());
    out.missing.assign(entries.size(), std::string());
    std::vector<std::string> paths;
    if (nameTemplate.needs != kNeedNone) {
        paths.reserve(entries.size());
        for (const CRenamePlan::Entry& entry : entries) {
            paths.push_back(entry.first);
        }
        if (!ReadAllMetadata(paths, nameTemplate.needs, cache, cancel, progress)) {
            return false;
        }
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        if (cancel != nullptr && (i & 1023) == 0 && cancel->load(std::memory_order_relaxed)) {
            return false;
        }
        const std::string& source = entries[i].first;
        const std::string_view name = NameOf(source);
        std::string_view ext = ExtensionOf(name);
        std::string_view base = name.substr(0, name.size() - ext.size());
        if (!ext.empty()) {
            ext.remove_prefix(1);
        }
        const std::string_view parent = NameOf(FolderOf(source));

        FileMetadata values;
        MetadataKey key;
        if (nameTemplate.needs != kNeedNone) {
            values = cache.Get(source, nameTemplate.needs, &key);
        } else if (nameTemplate.usesFileStatus) {
            struct stat st {};
            if (stat(source.c_str(), &st) == 0) {
                key.size = st.st_size;
                key.mtimeSec = st.st_mtim.tv_sec;
            }
        }
        TemplateFile file{base,     ext,          parent, i < counters.size() ? counters[i] : 0,
                          key.size, key.mtimeSec, &values};
        ExpandNameTemplate(nameTemplate, file, out.names[i], out.missing[i]);
    }
    return true;
}

std::vector<int64_t> TemplateCounters(const std::vector<CRenamePlan::Entry>& entries,
                                      const RenameSettings& settings) {
    const MoreRuleSettings& m = settings.More;
    std::vector<int64_t> counters(entries.size());
    std::vector<size_t> order;
    if (m.Order != SequenceOrder::Path || m.SequencePerFolder) {
        order = NumberingOrder(entries, m);
    } else {
        order.resize(entries.size());
        for (size_t i = 0; i < order.size(); ++i) {
            order[i] = i;
        }
    }
    const int64_t start = settings.StartWith;
    const int64_t step = m.SequenceStep == 0 ? 1 : m.SequenceStep;
    int64_t counter = start;
    std::string_view folder;
    for (size_t k = 0; k < order.size(); ++k) {
        const std::string_view entryFolder = FolderOf(entries[order[k]].first);
        if (m.SequencePerFolder && k > 0 && entryFolder != folder) {
            counter = start;
        }
        folder = entryFolder;
        counters[order[k]] = counter;
        counter += step;
    }
    return counters;
}

std::string NameTemplateError(const RenameSettings& settings) {
    MoreRuleSettings only;
    only.UseTemplate = settings.More.UseTemplate;
    only.Template = settings.More.Template;
    return MoreRulesError(only);
}

CMetadataCache& ProgramMetadataCache() {
    static CMetadataCache cache;
    return cache;
}

}  // namespace quorvan
