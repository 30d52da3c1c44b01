#include "tools/Launchers.h"

#include "framework/ToolWindow.h"
#include "tools/untCariDevirImport.h"
#include "tools/untCariImport.h"
#include "tools/untModelImport.h"
#include "tools/untStokImport.h"
#include "tools/untCariPlakaImport.h"
#include "tools/untCariSil.h"
#include "tools/untHesapPlaniImport.h"
#include "tools/untKrediKartImport.h"
#include "tools/untStokFirmaKod.h"
#include "tools/untStokDevirImport.h"
#include "tools/untStokFiyatImport.h"
#include "tools/untStokGramajImport.h"
#include "tools/untStokMenseiImport.h"
#include "tools/untStokPluImport.h"
#include "tools/untStokSil.h"
#include "tools/untStokisim.h"

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
    case 1:
        return opens(&frmStokImport);
    case 17:
        return opens(&frmModelImport);
    case 2:
        return opens(&frmStokDevirImport);
    case 4:
        return opens(&frmCariDevirImport);
    case 7:
        return opens(&frmStokFiyatImport);
    case 12:
        return opens(&frmStokPluImport);
    case 15:
        return opens(&frmStokGramajImport);
    case 16:
        return opens(&frmStokMenseiImport);
    case 3:
        return opens(&frmCariImport);
    case 6:
        return opens(&frmStokSil);
    case 8:
        return opens(&frmStokisim);
    case 9:
        return opens(&frmKrediKartImport);
    case 10:
        return opens(&frmStokFirmaKod);
    case 11:
        return opens(&frmCariSil);
    case 13:
        return opens(&frmCariPlakaImport);
    case 14:
        return opens(&frmHesapPlaniImport);
    default:
        return {};
    }
}

} // namespace kelvra
