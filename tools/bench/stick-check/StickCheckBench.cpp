// Checks the stick whose root is given and prints the verdict and the seconds
// the check took. run-stick-check-bench.sh compares it with md5sum -c.
#include "StickVerifier.h"

#include <QCoreApplication>

#include <chrono>
#include <iostream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Dravo");
    QCoreApplication::setApplicationName("Tessaly");
    if (argc != 2) {
        std::cerr << "usage: stick-check-bench STICK_ROOT\n";
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const UsbInfo::State state = StickVerifier::Check(argv[1]);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::cout << state << " " << took.count() << "\n";
    return state == UsbInfo::ValidMetadata ? 0 : 1;
}
