#include "app/untMain.h"

#include "framework/ToolWindow.h"
#include "tools/Launchers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QProxyStyle>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>

namespace kelvra {

void applyProgramLook()
{
    QFont font = QFontDatabase::families().contains(QStringLiteral("Tahoma"))
                     ? QFont(QStringLiteral("Tahoma"))
                     : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(8);
    QApplication::setFont(font);
    static QTranslator qtTexts;
    if (qtTexts.isEmpty() &&
        qtTexts.load(QStringLiteral("qtbase_tr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
}

TfrmMain* frmMain = nullptr;

const QString TfrmMain::servicePassword = QStringLiteral("40516273");

namespace {

// What is typed in the password edit shows as "*".
class StarPasswordStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

struct LauncherButton
{
    int number;
    const char* caption;
    int left;
    int top;
};

// In tab order.
constexpr LauncherButton launcherButtons[] = {
    {1, "Stok Aktarımı", 48, 65},
    {7, "Stok Fiyat Aktarımı", 48, 128},
    {2, "Stok Devir Aktarımı", 48, 191},
    {8, "Stok İsim ve/veya Barkod Güncelleme", 48, 254},
    {6, "Stok Silme İşlemi", 48, 318},
    {3, "Cari Aktarımı", 224, 65},
    {4, "Cari Devir Aktarımı", 224, 191},
    {5, "Kapat", 224, 507},
    {9, "Kredi Kartları Aktarımı", 224, 317},
    {10, "Firma Kodları Aktarımı", 224, 380},
    {11, "Cari Silme İşlemi", 48, 381},
    {12, "PluNo Güncelleme İşlemi", 264, 540},
    {13, "Cari Plaka Aktarımı", 224, 254},
    {14, "Hesap Planı Aktarımı", 224, 444},
    {15, "Gramaj Güncelleme", 48, 444},
    {16, "Menşei Güncelleme", 48, 507},
    {17, "Model ve Stok Aktarımı", 224, 128},
};

} // namespace

TfrmMain::TfrmMain(QWidget* parent) : QWidget(parent)
{
    frmMain = this;
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Dumaks Kelvra"));
    // A narrow title bar with a close button only; the window cannot be resized, minimised or maximised.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(425, 634);

    sLabel1 = new QLabel(QStringLiteral("Servis Şifresi"), this);
    sLabel1->setObjectName(QStringLiteral("sLabel1"));
    sLabel1->move(48, 32);
    sLabel1->adjustSize();

    edtPassword = new QLineEdit(this);
    edtPassword->setObjectName(QStringLiteral("edtPassword"));
    edtPassword->setEchoMode(QLineEdit::Password);
    auto* style = new StarPasswordStyle();
    style->setParent(edtPassword);
    edtPassword->setStyle(style);
    edtPassword->setStyleSheet(QStringLiteral("background: white;"));
    edtPassword->setGeometry(115, 29, 78, 21);
    sLabel1->setBuddy(edtPassword);

    QWidget* previous = edtPassword;
    for (const LauncherButton& b : launcherButtons) {
        auto* button = new CaptionButton(QString::fromUtf8(b.caption), this);
        button->setObjectName(QStringLiteral("sBitBtn%1").arg(b.number));
        button->setGeometry(b.left, b.top, 145, 57);
        button->setAutoDefault(false);
        buttons[b.number - 1] = button;
        QWidget::setTabOrder(previous, button);
        previous = button;
        const int number = b.number;
        if (number == 5)
            connect(button, &QPushButton::clicked, this, &TfrmMain::sBitBtn5Click);
        else
            connect(button, &QPushButton::clicked, this, [this, number]() { launch(number); });
    }
    // The stock PLU update is reachable only from code.
    button(12)->setVisible(false);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TfrmMain::~TfrmMain()
{
    if (frmMain == this)
        frmMain = nullptr;
}

void TfrmMain::launch(int buttonNumber)
{
    // Exact equality: same length, same characters, letter case significant, nothing trimmed.
    if (edtPassword->text() != servicePassword)
        return;
    const Launcher open = launcherFor(buttonNumber);
    if (!open)
        return;
    setEnabled(false);
    open();
    setEnabled(true);
}

void TfrmMain::sBitBtn5Click() { close(); }

void TfrmMain::closeEvent(QCloseEvent* event)
{
    frmMain = nullptr;
    setAttribute(Qt::WA_DeleteOnClose);
    event->accept();
}

} // namespace kelvra
