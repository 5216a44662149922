#include <QApplication>

#include "app/AppStartup.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    return zandrel::RunZandrel(application);
}
