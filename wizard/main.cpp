// main.cpp - plinthor: runs the wizard and ends.
#include <QApplication>

#include "runtime/qt/qt_runtime.hpp"
#include "wizard_procedure.hpp"

int main(int, char** argv) {
    // The program reads no command line; the toolkit is not given one to parse either.
    int argc = 1;
    char* args[] = {argv[0], nullptr};
    QApplication application(argc, args);
    ui::qt::QtRuntime runtime;
    return plinthor::runWizard(runtime);
}
