#include "app/startup.h"

int main(int argc, char* argv[]) {
    return RunTourwise(argc, argv);
}
