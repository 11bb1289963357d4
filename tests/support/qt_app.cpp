#include "qt_app.h"

#include <QCoreApplication>

void EnsureQtApp() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "norvane-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}
