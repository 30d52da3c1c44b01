#pragma once

// The opening-balance document that the customer and stock balance windows write: a header whose return value is
// the document's ID, then one detail line per text line carrying that ID, all in the run's one transaction.

#include "framework/ImportRun.h"

#include <QLocale>
#include <QString>
#include <QTime>
#include <functional>

namespace kelvra {

// The document code: "DEVIR_", the date text without the locale's date separators, "_", and the first four
// characters of the time in the locale's long time format without its time separators (DEVIR_27042020_1435).
QString documentCode(const QString& dateText, const QTime& time, const QLocale& locale);

// The locale's time separator: the first character of its long time format that belongs to no time field.
QString timeSeparator(const QLocale& locale);

struct OpeningBalanceDocument
{
    std::function<QString()> date; // edtTarih, exactly as shown
    qint32 islemTipi = 0;          // 0 customer balances, 1 stock balances
    // The warehouse of a stock document, read when the header is written; throws kelvra::Error when none is
    // chosen. Empty for a customer document, which sends no warehouse.
    std::function<qint32()> depoId;
};

// Makes the profile's run write the document: the transaction begins first, the header follows with its four (or
// five) parameters, then the detail procedure is prepared and every line gets "@BELGEID". A header failure ends the
// run with "Hata Üst Blgi :" and the message in the log and leaves the progress bar at its place.
void addOpeningBalanceDocument(ImportProfile& profile, OpeningBalanceDocument document);

} // namespace kelvra
