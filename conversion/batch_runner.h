#pragma once
// Converts the files of a batch, several at once, from the window's thread.
#include "conversion/batch_plan.h"
#include "conversion/conversion_view.h"
#include "conversion/tool_deployment.h"

// What a batch needs of the window on top of what one conversion needs.
class batch_view : public conversion_view {
public:
    virtual void show_window_caption(const Text& caption) = 0;

protected:
    ~batch_view() = default;
};

struct batch_outcome {
    int converted = 0;
    std::vector<batch_failure> failures;
    // The window was closed: the running tools were ended and their files removed.
    bool cancelled = false;
};

// One conversion for every processor this process may use, at most four.
int parallel_conversions();

// Runs up to `parallel` conversions side by side. The bar and the label follow
// the oldest running file, the caption tells its place in the plan.
batch_outcome run_batch(const std::vector<batch_item>& items, const tool_paths& tools, batch_view& view, int parallel);
