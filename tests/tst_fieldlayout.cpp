#include "framework/Error.h"
#include "framework/FieldLayout.h"
#include "support/TestSupport.h"

#include <QTest>

using namespace kelvra;

Q_DECLARE_METATYPE(kelvra::LayoutItem)

namespace QTest {
template <>
char* toString(const kelvra::LayoutItem& item)
{
    return qstrdup(qPrintable(QStringLiteral("{caption \"%1\", parameter \"%2\", %3}")
                                  .arg(item.caption, item.parameter, item.checked ? "checked" : "unchecked")));
}
} // namespace QTest

class tst_FieldLayout : public QObject
{
    Q_OBJECT
private slots:
    void parseLine_data();
    void parseLine();
    void saveThenLoadIsIdentical();
    void fileEncodings_data();
    void fileEncodings();
    void writtenFileBytes();
    void parameterOrder_data();
    void parameterOrder();
    void moreThan101CheckedItemsRefused();
};

void tst_FieldLayout::parseLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<LayoutItem>("item");
    QTest::newRow("checked") << "CARİ KODU~@CARIKODU&1" << LayoutItem{"CARİ KODU", "@CARIKODU", true};
    QTest::newRow("unchecked") << "AKTİF~@AKTIF&0" << LayoutItem{"AKTİF", "@AKTIF", false};
    QTest::newRow("ampersand in caption") << "A&B~@X&1" << LayoutItem{"A&B", "", true};
    QTest::newRow("ampersand in caption, digit after it") << "A&2B~@X&1" << LayoutItem{"A&2B", "", false};
    QTest::newRow("tilde in caption") << "A~B~@X&0" << LayoutItem{"A", "B~@X", false};
    QTest::newRow("ampersand in parameter") << "C~@P&Q&0" << LayoutItem{"C", "@P", true};
    QTest::newRow("ampersand in parameter, digit after it") << "C~@P&4Q&1" << LayoutItem{"C", "@P", false};
    QTest::newRow("no tilde") << "@CARIKODU&1" << LayoutItem{"", "@CARIKOD", true};
    QTest::newRow("no ampersand, digit first") << "0~X" << LayoutItem{"0", "", false};
    QTest::newRow("no ampersand, letter first") << "X~Y" << LayoutItem{"X", "", true};
    QTest::newRow("empty line") << "" << LayoutItem{"", "", true};
    QTest::newRow("flag 2 unchecks") << "C~@P&2" << LayoutItem{"C", "@P", false};
    QTest::newRow("flag 3 checks") << "C~@P&3" << LayoutItem{"C", "@P", true};
    QTest::newRow("flag 9 checks") << "C~@P&9" << LayoutItem{"C", "@P", true};
    QTest::newRow("nothing after ampersand") << "C~@P&" << LayoutItem{"C", "@P", true};
    QTest::newRow("empty parameter placeholder") << "YOK SAY~&1" << LayoutItem{"YOK SAY", "", true};
    QTest::newRow("only ampersand") << "&0" << LayoutItem{"", "", false};
    QTest::newRow("only tilde") << "~" << LayoutItem{"", "", true};
}

void tst_FieldLayout::parseLine()
{
    QFETCH(QString, line);
    QFETCH(LayoutItem, item);
    QCOMPARE(parseLayoutLine(line), item);
}

void tst_FieldLayout::saveThenLoadIsIdentical()
{
    test::TempFolder folder;
    const FieldLayout layout = {{"CARİ KODU", "@CARIKODU", true},
                                {"ŞUBE ADI", "@SUBEADI", false},
                                {"", "", true},
                                {"Жук", "@X", false},
                                {"A B", "@A_B", true}};
    writeLayoutFile(folder.file("CARILIST.FMT"), layout);
    QCOMPARE(readLayoutFile(folder.file("CARILIST.FMT")), layout);
}

void tst_FieldLayout::fileEncodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QString text = QStringLiteral("ŞUBE ADI~@SUBEADI&1\r\nİL~@IL&0\r\n");
    QByteArray le("\xFF\xFE"), be("\xFE\xFF");
    for (QChar c : text) {
        le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    QTest::newRow("Windows-1254") << QByteArray("\xDEUBE ADI~@SUBEADI&1\r\n\xDDL~@IL&0\r\n");
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    QTest::newRow("UTF-8 without mark") << text.toUtf8();
    QTest::newRow("UTF-16 LE") << le;
    QTest::newRow("UTF-16 BE") << be;
    QTest::newRow("LF line ends, no final one") << QString("ŞUBE ADI~@SUBEADI&1\nİL~@IL&0").toUtf8();
}

void tst_FieldLayout::fileEncodings()
{
    QFETCH(QByteArray, bytes);
    test::TempFolder folder;
    folder.write("L.FMT", bytes);
    const FieldLayout expected = {{"ŞUBE ADI", "@SUBEADI", true}, {"İL", "@IL", false}};
    QCOMPARE(readLayoutFile(folder.file("L.FMT")), expected);
}

void tst_FieldLayout::writtenFileBytes()
{
    test::TempFolder folder;
    writeLayoutFile(folder.file("A.FMT"), {{"CARİ KODU", "@CARIKODU", true}, {"AKTİF", "@AKTIF", false}});
    QCOMPARE(folder.read("A.FMT"), QByteArray("CAR\xDD KODU~@CARIKODU&1\r\nAKT\xDD" "F~@AKTIF&0\r\n"));
    writeLayoutFile(folder.file("B.FMT"), {});
    QCOMPARE(folder.read("B.FMT"), QByteArray());
    QCOMPARE(readLayoutFile(folder.file("B.FMT")), FieldLayout());
}

void tst_FieldLayout::parameterOrder_data()
{
    QTest::addColumn<FieldLayout>("layout");
    QTest::addColumn<QStringList>("names"); // the filled slots
    QTest::addColumn<QString>("message");
    QTest::newRow("first and third checked")
        << FieldLayout{{"a", "@A", true}, {"b", "@B", false}, {"c", "@C", true}} << QStringList{"@A", "@C"}
        << QString();
    QTest::newRow("mandatory unchecked")
        << FieldLayout{{"k", "@CARIKODU", true}, {"n", "@CARIADI", false}} << QStringList{} << "zorunlu";
    QTest::newRow("mandatory missing from the layout passes")
        << FieldLayout{{"n", "@CARIADI", true}} << QStringList{"@CARIADI"} << QString();
    QTest::newRow("mandatory names are case-sensitive")
        << FieldLayout{{"n", "@cariadi", false}, {"k", "@CARIKODU", true}} << QStringList{"@CARIKODU"} << QString();
    QTest::newRow("empty parameter is a placeholder")
        << FieldLayout{{"x", "", true}, {"k", "@CARIKODU", true}} << QStringList{"", "@CARIKODU"} << QString();
    QTest::newRow("no items") << FieldLayout{} << QStringList{} << QString();
}

void tst_FieldLayout::parameterOrder()
{
    QFETCH(FieldLayout, layout);
    QFETCH(QStringList, names);
    QFETCH(QString, message);
    const MandatoryRule rule{{"@CARIKODU", "@CARIADI"}, false, "zorunlu"};
    ParameterOrder order;
    order.names.fill("stale");
    QCOMPARE(buildParameterOrder(layout, rule, order), message);
    if (!message.isEmpty())
        return;
    QCOMPARE(order.filled, names.size());
    for (int i = 0; i < ParameterOrder::slotCount; ++i)
        QCOMPARE(order.names[i], i < names.size() ? names[i] : QString());
}

void tst_FieldLayout::moreThan101CheckedItemsRefused()
{
    FieldLayout layout;
    for (int i = 0; i < 101; ++i)
        layout.append({"c", QString("@P%1").arg(i), true});
    ParameterOrder order;
    QCOMPARE(buildParameterOrder(layout, {}, order), QString());
    QCOMPARE(order.names[100], QString("@P100"));
    layout.append({"c", "@P101", true});
    QCOMPARE(buildParameterOrder(layout, {}, order), tooManyFieldsMessage());
    layout.last().checked = false;
    QCOMPARE(buildParameterOrder(layout, {}, order), QString());
    const MandatoryRule all{{}, true, "hepsi"};
    QCOMPARE(buildParameterOrder(layout, all, order), QString("hepsi"));
}

QTEST_GUILESS_MAIN(tst_FieldLayout)
#include "tst_fieldlayout.moc"
