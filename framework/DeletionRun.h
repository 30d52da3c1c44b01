#pragma once

// The deletion run of the two deletion windows: the group lookup behind the name edit, the pre-run checks, and
// the run that lists the records of one group or special code and deletes them one call at a time, without a
// transaction. It knows nothing of widgets; it talks to its window through DeletionHost.

#include "db/Database.h"

#include <QString>

namespace kelvra {

// What the deletion run needs of its window. Texts are read at each use.
class DeletionHost
{
public:
    virtual ~DeletionHost() = default;
    virtual QString connText() const = 0;  // edtConnStr
    virtual QString userCode() const = 0;  // edtUserCode
    virtual int codeKind() const = 0;      // cbxGrupOzelKod: 0 the group, 1 to 10 special code n
    virtual QString groupName() const = 0; // edtGrupOzelKod
    virtual QString groupId() const = 0;   // edtGrupOzelKodID (hidden)
    virtual void setGroupId(const QString& id) = 0;
    virtual void saveSettings() = 0; // SaveSettings: "CONNSTR" and "USERCODE"
    virtual void clearLog() = 0;
    virtual void log(const QString& text) = 0;     // AddLog
    virtual void setInfo(const QString& text) = 0; // lblInfo
    virtual void progressBarRange(int rows) = 0;   // pBar: maximum = rows, position 0
    virtual void progressBarStep() = 0;            // pBar: one more
    virtual void progressBarReset() = 0;           // pBar: position 0
    virtual void processMessages() = 0;
    virtual void message(const QString& text) = 0; // a plain message box
    virtual bool confirm(const QString& text) = 0; // the Yes/No box "Vardel"
};

// What tells the customer deletion from the stock deletion: the procedures, the listing's code column and the
// texts. The remaining texts are the same in both windows.
struct DeletionProfile
{
    QString groupProcedure;       // code kind 0: "SP_CARI_GRUP_LIST;1" with "@GRUPADI"
    QString specialCodeProcedure; // code kinds 1 to 10: "SP_OZEL_KOD_CARI_LIST;1" with "@OZELKODNO", "@OZELKOD"
    QString listProcedure;        // "SP_CARI_MAIN_IMPORT_LIST;1" with "@GRUPOZELKODNO", "@GRUPOZELKODID"
    QString deleteProcedure;      // "SP_CARI_MAIN_IMPORT_DELETE;1", on spDel, once per listed row
    QString codeField;            // the listing's code column, "CARIKODU"
    QString codeParameter;        // the deletion's code parameter, "@CARIKODU"
    QString startText;            // "Cari Silme İşlemi Başladı"
    QString listFailedText;       // "Cari Listelemede Hata :", followed directly by the message
    QString noRowsText;           // "Gruba Atanmış Silinecek Cari Kaydı Bulunamadı"
    QString deleteFailedText;     // "Hata : Cari Kodu = ", then the row's code, a blank and the message
    // The customer window asks the same question as the stock window, "Stok" included.
    QString confirmation =
        QStringLiteral("Seçilen Gruba Ait Stok Bilgileri Silinecektir. İşleme Başlamak İstiyor musunuz?");
    QString endText = QStringLiteral("Silme İşlemi Tamamlandı.");
};

class DeletionRun
{
public:
    DeletionRun(const DeletionProfile& profile, DeletionHost& host, db::Connection& ConnDB, db::ProcedureCommand& spDo,
                db::ProcedureCommand& spDel);

    // The group lookup on leaving the name edit: resolves the typed name to the ID of exactly one group or
    // special code. Every other outcome leaves the hidden ID empty. Connects, reads and closes the link; an error
    // of the lookup procedure is not caught here.
    void lookUpGroup();

    // btnStartClick: the checks, then on Yes the run.
    void start();
    // The checks, in their order; true when the technician confirmed and the link is connected.
    bool PrepareRun();
    // The run itself, after PrepareRun.
    void run();

    static const QString notFoundText;
    static const QString ambiguousText;

private:
    const DeletionProfile& m_profile;
    DeletionHost& m_host;
    db::Connection& m_conn;
    db::ProcedureCommand& m_spDo;
    db::ProcedureCommand& m_spDel;
};

} // namespace kelvra
