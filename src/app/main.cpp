#include "app/command_line.h"
#include "link/qt_serial_port.h"
#include "ui/dashform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("torvane-console"));
    const CommandLine options = parseCommandLine(QApplication::arguments());

    // The program ends when the last window closes: the wiring picture may
    // outlive the main window.
    DashForm dashform(new QtSerialPort(options.ports));
    dashform.show();
    return app.exec();
}
