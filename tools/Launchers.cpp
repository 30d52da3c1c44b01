#include "tools/Launchers.h"

#include "framework/ToolWindow.h"
#include "tools/untCariImport.h"

#include <QPointer>

namespace kelvra {

namespace {

template <class W>
Launcher opens(W** reference)
{
    return [reference]() {
        // A fresh instance for every launch; it frees itself when it closes.
        QPointer<W> window = ToolWindow::create<W>(reference);
        window->exec();
    };
}

} // namespace

Launcher launcherFor(int buttonNumber)
{
    switch (buttonNumber) {
    case 3:
        return opens(&frmCariImport);
    default:
        return {};
    }
}

} // namespace kelvra
