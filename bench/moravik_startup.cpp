// Moravik's own start-up, ending once the main window has been painted for the
// first time.
#include "application.h"
#include "first_paint.h"
#include "main_window.h"

int main(int argc, char* argv[]) {
    return moravik::ui::runApplication(argc, argv, [](moravik::ui::MainWindow& window) {
        moravik::bench::quitAfterFirstPaint(window);
    });
}
