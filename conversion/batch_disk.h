#pragma once
// The disk as the batch planner sees it, through the system's file calls.
#include "conversion/batch_plan.h"

class windows_disk final : public disk_view {
public:
    bool is_folder(const Text& path) const override;
    bool exists(const Text& path) const override;
    std::vector<folder_entry> list_folder(const Text& folder) const override;
    Text read_head(const Text& path, int count) const override;
};
