// Process entry: sets up the console and runs one conversion dialogue.
#include <csignal>
#include <cstdio>

#include "dialogue/console.h"
#include "dialogue/dialogue.h"

int main() {
  // A file-size limit must show as a failed write, not kill the process mid-file.
  std::signal(SIGXFSZ, SIG_IGN);
  // A console that went away must not stop a conversion half way; the file is still written.
  std::signal(SIGPIPE, SIG_IGN);
  pixamorph::Console console(stdin, stdout, pixamorph::localeWantsCp932());
  return pixamorph::runDialogue(console);
}
