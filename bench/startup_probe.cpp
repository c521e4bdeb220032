// The program itself, ended right after its first complete paint of the Calendar page: a whole
// run measures process start to the first picture on screen.
#include "app/mainform.h"
#include "app/startup.h"
#include "bench/firstpaintquit.h"

int main(int argc, char* argv[]) {
    return RunTourwise(argc, argv, [](TMainForm& window) { new QuitAfterFirstPaint(&window); });
}
