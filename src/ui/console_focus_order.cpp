// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/console_focus_order.h"

#include "ui/color_button.h"
#include "ui/console_window.h"

#include <QEvent>
#include <QScrollBar>

namespace {

class FocusReturner : public QObject {
public:
    explicit FocusReturner(ConsoleWindow &window) : QObject(&window), window(window) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Sent before Qt moves the focus on.
        if (event->type() == QEvent::Hide && window.focusWidget() == watched)
            window.setFocus(Qt::OtherFocusReason);
        return false;
    }

private:
    ConsoleWindow &window;
};

} // namespace

std::vector<QWidget *> tabChain(const ConsoleWindow &window)
{
    std::vector<QWidget *> chain(window.portButtons.begin(), window.portButtons.end());
    chain.push_back(window.resetButton);
    for (const ConsoleWindow::SettingRow &row : window.settingRows)
        chain.push_back(row.editor);
    chain.push_back(window.storeButton);
    for (QWidget *bottom :
         {window.wiringButton, window.tablesButton, window.autoAdvanceButton,
          window.manualAdvanceButton, window.retardButton, window.advanceButton})
        chain.push_back(bottom);
    return chain;
}

void orderConsoleFocus(ConsoleWindow &window)
{
    const std::vector<QWidget *> chain = tabChain(window);
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);

    auto *returner = new FocusReturner(window);
    for (ColorButton *hidden : window.portButtons)
        hidden->installEventFilter(returner);
    window.wiringButton->installEventFilter(returner);
    window.resetButton->installEventFilter(returner);
}
