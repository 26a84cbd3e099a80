#include "cli/OrderedJobs.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace OrderedJobs {

void run(int count, int jobs, const Work& work, const Report& report) {
    std::vector<std::optional<FileOutcome>> done(static_cast<size_t>(count));
    std::atomic<int> next = 0;
    std::mutex mutex;
    int reported = 0;
    auto worker = [&] {
        for (int index = next++; index < count; index = next++) {
            FileOutcome outcome = work(index);
            std::lock_guard lock(mutex);
            done[static_cast<size_t>(index)] = std::move(outcome);
            for (; reported < count && done[static_cast<size_t>(reported)]; ++reported) {
                report(reported, *done[static_cast<size_t>(reported)]);
                done[static_cast<size_t>(reported)].reset();
            }
        }
    };
    std::vector<std::jthread> threads;
    for (int i = 0; i < std::min(jobs, count); ++i)
        threads.emplace_back(worker);
}

} // namespace OrderedJobs
