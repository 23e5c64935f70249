// Main of the test programs that run offscreen.
#include "RunTests.h"

int main(int argc, char** argv)
{
    return RunTests(argc, argv, false);
}
