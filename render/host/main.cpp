// The render host executable: draws the pages of one document for Cropmark, in a process of
// its own (see RenderHost).

#include "render/host/RenderHost.h"

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    int memoryLimitMb = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--memory-mb") == 0)
            memoryLimitMb = std::atoi(argv[i + 1]);
    }
    return RenderHost::run(memoryLimitMb);
}
