// max2870-control: the MAX2870 control panel.

#include "app/control_app.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    max2870::SetUpApplication();
    max2870::ControlApp control;
    control.Start();
    return QApplication::exec();
}
