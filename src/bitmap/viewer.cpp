// Hands a file to the desktop's viewer: xdg-open with the name as its one argument, no shell,
// detached from the console and never waited for.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bitmap/bitmap.h"

extern char** environ;

namespace pixamorph {

namespace {

// Runs in the short-lived middle child: starts the viewer in a session of its own with its
// standard streams on /dev/null and the default signal handling the program changed.
[[noreturn]] void spawnViewer(const std::string& argument) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGXFSZ);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF);
  std::string program = "xdg-open";
  char* argv[] = {program.data(), const_cast<char*>(argument.c_str()), nullptr};
  pid_t viewer;
  int failed = posix_spawnp(&viewer, program.c_str(), &actions, &attributes, argv, environ);
  _exit(failed == 0 ? 0 : 1);
}

}  // namespace

// The viewer is started from a middle child that exits at once, so the viewer is adopted by
// init and leaves no zombie behind however long it runs.
void openInViewer(const std::string& name) {
  std::string argument = !name.empty() && name[0] == '-' ? "./" + name : name;
  pid_t middle = fork();
  if (middle < 0) return;
  if (middle == 0) spawnViewer(argument);
  int status;
  while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace pixamorph
