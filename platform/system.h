#pragma once
// Small operating-system services the programs expect.

#include <string>

#include "platform/status.h"

namespace platform {

// The per-user data folder with a trailing "/": $XDG_DATA_HOME/ or $HOME/.local/share/; ""
// when neither is set.
std::string dataFolder();

// Opens a file with its associated program (xdg-open); an executable file is run directly.
Status openWithAssociatedProgram(const std::string& path);

enum class ThreadPriority { BelowNormal, Normal, AboveNormal };
// Applies to the calling thread; failure to change it is not an error worth stopping for.
void setCurrentThreadPriority(ThreadPriority priority);

}  // namespace platform
