#pragma once

#include "cli/FileOutcome.h"

#include <functional>

// Runs work for every index from 0 to count - 1, up to jobs at a time on threads of their own,
// and hands each outcome to report in index order, as soon as it and every one before it are
// there, so what is printed does not depend on how many jobs ran. report runs on one thread at
// a time. Returns when all are reported.
namespace OrderedJobs {

using Work = std::function<FileOutcome(int index)>;
using Report = std::function<void(int index, const FileOutcome& outcome)>;

void run(int count, int jobs, const Work& work, const Report& report);

} // namespace OrderedJobs
