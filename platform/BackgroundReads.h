#pragma once

#include <functional>

// Reading files on threads that nothing ever waits for.
//
// Reading a file can block for as long as the file system likes (a stalled network mount, a
// disk that stopped answering), and no thread of a pool may be given to such a read: the two
// threads of Qt's global pool would stay in it, every later file would wait behind it, and the
// application waits for that pool as it ends, so quitting would never finish. Each read here
// runs on a thread of its own that is left behind if it never returns.
//
// Two reads run at a time, so that twenty files dropped at once are read a few at a time; a
// read still running after a few seconds no longer counts, so the next one starts anyway.
//
// Call start on the GUI thread, which needs its event loop for the answers.
namespace BackgroundReads {

// Runs read on a thread of its own. What it returns runs afterwards on the GUI thread, unless
// the application has ended by then; it may be empty.
void start(std::function<std::function<void()>()> read);

} // namespace BackgroundReads
