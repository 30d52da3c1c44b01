// Every tool window as the main window opens it: its edits named after their labels for screen readers, its
// standard buttons in Turkish, and a picture of it for the record (screenshots/ beside the test).

#include "app/untMain.h"
#include "support/TestSupport.h"
#include "tools/Launchers.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace kelvra;

class tst_Accessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void editsAreNamedAfterTheirLabels_data();
    void editsAreNamedAfterTheirLabels();
    void standardButtonsAreTurkish();

private:
    QString m_shots;
};

void tst_Accessibility::initTestCase()
{
    // As the program does at start.
    applyProgramLook();
    m_shots = QDir::currentPath() + QStringLiteral("/screenshots");
    QDir().mkpath(m_shots);
}

void tst_Accessibility::editsAreNamedAfterTheirLabels_data()
{
    QTest::addColumn<int>("button");
    for (int n = 1; n <= 17; ++n)
        if (launcherFor(n))
            QTest::newRow(qPrintable(QStringLiteral("sBitBtn%1").arg(n))) << n;
}

void tst_Accessibility::editsAreNamedAfterTheirLabels()
{
    QFETCH(int, button);
    test::TempFolder folder;
    test::ScriptedBoxes boxes;
    TfrmMain main;
    main.show();
    QTest::keyClicks(main.edtPassword, QStringLiteral("40516273"));
    QStringList unnamed;
    QString title;
    QTimer::singleShot(0, [&]() {
        QWidget* window = QApplication::activeModalWidget();
        if (!window)
            return;
        title = window->windowTitle();
        window->grab().save(m_shots + QStringLiteral("/%1.png").arg(window->objectName()));
        const auto widgets = window->findChildren<QWidget*>();
        for (QWidget* w : widgets) {
            const bool named = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                               qobject_cast<QDateEdit*>(w);
            // The edit inside a combo box or date edit speaks for its owner.
            if (!named || !w->isVisibleTo(window) || qobject_cast<QComboBox*>(w->parentWidget()) ||
                qobject_cast<QDateEdit*>(w->parentWidget()))
                continue;
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
            if (!iface || iface->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << w->objectName();
        }
        window->close();
    });
    QTest::mouseClick(main.button(button), Qt::LeftButton);
    QVERIFY2(!title.isEmpty(), "no tool window opened");
    QVERIFY2(unnamed.isEmpty(), qPrintable(title + QStringLiteral(": ") + unnamed.join(QStringLiteral(", "))));
    main.grab().save(m_shots + QStringLiteral("/frmMain.png"));
}

void tst_Accessibility::standardButtonsAreTurkish()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Vardel"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Evet"));
    QCOMPARE(box.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Hayır"));
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
