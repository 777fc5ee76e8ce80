// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_options.h"

#include <QCommandLineParser>

namespace {

struct QtOption {
    const char *name;
    const char *valueName;   // nullptr for a switch
    const char *description;
};

// Qt's own list (--help-all of a QApplication), plus QApplication's style
// options and the X11 plugin's aliases, which Qt accepts but does not list.
constexpr QtOption qtOptions[] = {
    {"platform", "platformName[:options]", "QPA plugin, for example offscreen, xcb or wayland."},
    {"platformpluginpath", "path", "Path to the platform plugins."},
    {"platformtheme", "theme", "Platform theme."},
    {"plugin", "plugin", "Additional plugin to load; repeatable."},
    {"qwindowgeometry", "geometry", "Main window geometry in X11 syntax, like 100x100+50+50."},
    {"qwindowicon", "icon", "Default window icon."},
    {"qwindowtitle", "title", "Title of the first window."},
    {"reverse", nullptr, "Lay the window out right to left."},
    {"session", "session", "Restore the application from an earlier session."},
    {"qmljsdebugger", "value", "QML/JS debugger, port:1234[,block]."},
    {"style", "style", "Widget style, for example fusion."},
    {"stylesheet", "file", "Style sheet for the application."},
    {"widgetcount", nullptr, "Print how many widgets were created and destroyed at exit."},
    {"testability", nullptr, "Load the testability plugin."},
    {"display", "display", "X11 display, overrides $DISPLAY."},
    {"name", "name", "X11 instance name."},
    {"visual", "id", "ID of the X11 visual to use."},
    {"nograb", nullptr, "X11: never grab the mouse."},
    {"dograb", nullptr, "X11: grab the mouse even in a debugger."},
    {"geometry", "geometry", "X11 alias for -qwindowgeometry."},
    {"icon", "icon", "X11 alias for -qwindowicon."},
    {"title", "title", "X11 alias for -qwindowtitle."},
};

} // namespace

void declareQtOptions(QCommandLineParser &parser, bool listed)
{
    for (const QtOption &o : qtOptions) {
        QCommandLineOption option(QString::fromLatin1(o.name), QString::fromLatin1(o.description),
                                  o.valueName ? QString::fromLatin1(o.valueName) : QString());
        if (!listed)
            option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}
