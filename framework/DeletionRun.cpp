#include "framework/DeletionRun.h"

#include "framework/ImportRun.h"

namespace kelvra {

const QString DeletionRun::notFoundText = QStringLiteral("Girmiş Olduğunuz Grup/Özel Kod Sistemde Kayıtlı Değil.!");
const QString DeletionRun::ambiguousText =
    QStringLiteral("Girmiş Olduğunuz Grup/Özel Kod İle Başlayan Birden Fazla Grup/Özel Kod Bilgisi Sistemde "
                   "Kayıtlı. Lütfen Tam Adını Yazınız.");

DeletionRun::DeletionRun(const DeletionProfile& profile, DeletionHost& host, db::Connection& ConnDB,
                         db::ProcedureCommand& spDo, db::ProcedureCommand& spDel)
    : m_profile(profile), m_host(host), m_conn(ConnDB), m_spDo(spDo), m_spDel(spDel)
{
}

void DeletionRun::lookUpGroup()
{
    const QString name = m_host.groupName();
    // Only a lookup that finds exactly one row resolves the name; whatever else happens below (no row, several,
    // no connection, a failing procedure) leaves no ID behind.
    m_host.setGroupId(QString());
    if (name.isEmpty())
        return;
    try {
        m_conn.connect(m_host.connText(), m_host.userCode());
    } catch (const Error& e) {
        m_host.message(ImportRun::connectFailedText(e.message()));
        return;
    }
    m_spDo.close();
    const int kind = m_host.codeKind();
    if (kind == 0) {
        m_spDo.prepare(m_profile.groupProcedure);
        m_spDo.setText(QStringLiteral("@GRUPADI"), name);
    } else {
        m_spDo.prepare(m_profile.specialCodeProcedure);
        m_spDo.setInt32(QStringLiteral("@OZELKODNO"), kind);
        m_spDo.setText(QStringLiteral("@OZELKOD"), name);
    }
    m_spDo.open();
    const int rows = m_spDo.rowCount();
    if (rows == 0)
        m_host.message(notFoundText);
    else if (rows > 1)
        m_host.message(ambiguousText);
    else
        m_host.setGroupId(m_spDo.fieldText(QStringLiteral("ID")));
    m_conn.close();
    m_spDo.close();
}

void DeletionRun::start()
{
    if (!PrepareRun())
        return;
    run();
}

bool DeletionRun::PrepareRun()
{
    if (m_host.userCode().isEmpty()) {
        m_host.message(QStringLiteral("Kullanıcı Bilgisi Boş Geçilemez.!"));
        return false;
    }
    if (m_host.groupId().isEmpty()) {
        m_host.message(QStringLiteral("Grup Adı Bilgisi Boş Geçilemez.!"));
        return false;
    }
    try {
        m_conn.connect(m_host.connText(), m_host.userCode());
    } catch (const Error& e) {
        m_host.message(ImportRun::connectFailedText(e.message()));
        return false;
    }
    return m_host.confirm(m_profile.confirmation);
}

void DeletionRun::run()
{
    m_host.saveSettings();
    m_host.clearLog();
    m_host.log(m_profile.startText);

    try {
        m_spDo.close();
        m_spDo.prepare(m_profile.listProcedure);
        m_spDo.setInt32(QStringLiteral("@GRUPOZELKODNO"), m_host.codeKind());
        m_spDo.setText(QStringLiteral("@GRUPOZELKODID"), m_host.groupId());
        m_spDo.open();
    } catch (const Error& e) {
        m_host.log(m_profile.listFailedText + e.message());
        m_host.setInfo(QStringLiteral("Hata : ") + e.message());
        return;
    }
    if (m_spDo.rowCount() == 0) {
        m_spDo.close();
        m_host.log(m_profile.noRowsText);
        return;
    }

    // No transaction: each deletion stands alone, so those before a failing row stay done.
    m_host.progressBarRange(m_spDo.rowCount());
    while (!m_spDo.eof()) {
        m_host.progressBarStep();
        m_host.processMessages();
        QString code;
        try {
            code = m_spDo.fieldText(m_profile.codeField);
            const QString id = m_spDo.fieldText(QStringLiteral("ID"));
            m_spDel.close();
            m_spDel.prepare(m_profile.deleteProcedure);
            m_spDel.setText(m_profile.codeParameter, code);
            m_spDel.setText(QStringLiteral("@ID"), id);
            m_spDel.execute();
        } catch (const Error& e) {
            m_host.log(m_profile.deleteFailedText + code + QLatin1Char(' ') + e.message());
            m_host.progressBarReset();
            m_host.setInfo(QStringLiteral("Hata : ") + e.message());
            return;
        }
        m_spDo.next();
    }
    m_host.setInfo(m_profile.endText);
    m_host.log(m_profile.endText);
    m_host.progressBarReset();
}

} // namespace kelvra
