#pragma once

// Gives the test process fresh HOME and XDG folders (no test touches the real user's files), and with `desktop` a
// private X desktop, before Qt is set up; then sets up the application object as the program does and runs every
// test. Its result is the test program's exit code.
int RunTests(int argc, char** argv, bool desktop);
