#pragma once
// "转换" for every kind of input: one file as it always was, a folder or several
// paths as a batch.
#include "conversion/batch_runner.h"

// The summary box of a batch; the failure list is written beside the MP3s when
// something failed.
void convert_files_clicked(batch_view& view);
