#include "application.h"

int main(int argc, char* argv[]) { return moravik::ui::runApplication(argc, argv); }
