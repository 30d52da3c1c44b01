// The model and stock import end to end: the real window, its run and the reference database.

#include "app/untMain.h"
#include "framework/TextInput.h"
#include "framework/untGeneral.h"
#include "support/TestSupport.h"
#include "tools/untModelImport.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLocale>
#include <QTest>
#include <QTimer>

using namespace kelvra;

class tst_ModelImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { applyProgramLook(); }
    void init();
    void cleanup();

    void windowAndLauncher();
    void lineDefaultsAndOtherFill_data();
    void lineDefaultsAndOtherFill();
    void triggerIsOffDuringTheRunAndOnAfterIt_data();
    void triggerIsOffDuringTheRunAndOnAfterIt();
    void everyItemIsMandatory_data();
    void everyItemIsMandatory();

private:
    TfrmModelImport* openWindow();
    QStringList log() const;
    QString models() const
    {
        return db->query(
            "SELECT string_agg(modelkodu || '|' || modeladi || '|' || satis_fiyati, ',' ORDER BY modelkodu) "
            "FROM tbl_model");
    }
    // Each variant: model, number, size group and its description, size, colour, barcode, the stock item's name
    // and its sales price.
    QString variants() const
    {
        return db->query(
            "SELECT string_agg(m.modelkodu || '|' || d.sira || '|' || g.bedenkodu || '|' || g.aciklama || '|' || "
            "d.beden || '|' || d.renk || '|' || coalesce(d.barkod, '') || '|' || s.stokadi || '|' || "
            "coalesce(f.fiyat::text, ''), ',' ORDER BY m.modelkodu, d.sira) "
            "FROM tbl_model_detay d JOIN tbl_model m ON m.id = d.model_id "
            "JOIN tbl_beden_grup g ON g.id = d.beden_grup_id JOIN tbl_stok s ON s.id = d.stok_id "
            "LEFT JOIN tbl_stok_fiyat f ON f.stok_id = s.id AND f.fiyat_tip_id = 2");
    }

    std::unique_ptr<test::TestDatabase> db;
    std::unique_ptr<test::TempFolder> folder;
    std::unique_ptr<test::ScriptedBoxes> boxes;
    TfrmModelImport* window = nullptr;
};

void tst_ModelImport::init()
{
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    db = std::make_unique<test::TestDatabase>();
    folder = std::make_unique<test::TempFolder>();
    boxes = std::make_unique<test::ScriptedBoxes>();
    window = nullptr;
}

void tst_ModelImport::cleanup()
{
    if (window)
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    boxes.reset();
    folder.reset();
    db.reset();
}

TfrmModelImport* tst_ModelImport::openWindow()
{
    window = ToolWindow::create<TfrmModelImport>(&frmModelImport);
    window->edtConnStr->setText(db->connectionString());
    window->edtUserCode->setText(QStringLiteral("SERVIS"));
    window->edtFileName->setText(folder->file(QStringLiteral("model.txt")));
    window->edtBasamak->setText(QStringLiteral("."));
    window->edtOndalik->setText(QStringLiteral(","));
    return window;
}

QStringList tst_ModelImport::log() const
{
    QStringList texts;
    for (const QString& line : window->mMoLog->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype arrow = line.indexOf(QLatin1String(" -> "));
        texts << (arrow < 0 ? line : line.mid(arrow + 4));
    }
    return texts;
}

void tst_ModelImport::windowAndLauncher()
{
    openWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Model ve Stok Aktarımı"));
    QCOMPARE(window->size(), QSize(474, 526));
    QCOMPARE(window->btnStart->text(), QStringLiteral("Model Aktarımına Başla"));
    for (QWidget* edit : {static_cast<QWidget*>(window->edtConnStr), static_cast<QWidget*>(window->edtFileName),
                          static_cast<QWidget*>(window->edtUserCode)})
        QCOMPARE(edit->width(), 370);
    // Both number symbols on one row, each after its one-line label, nothing overlapping.
    QCOMPARE(window->sLabel6->text(), QStringLiteral("Dosyadaki Ondalık Simgesi"));
    QCOMPARE(window->sLabel7->text(), QStringLiteral("Dosyadaki Basamak Simgesi"));
    QCOMPARE(window->edtOndalik->y(), window->edtBasamak->y());
    QVERIFY(window->sLabel6->fontMetrics().horizontalAdvance(window->sLabel6->text()) <= window->sLabel6->width());
    QVERIFY(window->sLabel7->fontMetrics().horizontalAdvance(window->sLabel7->text()) <= window->sLabel7->width());
    QVERIFY(window->sLabel6->geometry().right() < window->edtOndalik->x());
    QVERIFY(window->edtOndalik->geometry().right() < window->sLabel7->x());
    QVERIFY(window->sLabel7->geometry().right() < window->edtBasamak->x());
    QCOMPARE(window->edtBasamak->geometry().right(), window->edtConnStr->geometry().right());
    QCOMPARE(window->lstFields->columnWidth(0), 280);
    QCOMPARE(window->lstFields->columnWidth(1), 120);
    QVERIFY(window->lstFields->geometry().right() < window->btnUp->x());
    QVERIFY(window->btnUp->geometry().right() < window->width());
    // The note stands below the symbols and above lblInfo, in green.
    QCOMPARE(window->sLabel1->text(), QStringLiteral(" * Yalnızca Yeni Model ve Stokları Eklemek İçin Kullanılır"));
    QCOMPARE(window->sLabel1->palette().color(QPalette::WindowText), QColor(Qt::darkGreen));
    QVERIFY(window->edtBasamak->geometry().bottom() < window->sLabel1->y());
    QVERIFY(window->sLabel1->geometry().bottom() < window->lblInfo->y());
    QVERIFY(window->lblInfo->geometry().bottom() < window->lstFields->y());
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window = nullptr;

    // Button 17 of the main window opens a fresh model import window and sets its reference.
    TfrmMain main;
    main.edtPassword->setText(QStringLiteral("40516273"));
    QString title;
    bool isModelImport = false;
    QTimer::singleShot(0, [&]() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        title = modal->windowTitle();
        isModelImport = qobject_cast<TfrmModelImport*>(modal) && frmModelImport == modal;
        modal->close();
    });
    QTest::mouseClick(main.button(17), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(title, QStringLiteral("Model ve Stok Aktarımı"));
    QVERIFY(isModelImport);
    QCOMPARE(frmModelImport, nullptr);
}

void tst_ModelImport::lineDefaultsAndOtherFill_data()
{
    // Model M1 "GÖMLEK" with the sales price 50 exists; each case imports one line with the default layout, with
    // "." as the file's grouping and "," as its decimal symbol.
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("models");
    QTest::addColumn<QString>("variants");
    QTest::newRow("every column given, price normalised")
        << "M2;8690000000011;PANTOLON;1.250;01;ERKEK;M;MAVİ"
        << "M1|GÖMLEK|50.0000,M2|PANTOLON|1250.0000"
        << "M2|1|01|ERKEK|M|MAVİ|8690000000011|PANTOLON M MAVİ|1250.0000";
    // An empty price is "DİĞER" (no price: the model's own applies); an empty barcode stays empty.
    QTest::newRow("empty columns") << "M1;;;;;;;"
                                   << "M1|GÖMLEK|50.0000"
                                   << "M1|1|00|DİĞER|DİĞER|DİĞER||GÖMLEK|50.0000";
    // A price column holding only the grouping symbol is empty once normalised.
    QTest::newRow("price of only the grouping symbol") << "M1;;;."
                                                       << "M1|GÖMLEK|50.0000"
                                                       << "M1|1|00|DİĞER|DİĞER|DİĞER||GÖMLEK|50.0000";
    // Without a price column the line sends its default, the number 0.
    QTest::newRow("short line keeps the line defaults") << "M1;8690000000028;GÖMLEK"
                                                        << "M1|GÖMLEK|50.0000"
                                                        << "M1|1|00|DİĞER|DİĞER|DİĞER|8690000000028|GÖMLEK|0.0000";
    // The empty name of a new model becomes "DİĞER" too.
    QTest::newRow("empty model name") << "M3;;;12,5"
                                      << "M1|GÖMLEK|50.0000,M3|DİĞER|12.5000"
                                      << "M3|1|00|DİĞER|DİĞER|DİĞER||DİĞER|12.5000";
}

void tst_ModelImport::lineDefaultsAndOtherFill()
{
    QFETCH(QString, line);
    QFETCH(QString, models);
    QFETCH(QString, variants);
    db->query("INSERT INTO tbl_model (modelkodu, modeladi, satis_fiyati) VALUES ('M1', 'GÖMLEK', 50)");
    folder->write(QStringLiteral("model.txt"), encodeLegacy(line + QStringLiteral("\r\n")));
    openWindow();
    window->btnStart->click();

    QCOMPARE(boxes->texts(), QStringList{"Model Aktarımına Başlamak İstiyor musunuz?"});
    QCOMPARE(log(), QStringList({"Model Aktarımı Başladı", "Aktarım Tamamlandı."}));
    QCOMPARE(this->models(), models);
    QCOMPARE(this->variants(), variants);
    QCOMPARE(window->lblInfo->text(), QStringLiteral("Aktarım Tamamlandı."));
    QCOMPARE(window->pBar->value(), 0);
    QCOMPARE(ReadSetting(QStringLiteral("IMPORT"), QStringLiteral("MODELFILENAME")),
             folder->file(QStringLiteral("model.txt")));
    QVERIFY(QFile::exists(folder->file(QStringLiteral("MODELLIST.FMT"))));
}

void tst_ModelImport::triggerIsOffDuringTheRunAndOnAfterIt_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("seenWhileInserting"); // the trigger's state when the first variant was inserted
    QTest::addColumn<bool>("fails");
    QTest::newRow("committed run") << "M1;;GÖMLEK;10;01;ERKEK;S;BEYAZ\r\nM1;;GÖMLEK;10;01;ERKEK;M;BEYAZ\r\n"
                                   << "D" << false;
    QTest::newRow("failing line") << "M1;;GÖMLEK;10;01;ERKEK;S;BEYAZ\r\n;;YOK;1;01;ERKEK;S;SİYAH\r\n"
                                  << "D" << true;
    QTest::newRow("empty file") << ""
                                << "-" << false;
}

void tst_ModelImport::triggerIsOffDuringTheRunAndOnAfterIt()
{
    QFETCH(QString, file);
    QFETCH(QString, seenWhileInserting);
    QFETCH(bool, fails);
    // Sequences keep what they are set to even when the transaction rolls back: one notes the trigger's state
    // as each variant row goes in, the other counts the ALTER TABLE statements that ran.
    db->query(R"(
        CREATE SEQUENCE t_trigger_seen;
        CREATE SEQUENCE t_alter_count;
        CREATE FUNCTION t_note_trigger() RETURNS trigger LANGUAGE plpgsql AS $$
        BEGIN
            PERFORM setval('t_trigger_seen', ascii((SELECT tgenabled FROM pg_trigger
                                                    WHERE tgname = 'trg_model_detay_insert')));
            RETURN NEW;
        END $$;
        CREATE TRIGGER t_note_trigger AFTER INSERT ON tbl_model_detay FOR EACH ROW EXECUTE FUNCTION t_note_trigger();
        CREATE FUNCTION t_count_alter() RETURNS event_trigger LANGUAGE plpgsql AS $$
        BEGIN
            PERFORM nextval('t_alter_count');
        END $$;
        CREATE EVENT TRIGGER t_count_alter ON ddl_command_end WHEN TAG IN ('ALTER TABLE')
            EXECUTE FUNCTION t_count_alter();
    )");
    folder->write(QStringLiteral("model.txt"), encodeLegacy(file));
    openWindow();
    window->btnStart->click();

    // No error box: the switch-on ran also after the failing line.
    QCOMPARE(boxes->texts(), QStringList{"Model Aktarımına Başlamak İstiyor musunuz?"});
    QCOMPARE(db->query("SELECT CASE WHEN is_called THEN chr(last_value::int) ELSE '-' END FROM t_trigger_seen"),
             seenWhileInserting);
    QCOMPARE(db->query("SELECT CASE WHEN is_called THEN last_value ELSE 0 END FROM t_alter_count"),
             QStringLiteral("2"));
    QCOMPARE(db->query("SELECT tgenabled FROM pg_trigger WHERE tgname = 'trg_model_detay_insert'"),
             QStringLiteral("O"));
    QCOMPARE(window->ConnDB.transactionLevel(), 0);
    const QStringList lines = log();
    if (fails) {
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("Model Aktarımı Başladı"));
        QVERIFY2(lines[1].startsWith(QLatin1String("Hata : ")) && lines[1].contains(QLatin1String("Model kodu")),
                 qPrintable(lines[1]));
        QCOMPARE(lines[2], QStringLiteral("Satır : ;;YOK;1;01;ERKEK;S;SİYAH"));
        QCOMPARE(window->lblInfo->text(), lines[1]);
        QCOMPARE(window->pBar->value(), 0);
        QCOMPARE(db->query("SELECT count(*) FROM tbl_model"), QStringLiteral("0"));
        QCOMPARE(db->query("SELECT count(*) FROM tbl_stok"), QStringLiteral("0"));
    } else {
        QCOMPARE(lines, QStringList({"Model Aktarımı Başladı", "Aktarım Tamamlandı."}));
        QCOMPARE(db->query("SELECT count(*) FROM tbl_model_detay"), QString::number(file.count(QLatin1Char('\n'))));
    }
    // The trigger works again for variants entered by other means: it gives them their stock item.
    db->query("INSERT INTO tbl_model (modelkodu, modeladi) VALUES ('M9', 'DENEME');"
              "INSERT INTO tbl_model_detay (model_id, beden_grup_id) SELECT m.id, g.id FROM tbl_model m, "
              "tbl_beden_grup g WHERE m.modelkodu = 'M9' AND g.bedenkodu = '00'");
    QCOMPARE(db->query("SELECT s.stokkodu FROM tbl_model_detay d JOIN tbl_stok s ON s.id = d.stok_id "
                       "JOIN tbl_model m ON m.id = d.model_id WHERE m.modelkodu = 'M9'"),
             QStringLiteral("M9-0001"));
}

void tst_ModelImport::everyItemIsMandatory_data()
{
    QTest::addColumn<QString>("layout"); // a layout file, or empty for the default layout
    QTest::addColumn<QString>("unchecked");
    QTest::addColumn<bool>("refused");
    QTest::newRow("RENK unchecked") << ""
                                    << "@RENK" << true;
    QTest::newRow("MODEL KODU unchecked") << ""
                                          << "@MODELKODU" << true;
    // The missing items keep their line defaults.
    QTest::newRow("layout file with fewer items, all checked") << "MODEL KODU~@MODELKODU&1\r\nMODEL ADI~@MODELADI&1\r\n"
                                                               << "" << false;
}

void tst_ModelImport::everyItemIsMandatory()
{
    QFETCH(QString, layout);
    QFETCH(QString, unchecked);
    QFETCH(bool, refused);
    if (!layout.isEmpty())
        folder->write(QStringLiteral("MODELLIST.FMT"), encodeLegacy(layout));
    folder->write(QStringLiteral("model.txt"), encodeLegacy(QStringLiteral("M5;CEKET\r\n")));
    openWindow();
    for (int i = 0; i < window->lstFields->topLevelItemCount(); ++i)
        if (window->lstFields->topLevelItem(i)->text(1) == unchecked)
            window->lstFields->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
    window->btnStart->click();

    if (refused) {
        QCOMPARE(boxes->texts(), QStringList{"Tüm Alanların İşaretlenmesi Zorunlu Alanlardır.!"});
        QVERIFY(!QFile::exists(settingsPath()));
        QVERIFY(!QFile::exists(folder->file(QStringLiteral("MODELLIST.FMT"))));
        QVERIFY(window->mMoLog->toPlainText().isEmpty());
        QVERIFY(!window->ConnDB.isOpen());
        QCOMPARE(db->query("SELECT count(*) FROM tbl_model"), QStringLiteral("0"));
    } else {
        QCOMPARE(log().last(), QStringLiteral("Aktarım Tamamlandı."));
        QCOMPARE(models(), QStringLiteral("M5|CEKET|0.0000"));
        QCOMPARE(variants(), QStringLiteral("M5|1|00|DİĞER|DİĞER|DİĞER||CEKET|0.0000"));
    }
}

QTEST_MAIN(tst_ModelImport)
#include "tst_modelimport.moc"
