#pragma once

// The connection-string editor behind the button of edtConnStr: a dialog of our own that shows the provider or
// driver, server, database and login of a connection string, lets them be changed and the connection be tried,
// and gives back the new string. It saves nothing and leaves no connection open.

#include "db/ConnectionString.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QPushButton;

namespace kelvra::db {

class ConnectionEditor : public QDialog
{
    Q_OBJECT
public:
    // Opens on the keys of initialText; a text that cannot be read opens as an empty one. odbcDrivers are offered
    // in the provider list after the OLE DB providers.
    ConnectionEditor(const QString& initialText, const QStringList& odbcDrivers, QWidget* parent = nullptr);

    // The string the fields make now: the initial keys in their order with the edited values, keys the editor does
    // not show kept as they were, the password included.
    QString connectionString() const;
    // After the dialog closed: connectionString() on OK, the initial text unchanged otherwise.
    QString resultText() const;

    QComboBox* cbxProvider;
    QLineEdit* edtServer;
    QLineEdit* edtDatabase;
    QCheckBox* chkIntegratedSecurity;
    QLineEdit* edtUserName;
    QLineEdit* edtPassword;
    QPushButton* btnTest;
    QDialogButtonBox* buttonBox;

private:
    void integratedSecurityToggled(bool on);
    void testConnection();
    bool odbcStyle() const;

    QString m_initialText;
    QList<ConnectionKey> m_keys;
    bool m_initialOdbc = false;
    QStringList m_odbcDrivers;
};

// Runs the editor modally on initialText; returns the edited string on OK and initialText on Cancel.
QString editConnectionString(QWidget* parent, const QString& initialText);

} // namespace kelvra::db
