// Main of the test programs that need a real desktop.
#include "RunTests.h"

int main(int argc, char** argv)
{
    return RunTests(argc, argv, true);
}
