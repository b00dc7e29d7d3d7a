// XML property lists: Foundation's bytes on write, other writers' forms on
// read, and every malformed document refused with its line and column.
#include "storage/plist.h"
#include "storage/records.h"
#include "testsupport.h"

#include <QScopeGuard>
#include <QTest>
#include <QTimeZone>
#include <QUrl>

#include <clocale>
#include <limits>
#include <string>

using namespace kov;
using namespace Qt::StringLiterals;

namespace {

const QByteArray kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                           "<plist version=\"1.0\">\n";
const double inf = std::numeric_limits<double>::infinity();
using i64 = std::numeric_limits<qlonglong>;
const qulonglong u64max = std::numeric_limits<qulonglong>::max();

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), QTimeZone::utc());
}

QByteArray bytesUpTo(int n)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b.append(char(i));
    return b;
}

// Same value and same kind: an integer must not come back as a real, a date
// must keep its milliseconds.
bool same(const QVariant &a, const QVariant &b)
{
    return valuesEqual(a, b) && writePlist(a) == writePlist(b);
}

QVariant read(const QByteArray &bytes)
{
    QVariant value;
    readPlist(bytes, &value, nullptr);
    return value;
}

} // namespace

class Tst_plist : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What a value writes as, and what that reads back as (null: the value).
    // Typed text goes through xmlCarriableText, so a string must come back as
    // xmlCarriableText gives it: characters XML cannot carry become U+FFFD.
    void writesFoundationBytes_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QVariant>("back");
        auto row = [](const char *name, const QVariant &v, const QByteArray &body,
                      const QVariant &back = {}) { QTest::newRow(name) << v << body << back; };
        const QByteArray r = "\xEF\xBF\xBD";
        row("markup", u"a<b>&c\"'\r\n"_s, "<string>a&lt;b&gt;&amp;c\"'\r\n</string>\n");
        row("controls; tab, LF, DEL kept", QString::fromUtf16(u"\u0000\u001B\t\n\u007F", 5),
            "<string>" + r + r + "\t\n\x7F</string>\n", u"\uFFFD\uFFFD\t\n\u007F"_s);
        row("U+FFFE, U+FFFF", u"\uFFFE\uFFFF"_s, "<string>" + r + r + "</string>\n", u"\uFFFD\uFFFD"_s);
        row("lone high at the end", u"x"_s + QChar(0xD83C), "<string>x" + r + "</string>\n", u"x\uFFFD"_s);
        row("low, high, pair", QString(QChar(0xDFE0)) + QChar(0xD83C) + u"\U0001F3E0"_s,
            "<string>" + r + r + "\xF0\x9F\x8F\xA0</string>\n", u"\uFFFD\uFFFD\U0001F3E0"_s);
        row("int", int(-42), "<integer>-42</integer>\n", qlonglong(-42));
        row("uint64 max", u64max, "<integer>18446744073709551615</integer>\n");
        row("real negative zero", -0.0, "<real>0.0</real>\n", 0.0);
        row("real float", 0.1f, "<real>0.10000000149011612</real>\n", double(0.1f));
        row("real nan", qQNaN(), "<real>nan</real>\n");
        row("real infinities", QVariantList{inf, -inf},
            "<array>\n\t<real>+infinity</real>\n\t<real>-infinity</real>\n</array>\n");
        row("date just before 1970", QDateTime::fromMSecsSinceEpoch(-1, QTimeZone::utc()),
            "<date>1969-12-31T23:59:59Z</date>\n", utc(1969, 12, 31, 23, 59, 59));
        row("date milliseconds dropped", utc(2038, 1, 19, 3, 14, 8, 999),
            "<date>2038-01-19T03:14:08Z</date>\n", utc(2038, 1, 19, 3, 14, 8));
        row("date local time", QDateTime(QDate(2024, 2, 29), QTime(2, 0), QTimeZone("America/New_York")),
            "<date>2024-02-29T07:00:00Z</date>\n", utc(2024, 2, 29, 7));
        row("date past 9999", utc(10000, 6, 1), "<date>9999-12-31T23:59:59Z</date>\n",
            utc(9999, 12, 31, 23, 59, 59));
        row("date 1 BCE", utc(-1, 6, 1), "<date>0001-01-01T00:00:00Z</date>\n", utc(1, 1, 1));
        row("date invalid", QDateTime(), "<string></string>\n", u""_s);
        for (int n : {0, 1, 2, 57, 58}) {
            const QByteArray b64 = bytesUpTo(n).toBase64();
            const QByteArray lines =
                n ? b64.left(76) + '\n' + (n > 57 ? b64.mid(76) + '\n' : QByteArray()) : QByteArray();
            row(qPrintable(u"data %1"_s.arg(n)), bytesUpTo(n), "<data>\n" + lines + "</data>\n");
        }
        // UTF-16 code-unit order: the emoji's high surrogate sorts before the full-width A.
        const QVariantMap keys{{u"\uFF21"_s, true}, {u"\U0001F511"_s, true}, {u"<&>"_s, true}};
        row("hash keys sorted, escaped", QVariantHash(keys.cbegin(), keys.cend()),
            "<dict>\n\t<key>&lt;&amp;&gt;</key>\n\t<true/>\n\t<key>\xF0\x9F\x94\x91</key>\n\t<true/>\n"
            "\t<key>\xEF\xBC\xA1</key>\n\t<true/>\n</dict>\n",
            keys);
        row("other kinds as text", QVariantList{QDate(2024, 3, 14), QUrl(u"file:///r.pdf"_s)},
            "<array>\n\t<string>2024-03-14</string>\n\t<string>file:///r.pdf</string>\n</array>\n",
            QVariantList{u"2024-03-14"_s, u"file:///r.pdf"_s});
    }
    void writesFoundationBytes()
    {
        QFETCH(QVariant, value);
        QFETCH(QByteArray, body);
        QFETCH(QVariant, back);
        const QByteArray bytes = writePlist(value);
        QCOMPARE(bytes, kHeader + body + "</plist>\n");
        const QVariant again = read(bytes);
        QVERIFY(same(again, back.isValid() ? back : value));
        if (value.typeId() == QMetaType::QString)
            QCOMPARE(xmlCarriableText(value.toString()), again.toString());
    }

    void rewritesFoundationFileByteForByte()
    {
        const QByteArray original = test::readAll(QStringLiteral(KOV_TEST_DATA "/plist-foundation.plist"));
        const QVariant value = read(original);
        const QVariantMap record = value.toList().value(1).toMap();
        QCOMPARE(record.value(ServiceDateKey).toDateTime().timeZone(), QTimeZone::utc());
        QCOMPARE(writePlist(value), original);
    }

    void readsPythonFile()
    {
        const QVariantList list =
            read(test::readAll(QStringLiteral(KOV_TEST_DATA "/plist-python.plist"))).toList();
        const QVariantMap job = list.value(0).toMap(), kinds = list.value(1).toMap();
        QCOMPARE(job.value(BookMarkDataKeyForReceipt).toByteArray(), bytesUpTo(256) + QByteArray(44, '\0'));
        QVERIFY(same(kinds.value(u"Reals"_s),
                     QVariantList{0.1, 1234.5, 950.0, 0.0, -2.5e-7, inf, -inf, qQNaN()}));
        QVERIFY(same(kinds.value(u"Integers"_s),
                     QVariantList{qlonglong(0), qlonglong(-1), i64::max(), i64::min(), u64max}));
    }

    // Other writers' forms read as their values; malformed documents are
    // refused with the place of the fault (expected value null).
    void reads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("message"); // a part of it
        auto ok = [](const char *name, const QByteArray &bytes, const QVariant &expected) {
            QTest::newRow(name) << bytes << expected << 0 << 0 << QString();
        };
        auto bad = [](const char *name, const QByteArray &bytes, int line, int column, const char *message) {
            QTest::newRow(name) << bytes << QVariant() << line << column << QString::fromUtf8(message);
        };
        ok("spaces and CRLF",
           "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<plist version=\"1.0\">\r\n  <array>\r\n"
           "    <string>x</string>\r\n  </array>\r\n</plist>\r\n",
           QVariantList{u"x"_s});
        ok("bare root, byte-order mark", "\xEF\xBB\xBF<?xml version=\"1.0\"?><integer>5</integer>",
           qlonglong(5));
        ok("comments, CDATA, DOCTYPE subset",
           "<!DOCTYPE plist [ <!ELEMENT plist ANY> ]><!-- a --><plist><array><!-- c --><string>x<!-- d "
           "-->y<![CDATA[<b>&c]]></string></array></plist><!-- e -->",
           QVariantList{u"xy<b>&c"_s});
        ok("references", "<string>&lt;&gt;&amp;&quot;&apos;&#65;&#x000042;&#x1F3E1;&#13;</string>",
           u"<>&\"'AB\U0001F3E1\r"_s);
        ok("key reference, last of twin keys",
           "<dict><key>a&amp;b</key><integer>1</integer><key>a&amp;b</key><integer>2</integer></dict>",
           QVariantMap{{u"a&b"_s, qlonglong(2)}});
        ok("integer spaces, plus", "<integer> +42\n</integer>", qlonglong(42));
        ok("integer negative hex", "<integer>-0X10</integer>", qlonglong(-16));
        ok("real plus", "<real>+1.5</real>", 1.5);
        ok("real NaN", "<real>NaN</real>", qQNaN());
        ok("date fraction", "<date>2024-03-14T07:00:00.5Z</date>", utc(2024, 3, 14, 7, 0, 0, 500));
        ok("date long fraction", "<date> 1969-12-31T23:59:59.123456Z\n</date>",
           utc(1969, 12, 31, 23, 59, 59, 123));
        ok("data broken anywhere", "<data>\n  AA\tEC\r\n Aw =\n=</data>", QByteArray("\0\1\2\3", 4));
        ok("data unpadded", "<data>AAECAw</data>", QByteArray("\0\1\2\3", 4));
        ok("data two characters", "<data>/w</data>", QByteArray("\xFF"));
        ok("attribute reference", "<plist version=\"1&#46;0\"><true/></plist>", true);
        // White space before an end tag counts only where nothing but text came before it.
        ok("space by an end tag",
           "<array><string> </string><string>a<![CDATA[b]]> </string><string>x<!--c--> </string></array>",
           QVariantList{u" "_s, u"ab"_s, u"x "_s});
        ok("instruction, CDATA as written", "<array><?pi a>b?><string><![CDATA[a&amp;b]]></string>"
           "<string>a&amp;b</string></array>", QVariantList{u"a&amp;b"_s, u"a&b"_s});
        bad("empty", "", 0, 0, "empty");
        bad("not XML", "Gutters cleaned on Monday.\n", 1, 1, "not an XML property list");
        bad("truncated", "<plist version=\"1.0\">\r\n<array>\r\n\t<string>ab", 3, 12, "ends before");
        bad("binary", QByteArray("bplist00\xd1\x01\x02QaQb\x08\x0b\x00", 17), 1, 1, "binary property lists");
        bad("UTF-16", QByteArray("\xFF\xFE<\0p\0", 6), 1, 1, "UTF-16");
        bad("entity declaration",
            "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [\n  <!ENTITY b \"x\">\n]>\n<true/>", 3, 3,
            "entity declarations");
        bad("undefined entity", "<plist>\n<string>a &nbsp; b</string>\n</plist>", 2, 11,
            "undefined entity &nbsp;");
        bad("bare ampersand", "<plist><string>a & b</string></plist>", 1, 18, "'&'");
        bad("raw control character", "<plist><string>a\x01z</string></plist>", 1, 17, "U+0001");
        bad("raw U+FFFF", "<plist><string>\xEF\xBF\xBF</string></plist>", 1, 16, "U+FFFF");
        bad("invalid UTF-8", "<plist>\n<string>ab\xC3(</string></plist>", 2, 11, "UTF-8");
        bad("column counts characters", "<array><string>\xC3\xA4\xC3\xA4</string><foo/></array>", 1, 27,
            "unknown element <foo>");
        bad("integer abc", "<plist>\n\t<integer>abc</integer>\n</plist>", 2, 11, "not an integer");
        bad("integer overflow", "<integer>18446744073709551616</integer>", 1, 10, "out of range");
        bad("integer underflow", "<integer>-9223372036854775809</integer>", 1, 10, "out of range");
        bad("real with comma", "<real>1,5</real>", 1, 7, "not a real");
        bad("date 29 February 1900", "<date>1900-02-29T00:00:00Z</date>", 1, 7, "not a date");
        bad("date year 0", "<date>0000-01-01T00:00:00Z</date>", 1, 7, "not a date");
        bad("date hour 24", "<date>2024-03-14T24:00:00Z</date>", 1, 7, "not a date");
        bad("base64 bad character", "<plist>\n<data>\n\tAAEC\n\tAw*E\n</data>\n</plist>", 4, 4, "'*'");
        bad("base64 after padding", "<data>AA==AA==</data>", 1, 11, "padding");
        bad("base64 truncated", "<data>AAECA</data>", 1, 12, "middle of a byte");
        bad("key without value", "<plist>\n<dict>\n\t<key>Name</key>\n</dict>\n</plist>", 3, 2,
            "<key>Name</key> has no value");
        bad("value without key", "<dict><string>x</string></dict>", 1, 7, "must follow a <key>");
        bad("text in array", "<array>\n  x\n</array>", 2, 3, "text");
        bad("element in string", "<string>a<b/>c</string>", 1, 10, "cannot hold <b>");
        bad("end tag of another name", "<array></arrays>", 1, 10, "does not match");
        bad("two values in <plist>", "<plist><true/><false/></plist>", 1, 15, "only one value");
        bad("text beside the root told first", "<integer>x</integer>y", 1, 21, "text after the root");
        bad("declaration not first", "\n<?xml version=\"1.0\"?><true/>", 2, 1, "must come first");
        bad("two roots", "<plist><true/></plist>\n<plist><true/></plist>", 2, 1, "second root");
        bad("latin-1 declared", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><true/>", 1, 1, "ISO-8859-1");
        bad("deep nesting", QByteArray("<array>").repeated(100000) + QByteArray("</array>").repeated(100000),
            1, 1 + 7 * kMaxPlistDepth, "nested deeper");
    }
    void reads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QVariant, expected);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, message);
        QVariant value = u"stale"_s;
        PlistError error;
        QCOMPARE(readPlist(bytes, &value, &error), expected.isValid());
        QVERIFY(expected.isValid() ? same(value, expected) : !value.isValid());
        QVERIFY2(error.message.contains(message), qPrintable(error.message));
        QCOMPARE(error.line, line);
        QCOMPARE(error.column, column);
        // A '%1' in the message (it may quote the document) survives.
        const QString placed = line ? u"line %1, column %2: "_s.arg(line).arg(column) : QString();
        QCOMPARE((PlistError{u"bad %1"_s, line, column}.toString()), placed + u"bad %1"_s);
    }

    // As deep as the cap reads, one level more is refused; base64 lines keep
    // at most 8 tabs however deep the data.
    void nestingLimit()
    {
        QVariant value = QVariantMap{{u"k"_s, bytesUpTo(20)}};
        for (int i = 1; i < kMaxPlistDepth; ++i)
            value = QVariantList{value};
        const QByteArray bytes = writePlist(value);
        QVERIFY(bytes.contains("\n\t\t\t\t\t\t\t\tAAECAwQFBgcI\n"));
        QCOMPARE(writePlist(read(bytes)), bytes);
        QVERIFY(!read(writePlist(QVariantList{value})).isValid());
    }

    // A decimal comma in the C locale changes neither what is read nor what is written.
    void decimalCommaLocaleChangesNothing()
    {
        const std::string previous = std::setlocale(LC_ALL, nullptr);
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            QFAIL("the de_DE.UTF-8 locale is missing: generate it (locale-gen de_DE.UTF-8) to run this test");
        const auto restore = qScopeGuard([&previous] { std::setlocale(LC_ALL, previous.c_str()); });
        QCOMPARE(std::strtod("1234.5", nullptr), 1234.0); // the locale is in force
        const QByteArray bytes = kHeader + "<real>1234.5</real>\n</plist>\n";
        QVERIFY(same(read(bytes), 1234.5));
        QCOMPARE(writePlist(1234.5), bytes);
    }
};

QTEST_GUILESS_MAIN(Tst_plist)
#include "tst_plist.moc"
