// Ctrl-C (SIGINT) and SIGTERM while a command saves files: the first signal sets a cancel
// flag that the build and the file writers check, so that they stop and remove their
// temporary files (files already put in place stay); a second signal ends the process at
// once. After the command, a process stopped so ends by the same signal, as a shell expects.
#pragma once

#include <atomic>

// Installs the handlers and gives the flag they set.
const std::atomic<bool>* cancelOnStopSignals();
// Ends the process by the signal that stopped it, if one did; otherwise returns.
void endByStopSignal();
