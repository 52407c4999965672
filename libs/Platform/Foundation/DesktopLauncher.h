#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform {

// Hands work to another desktop program (the opener, the mail client) the way the phone hands
// it to another app: start it and carry on. Nothing waits for the program; a thread of its own
// reaps it when it ends, so no zombie is left behind. Tests install a hook that receives the
// command lines instead, so nothing is started.
class DesktopLauncher {
 public:
  using Arguments = std::vector<std::string>;
  // Answers whether the program "started".
  using Hook = std::function<bool(const Arguments& argv)>;

  // Starts argv[0] (searched on PATH unless it holds a slash) with the rest as its arguments.
  // True when the program started; its exit status is never looked at.
  static bool launch(const Arguments& argv);
  // Whether `program` is an executable file: as given when it holds a slash, else on PATH.
  static bool isProgramOnPath(const std::string& program);
  // Whether launch() could start `program`: a hook is installed, or the program is on PATH.
  static bool canLaunch(const std::string& program);
  // Whether there is a graphical session (X11 or Wayland) for a program to show itself in.
  static bool hasDisplay();
  // Replaces starting programs; null restores it. Answers the hook it replaced.
  static Hook setHook(Hook hook);
};

}  // namespace platform
