#pragma once

// Sets up the application object as the program does and runs every test of
// the program; its result is the test program's exit code.
int RunTests(int argc, char** argv);
