#pragma once

// The main window: the service password and one launcher button per tool window.

#include "framework/Controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <array>
#include <functional>

namespace kelvra {

// The program's font (Tahoma 8 pt, or the platform's sans-serif at the same size where Tahoma is missing) and
// Qt's own texts (Evet, Hayır, Tamam, İptal, the edits' menus) in Turkish, whatever the system's language.
void applyProgramLook();

class TfrmMain : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    static const QString servicePassword;

    QLabel* sLabel1 = nullptr;
    QLineEdit* edtPassword = nullptr;
    // sBitBtn1 ... sBitBtn17 at index 0 ... 16.
    std::array<CaptionButton*, 17> buttons{};
    CaptionButton* button(int number) const { return buttons[number - 1]; }

    // The launch operation of a tool button: opens its window modally when the password matches exactly.
    void launch(int buttonNumber);
    void sBitBtn5Click();

protected:
    void closeEvent(QCloseEvent* event) override;
};

// The program-wide reference to the main window while it exists.
extern TfrmMain* frmMain;

} // namespace kelvra
