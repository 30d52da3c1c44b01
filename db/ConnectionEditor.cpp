#include "db/ConnectionEditor.h"

#include "db/Database.h"
#include "framework/MessageBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvra::db {

namespace {

// The settings the editor shows, each under the names OLE DB and ODBC strings know it by.
enum Field
{
    Provider,
    Server,
    Database,
    User,
    Password,
    Integrated,
    FieldCount,
    Unknown = FieldCount
};

bool isOneOf(const QString& key, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

Field fieldOf(const QString& key, bool odbc)
{
    if (isOneOf(key, {odbc ? "Driver" : "Provider"}))
        return Provider;
    if (isOneOf(key, {"Data Source", "Server", "Address", "Addr", "Network Address"}))
        return Server;
    if (isOneOf(key, {"Initial Catalog", "Database"}))
        return Database;
    if (isOneOf(key, {"User ID", "UID", "User"}))
        return User;
    if (isOneOf(key, {"Password", "PWD"}))
        return Password;
    if (isOneOf(key, {"Integrated Security", "Trusted_Connection"}))
        return Integrated;
    return Unknown;
}

// The name a setting gets when the string did not have it yet (or changes kind).
QString defaultName(Field f, bool odbc)
{
    static const char* const oleDb[] = {"Provider", "Data Source", "Initial Catalog",
                                        "User ID",  "Password",    "Integrated Security"};
    static const char* const odbcNames[] = {"Driver", "Server", "Database", "UID", "PWD", "Trusted_Connection"};
    return QLatin1String(odbc ? odbcNames[f] : oleDb[f]);
}

bool meansYes(const QString& value)
{
    return isOneOf(value.trimmed(), {"sspi", "true", "yes"});
}

// OLE DB providers for SQL Server, offered first in the list.
const char* const oleDbProviders[] = {"SQLOLEDB.1", "SQLNCLI11", "MSOLEDBSQL"};

bool isOleDbProvider(const QString& name)
{
    for (const char* prefix : {"SQLOLEDB", "SQLNCLI", "MSOLEDBSQL", "MSDASQL"})
        if (name.startsWith(QLatin1String(prefix), Qt::CaseInsensitive))
            return true;
    return false;
}

QString successText()
{
    return QStringLiteral("Bağlantı Başarılı.!");
}
QString failureText()
{
    return QStringLiteral("Veri Tabanına Bağlanılamadı.! Hata : ");
}

} // namespace

ConnectionEditor::ConnectionEditor(const QString& initialText, const QStringList& odbcDrivers, QWidget* parent)
    : QDialog(parent), m_initialText(initialText), m_odbcDrivers(odbcDrivers)
{
    setWindowTitle(QStringLiteral("Bağlantı Özellikleri"));
    setObjectName(QStringLiteral("ConnectionEditor"));

    cbxProvider = new QComboBox(this);
    cbxProvider->setObjectName(QStringLiteral("cbxProvider"));
    cbxProvider->setEditable(true);
    cbxProvider->setInsertPolicy(QComboBox::NoInsert);
    for (const char* provider : oleDbProviders)
        cbxProvider->addItem(QLatin1String(provider));
    cbxProvider->addItems(m_odbcDrivers);

    auto lineEdit = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        return edit;
    };
    edtServer = lineEdit("edtServer");
    edtDatabase = lineEdit("edtDatabase");
    edtUserName = lineEdit("edtUserName");
    edtPassword = lineEdit("edtPassword");
    edtPassword->setEchoMode(QLineEdit::Password);
    chkIntegratedSecurity = new QCheckBox(QStringLiteral("Windows tümleşik güvenliğini kullan"), this);
    chkIntegratedSecurity->setObjectName(QStringLiteral("chkIntegratedSecurity"));
    btnTest = new QPushButton(QStringLiteral("Bağlantıyı Sına"), this);
    btnTest->setObjectName(QStringLiteral("btnTest"));
    btnTest->setAutoDefault(false);
    buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttonBox->setObjectName(QStringLiteral("buttonBox"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Sağlayıcı / Sürücü"), cbxProvider);
    form->addRow(QStringLiteral("Sunucu Adı"), edtServer);
    form->addRow(QStringLiteral("Veri Tabanı"), edtDatabase);
    form->addRow(QString(), chkIntegratedSecurity);
    form->addRow(QStringLiteral("Kullanıcı Adı"), edtUserName);
    form->addRow(QStringLiteral("Şifre"), edtPassword);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(btnTest, 0, Qt::AlignLeft);
    layout->addStretch();
    layout->addWidget(buttonBox);
    setMinimumWidth(400);

    connect(chkIntegratedSecurity, &QCheckBox::toggled, this, &ConnectionEditor::integratedSecurityToggled);
    connect(btnTest, &QPushButton::clicked, this, &ConnectionEditor::testConnection);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // A text that cannot be read opens as an empty one, without a word: the user starts afresh.
    bool ok = false;
    m_keys = parseConnectionString(initialText, &ok);
    if (!ok)
        m_keys.clear();
    m_initialOdbc = isOdbcConnectionString(m_keys);

    QString values[FieldCount];
    for (const ConnectionKey& k : std::as_const(m_keys)) {
        const Field f = fieldOf(k.key, m_initialOdbc);
        if (f != Unknown)
            values[f] = k.value; // the last of two equal keys counts
    }
    cbxProvider->setEditText(values[Provider]);
    edtServer->setText(values[Server]);
    edtDatabase->setText(values[Database]);
    edtUserName->setText(values[User]);
    edtPassword->setText(values[Password]);
    chkIntegratedSecurity->setChecked(meansYes(values[Integrated]));
    integratedSecurityToggled(chkIntegratedSecurity->isChecked());
}

void ConnectionEditor::integratedSecurityToggled(bool on)
{
    edtUserName->setEnabled(!on);
    edtPassword->setEnabled(!on);
}

bool ConnectionEditor::odbcStyle() const
{
    // The provider field decides the kind of the result: an OLE DB provider gives an OLE DB string, an ODBC driver
    // (one of the list, or a name with blanks, which provider names never have) an ODBC string.
    const QString name = cbxProvider->currentText().trimmed();
    if (name.isEmpty())
        return m_initialOdbc;
    if (isOleDbProvider(name))
        return false;
    if (name.contains(u' '))
        return true;
    for (const QString& driver : m_odbcDrivers)
        if (driver.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return m_initialOdbc;
}

QString ConnectionEditor::connectionString() const
{
    const bool odbc = odbcStyle();
    const bool kindChanged = odbc != m_initialOdbc;
    const bool integrated = chkIntegratedSecurity->isChecked();

    QString values[FieldCount];
    values[Provider] = cbxProvider->currentText().trimmed();
    values[Server] = edtServer->text();
    values[Database] = edtDatabase->text();
    values[User] = integrated ? QString() : edtUserName->text();
    values[Password] = integrated ? QString() : edtPassword->text();
    values[Integrated] = integrated ? (odbc ? QStringLiteral("yes") : QStringLiteral("SSPI")) : QString();

    qsizetype last[FieldCount];
    std::fill(std::begin(last), std::end(last), qsizetype(-1));
    for (qsizetype i = 0; i < m_keys.size(); ++i) {
        const Field f = fieldOf(m_keys[i].key, m_initialOdbc);
        if (f != Unknown)
            last[f] = i;
    }

    // Each shown setting stays where it stood, under the name the string gave it; an earlier duplicate and a
    // setting that was emptied go. Settings the string did not have follow at the end, the provider first.
    QList<ConnectionKey> out;
    bool placed[FieldCount] = {};
    for (qsizetype i = 0; i < m_keys.size(); ++i) {
        const ConnectionKey& k = m_keys[i];
        const Field f = fieldOf(k.key, m_initialOdbc);
        if (f == Unknown) {
            out << k;
            continue;
        }
        if (i != last[f] || values[f].isEmpty())
            continue;
        QString value = values[f];
        if (f == Integrated && !kindChanged && meansYes(k.value))
            value = k.value; // "true" stays "true"
        out << ConnectionKey{kindChanged ? defaultName(f, odbc) : k.key, value};
        placed[f] = true;
    }
    for (int f = Provider; f < FieldCount; ++f) {
        if (placed[f] || values[f].isEmpty())
            continue;
        const ConnectionKey k{defaultName(Field(f), odbc), values[f]};
        if (f == Provider)
            out.prepend(k);
        else
            out << k;
    }
    return formatConnectionString(out);
}

QString ConnectionEditor::resultText() const
{
    return result() == QDialog::Accepted ? connectionString() : m_initialText;
}

void ConnectionEditor::testConnection()
{
    const QString text = connectionString();
    QString outcome;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        Connection connection;
        connection.connect(text, QString());
        connection.close();
        outcome = successText();
    } catch (const Error& e) {
        outcome = failureText() + e.message();
    }
    QApplication::restoreOverrideCursor();
    showMessage(this, outcome);
}

QString editConnectionString(QWidget* parent, const QString& initialText)
{
    ConnectionEditor editor(initialText, installedOdbcDrivers(), parent);
    editor.exec();
    return editor.resultText();
}

} // namespace kelvra::db
