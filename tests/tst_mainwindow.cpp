#include "app/untMain.h"
#include "support/TestSupport.h"
#include "tools/untCariImport.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace kelvra;

class tst_MainWindow : public QObject
{
    Q_OBJECT
private slots:
    void windowAndPassword();
    void launcherButtons_data();
    void launcherButtons();
    void wrongPasswordOpensNothing_data();
    void wrongPasswordOpensNothing();
    void passwordOpensFreshModalWindowEachTime();
    void closeButtonClosesWithoutPassword();
};

namespace {

struct Launch
{
    QString title;
    bool mainDisabled = false;
    bool referenceSet = false;
    QPointer<QWidget> window;
};

// Clicks a launcher button; whatever modal window opens is noted and closed again.
Launch clickAndClose(TfrmMain& main, int button)
{
    Launch seen;
    QTimer::singleShot(0, [&]() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        seen.title = modal->windowTitle();
        seen.mainDisabled = !main.isEnabled();
        seen.referenceSet = frmCariImport == modal;
        seen.window = modal;
        modal->close();
    });
    QTest::mouseClick(main.button(button), Qt::LeftButton);
    QCoreApplication::processEvents();
    return seen;
}

} // namespace

void tst_MainWindow::windowAndPassword()
{
    TfrmMain main;
    QCOMPARE(frmMain, &main);
    QCOMPARE(main.windowTitle(), QString("Dumaks Kelvra"));
    QCOMPARE(main.size(), QSize(425, 634));
    QCOMPARE(main.minimumSize(), main.maximumSize());
    QVERIFY(!(main.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(main.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(main.sLabel1->text(), QString("Servis Şifresi"));
    QCOMPARE(main.sLabel1->pos(), QPoint(48, 32));
    QCOMPARE(main.edtPassword->geometry().topLeft(), QPoint(115, 29));
    QCOMPARE(main.edtPassword->width(), 78);
    QCOMPARE(main.edtPassword->echoMode(), QLineEdit::Password);
    QCOMPARE(main.edtPassword->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, main.edtPassword),
             int('*'));
    QVERIFY(main.edtPassword->text().isEmpty());

    // Tab order: the password, then the buttons in launcher order.
    const QList<int> order = {1, 7, 2, 8, 6, 3, 4, 5, 9, 10, 11, 12, 13, 14, 15, 16, 17};
    QWidget* at = main.edtPassword;
    for (int number : order) {
        at = at->nextInFocusChain();
        QCOMPARE(at->objectName(), QString("sBitBtn%1").arg(number));
    }
}

void tst_MainWindow::launcherButtons_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QPoint>("position");
    QTest::newRow("1") << 1 << "Stok Aktarımı" << QPoint(48, 65);
    QTest::newRow("2") << 2 << "Stok Devir Aktarımı" << QPoint(48, 191);
    QTest::newRow("3") << 3 << "Cari Aktarımı" << QPoint(224, 65);
    QTest::newRow("4") << 4 << "Cari Devir Aktarımı" << QPoint(224, 191);
    QTest::newRow("5") << 5 << "Kapat" << QPoint(224, 507);
    QTest::newRow("6") << 6 << "Stok Silme İşlemi" << QPoint(48, 318);
    QTest::newRow("7") << 7 << "Stok Fiyat Aktarımı" << QPoint(48, 128);
    QTest::newRow("8") << 8 << "Stok İsim ve/veya Barkod Güncelleme" << QPoint(48, 254);
    QTest::newRow("9") << 9 << "Kredi Kartları Aktarımı" << QPoint(224, 317);
    QTest::newRow("10") << 10 << "Firma Kodları Aktarımı" << QPoint(224, 380);
    QTest::newRow("11") << 11 << "Cari Silme İşlemi" << QPoint(48, 381);
    QTest::newRow("12") << 12 << "PluNo Güncelleme İşlemi" << QPoint(264, 540);
    QTest::newRow("13") << 13 << "Cari Plaka Aktarımı" << QPoint(224, 254);
    QTest::newRow("14") << 14 << "Hesap Planı Aktarımı" << QPoint(224, 444);
    QTest::newRow("15") << 15 << "Gramaj Güncelleme" << QPoint(48, 444);
    QTest::newRow("16") << 16 << "Menşei Güncelleme" << QPoint(48, 507);
    QTest::newRow("17") << 17 << "Model ve Stok Aktarımı" << QPoint(224, 128);
}

void tst_MainWindow::launcherButtons()
{
    QFETCH(int, number);
    QFETCH(QString, caption);
    QFETCH(QPoint, position);
    TfrmMain main;
    main.show();
    CaptionButton* b = main.findChild<CaptionButton*>(QString("sBitBtn%1").arg(number));
    QVERIFY(b);
    QCOMPARE(b->text(), caption);
    QCOMPARE(b->geometry(), QRect(position, QSize(145, 57)));
    QCOMPARE(b->isVisible(), number != 12);
}

void tst_MainWindow::wrongPasswordOpensNothing_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("empty") << "";
    QTest::newRow("trailing blank") << "40516273 ";
    QTest::newRow("leading blank") << " 40516273";
    QTest::newRow("one digit short") << "4051627";
    QTest::newRow("other digits") << "40516274";
}

void tst_MainWindow::wrongPasswordOpensNothing()
{
    QFETCH(QString, password);
    test::TempFolder folder;
    test::ScriptedBoxes boxes;
    TfrmMain main;
    main.show();
    QTest::keyClicks(main.edtPassword, password);
    main.edtPassword->setFocus();
    const Launch seen = clickAndClose(main, 3);
    QVERIFY(seen.title.isEmpty());
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(main.edtPassword->text(), password);
    QVERIFY(main.isVisible());
}

void tst_MainWindow::passwordOpensFreshModalWindowEachTime()
{
    test::TempFolder folder;
    TfrmMain main;
    main.show();
    QTest::keyClicks(main.edtPassword, "40516273");
    const Launch first = clickAndClose(main, 3);
    QCOMPARE(first.title, QString("Cari Aktarımı"));
    QVERIFY(first.mainDisabled);
    QVERIFY(first.referenceSet);
    QTRY_VERIFY(first.window.isNull());
    QCOMPARE(frmCariImport, nullptr);
    QVERIFY(main.isEnabled());
    QCOMPARE(main.edtPassword->text(), QString("40516273"));

    const Launch second = clickAndClose(main, 3);
    QCOMPARE(second.title, QString("Cari Aktarımı"));
    QTRY_VERIFY(second.window.isNull());
}

void tst_MainWindow::closeButtonClosesWithoutPassword()
{
    auto* main = new TfrmMain();
    QPointer<TfrmMain> guard = main;
    main->show();
    QTest::mouseClick(main->button(5), Qt::LeftButton);
    QVERIFY(!main->isVisible());
    QCOMPARE(frmMain, nullptr);
    QTRY_VERIFY(guard.isNull());
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
