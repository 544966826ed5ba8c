// vexamo_demobank <sourceFolder> <dataFolder>: builds the demo question bank from its text
// sources into a data folder that holds no catalogue yet.
#include "DemoBank.h"

#include <iostream>

int main(int argc, char** argv) {
    return vexamo::demo::RunDemoBankBuilder(argc, argv, std::cout, std::cerr);
}
