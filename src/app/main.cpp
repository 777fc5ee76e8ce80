#include "app/command_line.h"
#include "app/first_frame.h"
#include "link/qt_serial_port.h"
#include "ui/dashform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Options first, so --help and mistakes are answered without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine options = parseCommandLine(arguments);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("torvane-console"));

    // The program ends when the last window closes: the wiring picture may
    // outlive the main window.
    DashForm dashform(new QtSerialPort(options.ports));
    if (options.exitAfterFirstFrame)
        quitAfterFirstFrame(&dashform);
    dashform.show();

    const QList<void (DashForm::*)()> portButtons{&DashForm::com1_Click, &DashForm::com2_Click,
                                                  &DashForm::com3_Click, &DashForm::com4_Click};
    if (options.connectPort != 0)
        (dashform.*portButtons[options.connectPort - 1])();
    return app.exec();
}
