#include "db/ConnectionEditor.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace kelvra;
using namespace kelvra::db;

namespace {

const QStringList drivers{"PostgreSQL Unicode", "FreeTDS", "ODBC Driver 18 for SQL Server"};

const QString settingsText = QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=True;User ID=sa;"
                                            "Password=gizli;Initial Catalog=VARDEL;Data Source=MERKEZ\\SQL2008");

// A loopback port nobody listens on: bound once by us, then let go.
int closedPort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(a);
    if (s < 0 || ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) != 0)
        qFatal("no loopback port");
    ::close(s);
    return ntohs(a.sin_port);
}

void retype(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void show(ConnectionEditor& editor)
{
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
}

void clickOk(ConnectionEditor& editor)
{
    QTest::mouseClick(editor.buttonBox->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

} // namespace

class tst_ConnectionEditor : public QObject
{
    Q_OBJECT
private slots:
    void opensOnParsedText_data();
    void opensOnParsedText();
    void okReturnsEditedString_data();
    void okReturnsEditedString();
    void cancelReturnsInitialText_data();
    void cancelReturnsInitialText();
    void integratedSecurity_data();
    void integratedSecurity();
    void providerChoiceDecidesKind_data();
    void providerChoiceDecidesKind();
    void testButtonShowsFailure_data();
    void testButtonShowsFailure();
    void testButtonSucceedsAndLeavesNothingBehind();
    void editConnectionStringRunsModally_data();
    void editConnectionStringRunsModally();
};

void tst_ConnectionEditor::opensOnParsedText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields"); // provider, server, database, user, password
    QTest::addColumn<bool>("integrated");

    QTest::newRow("OLE DB string of the settings file")
        << settingsText << QStringList{"SQLOLEDB.1", "MERKEZ\\SQL2008", "VARDEL", "sa", "gizli"} << false;
    QTest::newRow("OLE DB integrated security")
        << "Provider=SQLNCLI11;Integrated Security=SSPI;Initial Catalog=D;Data Source=SRV"
        << QStringList{"SQLNCLI11", "SRV", "D", "", ""} << true;
    QTest::newRow("ODBC string")
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=S,1433;Database=D;UID=sa;PWD={p;w};Encrypt=yes"
        << QStringList{"ODBC Driver 18 for SQL Server", "S,1433", "D", "sa", "p;w"} << false;
    QTest::newRow("ODBC trusted connection")
        << "Driver=FreeTDS;Server=S;Trusted_Connection=Yes" << QStringList{"FreeTDS", "S", "", "", ""} << true;
    QTest::newRow("quoted password") << "Data Source=S;Password=\"a;b\"" << QStringList{"", "S", "", "", "a;b"}
                                     << false;
    QTest::newRow("empty text") << "" << QStringList{"", "", "", "", ""} << false;
    QTest::newRow("unreadable text opens empty")
        << "Provider=SQLOLEDB.1;Password=\"abc;Data Source=S" << QStringList{"", "", "", "", ""} << false;
}

void tst_ConnectionEditor::opensOnParsedText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    QFETCH(bool, integrated);
    test::ScriptedBoxes boxes;
    ConnectionEditor editor(text, drivers);
    show(editor);
    QCOMPARE(editor.windowTitle(), QString("Bağlantı Özellikleri"));
    const QStringList shown{
        editor.findChild<QComboBox*>("cbxProvider")->currentText(), editor.findChild<QLineEdit*>("edtServer")->text(),
        editor.findChild<QLineEdit*>("edtDatabase")->text(), editor.findChild<QLineEdit*>("edtUserName")->text(),
        editor.findChild<QLineEdit*>("edtPassword")->text()};
    QCOMPARE(shown, fields);
    QCOMPARE(editor.findChild<QCheckBox*>("chkIntegratedSecurity")->isChecked(), integrated);
    QCOMPARE(editor.edtUserName->isEnabled(), !integrated);
    QCOMPARE(editor.edtPassword->isEnabled(), !integrated);
    QCOMPARE(editor.edtPassword->echoMode(), QLineEdit::Password);
    QVERIFY(boxes.shown.isEmpty());
}

void tst_ConnectionEditor::okReturnsEditedString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("expected");

    QTest::newRow("OLE DB: keys keep their names and places")
        << settingsText << "YENI\\SQLEXPRESS"
        << "gizli"
        << "Provider=SQLOLEDB.1;Persist Security Info=True;User ID=sa;Password=gizli;Initial Catalog=VARDEL;"
           "Data Source=YENI\\SQLEXPRESS";
    QTest::newRow("OLE DB: unknown keys kept in their order")
        << "Provider=SQLOLEDB.1;Data Source=A;Packet Size=4096;Workstation ID=KASA1;User ID=sa"
        << "B"
        << "x"
        << "Provider=SQLOLEDB.1;Data Source=B;Packet Size=4096;Workstation ID=KASA1;User ID=sa;Password=x";
    QTest::newRow("OLE DB: other names of a key kept, duplicate dropped") << "Server=A;Addr=C;UID=sa"
                                                                          << "B"
                                                                          << "p"
                                                                          << "Addr=B;UID=sa;Password=p";
    QTest::newRow("OLE DB: password with separators quoted")
        << "Provider=SQLOLEDB.1;Data Source=A;User ID=sa"
        << "A"
        << "p;\"w\""
        << "Provider=SQLOLEDB.1;Data Source=A;User ID=sa;Password='p;\"w\"'";
    QTest::newRow("ODBC: keys keep their names and places")
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=A;Database=D;UID=sa;PWD=p;Encrypt=yes"
        << "B,1433"
        << "p;w}"
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=B,1433;Database=D;UID=sa;PWD={p;w}}};Encrypt=yes";
    QTest::newRow("emptied setting goes") << "Provider=SQLOLEDB.1;Data Source=A;User ID=sa;Password=p"
                                          << ""
                                          << ""
                                          << "Provider=SQLOLEDB.1;User ID=sa";
    QTest::newRow("empty text: new OLE DB string") << ""
                                                   << "S"
                                                   << "p"
                                                   << "Data Source=S;Password=p";
    QTest::newRow("unreadable text: new string from the fields") << "Data Source=A;Password=\"abc"
                                                                 << "S"
                                                                 << "p"
                                                                 << "Data Source=S;Password=p";
}

void tst_ConnectionEditor::okReturnsEditedString()
{
    QFETCH(QString, text);
    QFETCH(QString, server);
    QFETCH(QString, password);
    QFETCH(QString, expected);
    ConnectionEditor editor(text, drivers);
    show(editor);
    retype(editor.edtServer, server);
    retype(editor.edtPassword, password);
    clickOk(editor);
    QCOMPARE(editor.result(), int(QDialog::Accepted));
    QVERIFY(!editor.isVisible());
    QCOMPARE(editor.resultText(), expected);
}

void tst_ConnectionEditor::cancelReturnsInitialText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("escapeKey");
    QTest::newRow("settings text, Cancel button") << settingsText << false;
    QTest::newRow("settings text, Escape key") << settingsText << true;
    QTest::newRow("text ending with semicolon") << settingsText + ";" << false;
    QTest::newRow("unreadable text") << "Data Source=A;Password=\"abc" << false;
    QTest::newRow("empty text") << "" << false;
}

void tst_ConnectionEditor::cancelReturnsInitialText()
{
    QFETCH(QString, text);
    QFETCH(bool, escapeKey);
    ConnectionEditor editor(text, drivers);
    show(editor);
    retype(editor.edtServer, "BASKA");
    editor.chkIntegratedSecurity->click();
    if (escapeKey)
        QTest::keyClick(&editor, Qt::Key_Escape);
    else
        QTest::mouseClick(editor.buttonBox->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    QCOMPARE(editor.result(), int(QDialog::Rejected));
    QVERIFY(!editor.isVisible());
    QCOMPARE(editor.resultText(), text);
}

void tst_ConnectionEditor::integratedSecurity_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("expected");

    QTest::newRow("OLE DB: SSPI replaces the login")
        << settingsText << ""
        << ""
        << "Provider=SQLOLEDB.1;Persist Security Info=True;Initial Catalog=VARDEL;Data Source=MERKEZ\\SQL2008;"
           "Integrated Security=SSPI";
    QTest::newRow("ODBC: trusted connection replaces the login")
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;UID=sa;PWD=p"
        << ""
        << ""
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;Trusted_Connection=yes";
    QTest::newRow("OLE DB: SSPI off, login typed")
        << "Provider=SQLNCLI11;Integrated Security=SSPI;Initial Catalog=D;Data Source=S"
        << "sa"
        << "p"
        << "Provider=SQLNCLI11;Initial Catalog=D;Data Source=S;User ID=sa;Password=p";
    QTest::newRow("ODBC: trusted connection off, login typed") << "Driver=FreeTDS;Server=S;Trusted_Connection=yes"
                                                               << "sa"
                                                               << "p"
                                                               << "Driver=FreeTDS;Server=S;UID=sa;PWD=p";
}

void tst_ConnectionEditor::integratedSecurity()
{
    QFETCH(QString, text);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, expected);
    ConnectionEditor editor(text, drivers);
    show(editor);
    const bool wasOn = editor.chkIntegratedSecurity->isChecked();
    QTest::mouseClick(editor.chkIntegratedSecurity, Qt::LeftButton);
    QCOMPARE(editor.chkIntegratedSecurity->isChecked(), !wasOn);
    QCOMPARE(editor.edtUserName->isEnabled(), wasOn);
    QCOMPARE(editor.edtPassword->isEnabled(), wasOn);
    if (wasOn) {
        retype(editor.edtUserName, user);
        retype(editor.edtPassword, password);
    }
    clickOk(editor);
    QCOMPARE(editor.resultText(), expected);
}

void tst_ConnectionEditor::providerChoiceDecidesKind_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QString>("expected");

    QTest::newRow("OLE DB string turned to ODBC by choosing a driver")
        << settingsText << "ODBC Driver 18 for SQL Server"
        << "Driver={ODBC Driver 18 for SQL Server};Persist Security Info=True;UID=sa;PWD=gizli;Database=VARDEL;"
           "Server=MERKEZ\\SQL2008";
    QTest::newRow("ODBC string turned to OLE DB by choosing a provider")
        << "DRIVER=FreeTDS;Server=S;Database=D;Trusted_Connection=yes"
        << "MSOLEDBSQL"
        << "Provider=MSOLEDBSQL;Data Source=S;Initial Catalog=D;Integrated Security=SSPI";
    QTest::newRow("another OLE DB provider keeps the key names") << "Provider=SQLOLEDB.1;Server=S;UID=sa"
                                                                 << "SQLNCLI11"
                                                                 << "Provider=SQLNCLI11;Server=S;UID=sa";
    QTest::newRow("provider chosen for an empty text comes first") << ""
                                                                   << "SQLOLEDB.1"
                                                                   << "Provider=SQLOLEDB.1";
    QTest::newRow("driver chosen for an empty text") << ""
                                                     << "FreeTDS"
                                                     << "Driver=FreeTDS";
}

void tst_ConnectionEditor::providerChoiceDecidesKind()
{
    QFETCH(QString, text);
    QFETCH(QString, provider);
    QFETCH(QString, expected);
    ConnectionEditor editor(text, drivers);
    show(editor);
    const int index = editor.cbxProvider->findText(provider);
    QVERIFY2(index >= 0, qPrintable(provider));
    editor.cbxProvider->setCurrentIndex(index);
    clickOk(editor);
    QCOMPARE(editor.resultText(), expected);
}

void tst_ConnectionEditor::testButtonShowsFailure_data()
{
    QTest::addColumn<QString>("text");
    const QString port = QString::number(closedPort());
    QTest::newRow("psqlODBC") << "DRIVER={PostgreSQL Unicode};Server=127.0.0.1;Port=" + port +
                                     ";Database=vardel;UID=kelvra;PWD=kelvra";
    QTest::newRow("OLE DB string through FreeTDS")
        << "Provider=SQLOLEDB.1;User ID=sa;Password=gizli;Initial Catalog=VARDEL;Data Source=127.0.0.1," + port;
}

void tst_ConnectionEditor::testButtonShowsFailure()
{
    QFETCH(QString, text);
    test::ScriptedBoxes boxes;
    ConnectionEditor editor(text, drivers);
    show(editor);
    QTest::mouseClick(editor.btnTest, Qt::LeftButton);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].kind, QString("message"));
    const QString prefix = QStringLiteral("Veri Tabanına Bağlanılamadı.! Hata : ");
    QVERIFY2(boxes.last().startsWith(prefix), qPrintable(boxes.last()));
    QVERIFY2(boxes.last().size() > prefix.size(), "the driver's message follows");
    QVERIFY(editor.isVisible());
    clickOk(editor);
    QCOMPARE(editor.resultText(), text);
}

void tst_ConnectionEditor::testButtonSucceedsAndLeavesNothingBehind()
{
    test::TempFolder folder;
    test::TestDatabase db;
    test::ScriptedBoxes boxes;
    ConnectionEditor editor(db.connectionString(), installedOdbcDrivers());
    show(editor);
    QTest::mouseClick(editor.btnTest, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{"Bağlantı Başarılı.!"});
    // The trial connection is closed again and nothing is written.
    QCOMPARE(db.query("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() "
                      "AND pid <> pg_backend_pid()"),
             QString("0"));
    QVERIFY(!QFile::exists(folder.file("Kelvra.ini")));
    clickOk(editor);
    QCOMPARE(editor.resultText(), db.connectionString());
}

void tst_ConnectionEditor::editConnectionStringRunsModally_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("expected");
    QTest::newRow("OK") << true
                        << "Provider=SQLOLEDB.1;Persist Security Info=True;User ID=sa;Password=gizli;"
                           "Initial Catalog=VARDEL;Data Source=YENI";
    QTest::newRow("Cancel") << false << settingsText;
}

void tst_ConnectionEditor::editConnectionStringRunsModally()
{
    QFETCH(bool, ok);
    QFETCH(QString, expected);
    bool answered = false;
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<ConnectionEditor*>(QApplication::activeModalWidget());
        if (!editor)
            return;
        answered = true;
        retype(editor->edtServer, "YENI");
        QTest::mouseClick(editor->buttonBox->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                          Qt::LeftButton);
    });
    const QString result = editConnectionString(nullptr, settingsText);
    QVERIFY(answered);
    QCOMPARE(result, expected);
}

QTEST_MAIN(tst_ConnectionEditor)
#include "tst_connectioneditor.moc"
