#pragma once

// Makes one of the system calls a confined render host may not make, so that a test can see
// the host end for it (cropmark-render --probe CALL). The program never asks for it, and it is
// harmless where it is let through: the socket is closed unused, the program run is
// /bin/true, the file opened for writing is /dev/null and the child process ends at once.
namespace ConfinementProbe {

// call: "socket", "exec", "write-file" or "fork". Returns the host's exit status: 0 when the
// call was let through, whatever came of it; 2 for a call it does not know.
int attempt(const char* call);

} // namespace ConfinementProbe
