#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "metadata/metadata_cache.h"
#include "rules/name_template.h"
#include "rules/rename_plan.h"

namespace quorvan {

// The base names a template gives a plan's files, before the other rules.
struct TemplateNames {
    std::vector<std::string> names;    // per plan entry; may hold "/" (folders)
    std::vector<std::string> missing;  // per plan entry: why it has no name, or empty
};

// Expands `nameTemplate` for every entry, reading only the metadata its tokens
// need (through `cache`, on every core). `counters` gives each entry's {n}
// (empty when the template has no counter). A set `cancel` stops early: false.
bool ComputeTemplateNames(const NameTemplate& nameTemplate,
                          const std::vector<CRenamePlan::Entry>& entries,
                          const std::vector<int64_t>& counters, CMetadataCache& cache,
                          TemplateNames& out, const std::atomic<bool>* cancel = nullptr,
                          const std::function<void(size_t)>& progress = {});

// Each entry's {n}: from the sequence start by the step, in the numbering
// order of the More Rules page, restarting per folder when asked.
std::vector<int64_t> TemplateCounters(const std::vector<CRenamePlan::Entry>& entries,
                                      const RenameSettings& settings);

// Why the settings' template cannot be used, in one line for the user, or
// empty when it can (or is off).
std::string NameTemplateError(const RenameSettings& settings);

// One cache for the whole program: its keys (device, inode, size, time)
// keep it right while files change, so it lives as long as the program.
CMetadataCache& ProgramMetadataCache();

}  // namespace quorvan
