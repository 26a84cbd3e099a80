// The render host executable: draws the pages of one document for Cropmark, in a process of
// its own (see RenderHost).

#include "render/host/RenderHost.h"

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    int memoryLimitMb = 0;
    RenderHost::Task task = RenderHost::Task::Draw;
    const char* probe = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--memory-mb") == 0 && i + 1 < argc)
            memoryLimitMb = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--read-pages") == 0)
            task = RenderHost::Task::ReadPages;
        else if (std::strcmp(argv[i], "--read-first-page") == 0)
            task = RenderHost::Task::ReadFirstPage;
        else if (std::strcmp(argv[i], "--save") == 0)
            task = RenderHost::Task::Save;
        else if (std::strcmp(argv[i], "--read-pages-and-save") == 0)
            task = RenderHost::Task::ReadPagesAndSave;
        else if (std::strcmp(argv[i], "--rewrite") == 0)
            task = RenderHost::Task::Rewrite;
        else if (std::strcmp(argv[i], "--repair") == 0)
            task = RenderHost::Task::Repair;
        else if (std::strcmp(argv[i], "--probe") == 0 && i + 1 < argc)
            probe = argv[++i];
    }
    return RenderHost::run(task, memoryLimitMb, probe);
}
