#pragma once

#include <functional>

namespace kelvra {

// Opens a tool window modally and returns when it has closed.
using Launcher = std::function<void()>;

// The tool window that a launcher button of the main window opens; empty for a button without one.
Launcher launcherFor(int buttonNumber);

} // namespace kelvra
