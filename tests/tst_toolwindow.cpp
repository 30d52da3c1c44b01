#include "db/ConnectionEditor.h"
#include "framework/untGeneral.h"
#include "support/TestSupport.h"
#include "tools/untCariImport.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QLocale>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>

using namespace kelvra;

class tst_ToolWindow : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey)); }

    void controlsOfTheReferenceWindow_data();
    void controlsOfTheReferenceWindow();
    void captionsAndTabOrder();
    void firstStartShowsLocaleSeparators_data();
    void firstStartShowsLocaleSeparators();
    void settingsAndLayoutFileLoaded();
    void blankGroupingSymbolReadsBackAsLocaleSeparator();
    void unreadableLayoutFileShowsErrorAndEmptyList();
    void moveButtons_data();
    void moveButtons();
    void headerClickTogglesAllCheckMarks();
    void onlyTheCaptionIsEditedInPlace();
    void logTimestamp_data();
    void logTimestamp();
    void addLogScrollsToTheEnd();
    void closeFreesWindowAndClearsReference();
    void connectionStringButtonOpensTheEditor_data();
    void connectionStringButtonOpensTheEditor();
};

static TfrmCariImport* openWindow() { return ToolWindow::create<TfrmCariImport>(&frmCariImport); }

void tst_ToolWindow::controlsOfTheReferenceWindow_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("edtConnStr") << "edtConnStr" << QRect(89, 2, 207, 21);
    QTest::newRow("edtFileName") << "edtFileName" << QRect(89, 25, 207, 21);
    QTest::newRow("edtUserCode") << "edtUserCode" << QRect(89, 49, 141, 21);
    QTest::newRow("edtOndalik") << "edtOndalik" << QRect(89, 74, 40, 21);
    QTest::newRow("edtBasamak") << "edtBasamak" << QRect(256, 74, 40, 21);
    QTest::newRow("lblInfo") << "lblInfo" << QRect(8, 104, 288, 13);
    QTest::newRow("lstFields") << "lstFields" << QRect(8, 121, 249, 420);
    QTest::newRow("btnUp") << "btnUp" << QRect(257, 120, 40, 210);
    QTest::newRow("btnDown") << "btnDown" << QRect(257, 329, 40, 212);
    QTest::newRow("mMoLog") << "mMoLog" << QRect(8, 541, 289, 58);
    QTest::newRow("btnStart") << "btnStart" << QRect(8, 599, 137, 36);
    QTest::newRow("btnClose") << "btnClose" << QRect(159, 599, 137, 36);
    QTest::newRow("pBar") << "pBar" << QRect(0, 640, 299, 14);
}

void tst_ToolWindow::controlsOfTheReferenceWindow()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    test::TempFolder folder;
    QPointer<TfrmCariImport> w = openWindow();
    QCOMPARE(w->size(), QSize(299, 654));
    QWidget* control = w->findChild<QWidget*>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->geometry(), geometry);
    delete w;
}

void tst_ToolWindow::captionsAndTabOrder()
{
    test::TempFolder folder;
    std::unique_ptr<TfrmCariImport> w(openWindow());
    QCOMPARE(w->windowTitle(), QString("Cari Aktarımı"));
    QCOMPARE(w->btnStart->text(), QString("Cari Aktarımına Başla"));
    QCOMPARE(w->btnClose->text(), QString("Kapat"));
    QCOMPARE(w->btnUp->text(), QString("Yukarı\r\nTaşı"));
    QCOMPARE(w->btnDown->text(), QString("Aşağı\r\nTaşı"));
    QCOMPARE(w->sLabel6->text(), QString("Dosyadaki\r\nOndalık Simge"));
    QCOMPARE(w->sLabel7->text(), QString("Dosyadaki\r\nBasamak Simge"));
    QCOMPARE(w->sLabel4->text(), QString("Veri Tabanı"));
    QCOMPARE(w->sLabel3->text(), QString("Dosya Adı"));
    QCOMPARE(w->sLabel5->text(), QString("Kullanıcı Kodu"));
    for (QLabel* label : {w->sLabel3, w->sLabel4, w->sLabel5, w->sLabel6, w->sLabel7, w->lblInfo})
        QVERIFY2(label->font().bold(), qPrintable(label->objectName()));
    QCOMPARE(w->sLabel4->buddy(), w->edtConnStr);
    QCOMPARE(w->lstFields->headerItem()->text(0), QString("Açıklama"));
    QCOMPARE(w->lstFields->headerItem()->text(1), QString("Parametre"));
    QCOMPARE(w->lstFields->columnWidth(0), 120);
    QCOMPARE(w->lstFields->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(w->edtFileName->maxLength(), 255);
    QVERIFY(w->lblInfo->text().isEmpty());
    QVERIFY(w->mMoLog->toPlainText().isEmpty());

    const QStringList expected = {"edtConnStr", "edtFileName", "edtUserCode", "edtOndalik", "edtBasamak",
                                  "btnUp",      "btnDown",     "lstFields",   "btnStart",   "btnClose",
                                  "mMoLog"};
    QStringList chain;
    QWidget* at = w->edtConnStr;
    for (int i = 0; i < expected.size(); ++i) {
        chain << at->objectName();
        at = at->nextInFocusChain();
        while (at->focusPolicy() == Qt::NoFocus || at->objectName().isEmpty() || !expected.contains(at->objectName()))
            at = at->nextInFocusChain();
    }
    QCOMPARE(chain, expected);
}

void tst_ToolWindow::firstStartShowsLocaleSeparators_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<QString>("grouping");
    QTest::newRow("Turkish") << QLocale(QLocale::Turkish, QLocale::Turkey) << "," << ".";
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << "." << ",";
}

void tst_ToolWindow::firstStartShowsLocaleSeparators()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, decimal);
    QFETCH(QString, grouping);
    QLocale::setDefault(locale);
    test::TempFolder folder;
    std::unique_ptr<TfrmCariImport> w(openWindow());
    QVERIFY(w->edtConnStr->text().isEmpty());
    QVERIFY(w->edtUserCode->text().isEmpty());
    QVERIFY(w->edtFileName->text().isEmpty());
    QCOMPARE(w->edtOndalik->text(), decimal);
    QCOMPARE(w->edtBasamak->text(), grouping);
    const FieldLayout layout = w->fieldLayout();
    QCOMPARE(layout.size(), 25);
    QCOMPARE(layout[1], (LayoutItem{"CARİ KODU", "@CARIKODU", true}));
    QCOMPARE(layout[24], (LayoutItem{"TCKIMLIKNO", "@TCKIMLIKNO", false}));
}

void tst_ToolWindow::settingsAndLayoutFileLoaded()
{
    test::TempFolder folder;
    folder.write("Kelvra.ini", "[IMPORT]\r\nCONNSTR=Provider=SQLOLEDB.1;Data Source=SRV\r\nUSERCODE=TEKNIK\r\n"
                               "CARIFILENAME=C:\\cari.txt\r\nONDALIK=.\r\nBASAMAK=,\r\nSTOKFILENAME=other\r\n");
    folder.write("CARILIST.FMT", "KOD~@CARIKODU&1\r\nAD~@CARIADI&0\r\nBILINMEYEN~@YOK&1\r\n");
    std::unique_ptr<TfrmCariImport> w(openWindow());
    QCOMPARE(w->edtConnStr->text(), QString("Provider=SQLOLEDB.1;Data Source=SRV"));
    QCOMPARE(w->edtUserCode->text(), QString("TEKNIK"));
    QCOMPARE(w->edtFileName->text(), QString("C:\\cari.txt"));
    QCOMPARE(w->edtOndalik->text(), QString("."));
    QCOMPARE(w->edtBasamak->text(), QString(","));
    QCOMPARE(w->fieldLayout(), (FieldLayout{{"KOD", "@CARIKODU", true}, {"AD", "@CARIADI", false},
                                            {"BILINMEYEN", "@YOK", true}}));
}

void tst_ToolWindow::blankGroupingSymbolReadsBackAsLocaleSeparator()
{
    test::TempFolder folder;
    WriteSetting("IMPORT", "BASAMAK", " ");
    std::unique_ptr<TfrmCariImport> w(openWindow());
    QCOMPARE(w->edtBasamak->text(), QString("."));
}

void tst_ToolWindow::unreadableLayoutFileShowsErrorAndEmptyList()
{
    test::TempFolder folder;
    test::ScriptedBoxes boxes;
    QDir(folder.path()).mkdir("CARILIST.FMT"); // exists, but cannot be read as a file
    folder.write("Kelvra.ini", "[IMPORT]\r\nUSERCODE=U\r\n");
    std::unique_ptr<TfrmCariImport> w(openWindow());
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].kind, QString("error"));
    QVERIFY2(boxes.shown[0].text.contains(folder.file("CARILIST.FMT")), qPrintable(boxes.shown[0].text));
    QCOMPARE(w->lstFields->topLevelItemCount(), 0);
    QCOMPARE(w->edtUserCode->text(), QString("U"));
}

void tst_ToolWindow::moveButtons_data()
{
    QTest::addColumn<int>("selected"); // -1: none
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("order");
    QTest::addColumn<int>("selectedAfter");
    QTest::newRow("up from the middle") << 2 << "btnUp" << "ACBD" << 1;
    QTest::newRow("up from the first") << 0 << "btnUp" << "ABCD" << 0;
    QTest::newRow("up with nothing selected") << -1 << "btnUp" << "ABCD" << -1;
    QTest::newRow("down from the middle") << 1 << "btnDown" << "ACBD" << 2;
    QTest::newRow("down from the one before last") << 2 << "btnDown" << "ABDC" << 3;
    QTest::newRow("down from the last") << 3 << "btnDown" << "ABCD" << 3;
    QTest::newRow("down with nothing selected") << -1 << "btnDown" << "ABCD" << -1;
}

void tst_ToolWindow::moveButtons()
{
    QFETCH(int, selected);
    QFETCH(QString, button);
    QFETCH(QString, order);
    QFETCH(int, selectedAfter);
    test::TempFolder folder;
    std::unique_ptr<TfrmCariImport> w(openWindow());
    w->setFieldLayout({{"A", "@A", true}, {"B", "@B", false}, {"C", "@C", true}, {"D", "@D", false}});
    w->lstFields->clearSelection();
    if (selected >= 0)
        w->lstFields->topLevelItem(selected)->setSelected(true);
    QTest::mouseClick(w->findChild<QPushButton*>(button), Qt::LeftButton);
    QString got;
    for (const LayoutItem& item : w->fieldLayout()) {
        got += item.caption;
        QCOMPARE(item.parameter, "@" + item.caption);
        QCOMPARE(item.checked, item.caption == "A" || item.caption == "C");
    }
    QCOMPARE(got, order);
    const QList<QTreeWidgetItem*> now = w->lstFields->selectedItems();
    QCOMPARE(now.isEmpty() ? -1 : w->lstFields->indexOfTopLevelItem(now.first()), selectedAfter);
    if (got != "ABCD" || selected == 3)
        QCOMPARE(w->lstFields->currentItem(), now.first());
}

void tst_ToolWindow::headerClickTogglesAllCheckMarks()
{
    test::TempFolder folder;
    std::unique_ptr<TfrmCariImport> w(openWindow());
    QHeaderView* header = w->lstFields->header();
    auto checkedCount = [&w]() {
        int n = 0;
        for (const LayoutItem& item : w->fieldLayout())
            n += item.checked;
        return n;
    };
    QCOMPARE(checkedCount(), 4);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionPosition(1) + 5, 5));
    QCOMPARE(checkedCount(), 25);
    QCOMPARE(w->headerClickFlag(), 1);
    w->lstFields->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(checkedCount(), 0);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(checkedCount(), 25);
}

void tst_ToolWindow::onlyTheCaptionIsEditedInPlace()
{
    test::TempFolder folder;
    std::unique_ptr<TfrmCariImport> w(openWindow());
    w->show();
    QTreeWidgetItem* item = w->lstFields->topLevelItem(1);
    w->lstFields->editItem(item, 1);
    QVERIFY(!w->lstFields->findChild<QLineEdit*>());
    w->lstFields->editItem(item, 0);
    auto* editor = w->lstFields->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->setText("YENİ & BAŞLIK");
    w->lstFields->itemDelegate()->commitData(editor);
    w->lstFields->closePersistentEditor(item, 0);
    QCOMPARE(w->fieldLayout()[1], (LayoutItem{"YENİ & BAŞLIK", "@CARIKODU", true}));
}

void tst_ToolWindow::logTimestamp_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QString>("stamp");
    const QLocale tr(QLocale::Turkish, QLocale::Turkey);
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("Turkish") << tr << QDateTime(QDate(2020, 4, 27), QTime(14, 3, 27)) << "27.04.2020 14:03:27";
    QTest::newRow("Turkish after midnight") << tr << QDateTime(QDate(2020, 4, 27), QTime(0, 0, 1))
                                            << "27.04.2020 00:00:01";
    QTest::newRow("Turkish at midnight") << tr << QDateTime(QDate(2020, 4, 27), QTime(0, 0, 0)) << "27.04.2020";
    QTest::newRow("English") << en << QDateTime(QDate(2020, 4, 27), QTime(14, 3, 27)) << "4/27/2020 2:03:27 PM";
}

void tst_ToolWindow::logTimestamp()
{
    QFETCH(QLocale, locale);
    QFETCH(QDateTime, time);
    QFETCH(QString, stamp);
    QCOMPARE(kelvra::logTimestamp(time, locale), stamp);
}

void tst_ToolWindow::addLogScrollsToTheEnd()
{
    test::TempFolder folder;
    std::unique_ptr<TfrmCariImport> w(openWindow());
    w->show();
    for (int i = 0; i < 40; ++i)
        w->AddLog(QString("Satır %1").arg(i));
    const QStringList lines = w->mMoLog->toPlainText().split('\n');
    QCOMPARE(lines.size(), 40);
    QVERIFY2(lines.last().endsWith(" -> Satır 39"), qPrintable(lines.last()));
    QVERIFY(QRegularExpression("^\\d+\\.\\d\\d\\.\\d{4}( \\d\\d:\\d\\d:\\d\\d)? -> Satır 0$").match(lines.first()).hasMatch());
    QScrollBar* bar = w->mMoLog->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
}

void tst_ToolWindow::closeFreesWindowAndClearsReference()
{
    test::TempFolder folder;
    QPointer<TfrmCariImport> w = openWindow();
    QCOMPARE(frmCariImport, w.data());
    w->show();
    QTest::mouseClick(w->btnClose, Qt::LeftButton);
    QCOMPARE(frmCariImport, nullptr);
    QTRY_VERIFY(w.isNull());
    QVERIFY(!QFile::exists(folder.file("Kelvra.ini"))); // closing saves nothing
    QVERIFY(!QFile::exists(folder.file("CARILIST.FMT")));
}

void tst_ToolWindow::connectionStringButtonOpensTheEditor_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("expected");
    const QString initial = "Provider=SQLOLEDB.1;Password=gizli;User ID=sa;Initial Catalog=VARDEL;Data Source=ESKI";
    QTest::newRow("OK takes the edited string, password included")
        << true << "Provider=SQLOLEDB.1;Password=gizli;User ID=sa;Initial Catalog=VARDEL;Data Source=YENI";
    QTest::newRow("Cancel keeps the text") << false << initial;
}

void tst_ToolWindow::connectionStringButtonOpensTheEditor()
{
    QFETCH(bool, ok);
    QFETCH(QString, expected);
    test::TempFolder folder;
    TfrmCariImport* w = openWindow();
    w->edtConnStr->setText("Provider=SQLOLEDB.1;Password=gizli;User ID=sa;Initial Catalog=VARDEL;Data Source=ESKI");
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<db::ConnectionEditor*>(QApplication::activeModalWidget());
        if (!editor)
            return;
        shown = true;
        editor->edtServer->setText("YENI");
        QTest::mouseClick(editor->buttonBox->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                          Qt::LeftButton);
    });
    QTest::mouseClick(w->edtConnStr->button(), Qt::LeftButton);
    QVERIFY(shown);
    QCOMPARE(w->edtConnStr->text(), expected);
    // Nothing is saved or connected at this point.
    QVERIFY(!QFile::exists(folder.file("Kelvra.ini")));
    QVERIFY(!w->ConnDB.isOpen());
    w->close();
}

QTEST_MAIN(tst_ToolWindow)
#include "tst_toolwindow.moc"
