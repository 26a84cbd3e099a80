#include "render/host/ConfinementProbe.h"

#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ConfinementProbe {

int attempt(const char* call) {
    if (std::strcmp(call, "socket") == 0) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd >= 0)
            ::close(fd);
    } else if (std::strcmp(call, "exec") == 0) {
        ::execl("/bin/true", "true", nullptr);
    } else if (std::strcmp(call, "write-file") == 0) {
        const int fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
    } else if (std::strcmp(call, "fork") == 0) {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        if (child > 0)
            ::waitpid(child, nullptr, 0);
    } else {
        return 2;
    }
    return 0;
}

} // namespace ConfinementProbe
