// A second start for the single-instance tests, run as a separate process:
//   single_instance_sender <server name> <timeout ms> [parameters...]
// Exit code 0 when a running instance took the parameters, 1 when it would run as the first.
#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: single_instance_sender <server name> <timeout ms> [parameters...]\n");
        return 2;
    }
    vexamo::SingleInstance guard(arguments.at(1));
    const int timeoutMs = arguments.at(2).toInt();
    return guard.HandOver(arguments.mid(3), timeoutMs) ? 0 : 1;
}
