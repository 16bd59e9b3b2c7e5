// A run of the window programs, kept off the window's thread: the thread
// that shows the windows waits for it without handling any input, as a run
// inside a click handler does, but paints, so that the log shows each entry
// while a step waits, up to 15 s, for the server. Qt here, Win32 in windows/.
#pragma once

#include <functional>

namespace tessaldrin::toolkit {

// Runs `work` on a thread of its own and returns once it has ended,
// rethrowing whatever it threw. Meanwhile this thread, the windows' thread,
// handles no user input; it paints the windows and carries out what `work`
// hands it to do there (the entries of the run log).
void RunRepainting(const std::function<void()>& work);

} // namespace tessaldrin::toolkit
