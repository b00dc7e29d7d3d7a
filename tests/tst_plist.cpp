#include "storage/plist.h"

#include <QDateTime>
#include <QFile>
#include <QScopeGuard>
#include <QTest>
#include <QTimeZone>
#include <QUrl>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

using namespace kov;

namespace {

const QByteArray kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                           "<plist version=\"1.0\">\n";

QByteArray doc(const QByteArray &body)
{
    return kHeader + body + "</plist>\n";
}

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

QVariant nested(QVariant v, int levels)
{
    for (int i = 0; i < levels; ++i)
        v = QVariantList{v};
    return v;
}

QByteArray bytesUpTo(int n)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b.append(char(i));
    return b;
}

// Where `actual` differs from `expected` (kinds included: an integer must
// come back as qlonglong, a date in UTC), or an empty string.
QString difference(const QVariant &actual, const QVariant &expected,
                   const QString &path = QStringLiteral("root"))
{
    if (actual.typeId() != expected.typeId())
        return QStringLiteral("%1: type %2, expected %3").arg(path, actual.typeName(), expected.typeName());
    switch (expected.typeId()) {
    case QMetaType::Double: {
        const double a = actual.toDouble(), e = expected.toDouble();
        if (std::isnan(e) ? std::isnan(a) : std::memcmp(&a, &e, sizeof a) == 0)
            return {};
        return QStringLiteral("%1: %2, expected %3").arg(path).arg(a, 0, 'g', 17).arg(e, 0, 'g', 17);
    }
    case QMetaType::QDateTime: {
        const QDateTime a = actual.toDateTime(), e = expected.toDateTime();
        if (a.timeZone() != QTimeZone::utc())
            return path + QStringLiteral(": date not in UTC");
        if (a.toMSecsSinceEpoch() != e.toMSecsSinceEpoch())
            return QStringLiteral("%1: %2, expected %3")
                .arg(path, a.toString(Qt::ISODateWithMs), e.toString(Qt::ISODateWithMs));
        return {};
    }
    case QMetaType::QVariantList: {
        const QVariantList a = actual.toList(), e = expected.toList();
        if (a.size() != e.size())
            return QStringLiteral("%1: %2 elements, expected %3").arg(path).arg(a.size()).arg(e.size());
        for (qsizetype i = 0; i < a.size(); ++i) {
            const QString d = difference(a[i], e[i], QStringLiteral("%1[%2]").arg(path).arg(i));
            if (!d.isEmpty())
                return d;
        }
        return {};
    }
    case QMetaType::QVariantMap: {
        const QVariantMap a = actual.toMap(), e = expected.toMap();
        if (a.keys() != e.keys())
            return QStringLiteral("%1: keys %2, expected %3")
                .arg(path, a.keys().join(u','), e.keys().join(u','));
        for (auto it = e.cbegin(); it != e.cend(); ++it) {
            const QString d = difference(a.value(it.key()), it.value(), path + u'.' + it.key());
            if (!d.isEmpty())
                return d;
        }
        return {};
    }
    default:
        if (actual != expected)
            return QStringLiteral("%1: \"%2\", expected \"%3\"")
                .arg(path, actual.toString(), expected.toString());
        return {};
    }
}

QByteArray fixture(const char *name)
{
    QFile file(QStringLiteral(KOV_TEST_DATA "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open fixture %s", name);
    return file.readAll();
}

} // namespace

class Tst_plist : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void writesFoundationBytes_data();
    void writesFoundationBytes();
    void rewritesFoundationFileByteForByte();
    void readsPythonFile();
    void readsOtherWriters_data();
    void readsOtherWriters();
    void refusesMalformed_data();
    void refusesMalformed();
    void nestingLimit_data();
    void nestingLimit();
    void decimalCommaLocaleChangesNothing();
    void errorText_data();
    void errorText();
    void carriableTextIsWhatTheFileHolds_data();
    void carriableTextIsWhatTheFileHolds();
};

void Tst_plist::roundTrip_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("expected"); // null: same as value

    const double dmax = std::numeric_limits<double>::max();
    const double denorm = std::numeric_limits<double>::denorm_min();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("string") << QVariant(u"Clean gutters"_qs) << QVariant();
    QTest::newRow("string markup") << QVariant(u"a<b>&c \"q\" 'a' ]]>"_qs) << QVariant();
    QTest::newRow("string unicode") << QVariant(u"M\u00fcller \u6e56\u7554 \U0001F3E1 e\u0301"_qs)
                                    << QVariant();
    QTest::newRow("string empty") << QVariant(QString()) << QVariant(QString(""));
    QTest::newRow("string white space") << QVariant(u"  \t\n  "_qs) << QVariant();
    QTest::newRow("string carriage returns kept") << QVariant(u"a\r\nb\rc"_qs) << QVariant();
    QTest::newRow("string controls replaced")
        << QVariant(u"a\u0001b\u000Bc\u001F"_qs) << QVariant(u"a\uFFFDb\uFFFDc\uFFFD"_qs);
    QTest::newRow("string lone surrogates replaced")
        << QVariant(u"x"_qs + QChar(0xD800) + u"y"_qs + QChar(0xDC00)) << QVariant(u"x\uFFFDy\uFFFD"_qs);
    QTest::newRow("string noncharacters replaced")
        << QVariant(u"\uFFFE\uFFFF"_qs) << QVariant(u"\uFFFD\uFFFD"_qs);
    QTest::newRow("integer zero") << QVariant(qlonglong(0)) << QVariant();
    QTest::newRow("integer negative") << QVariant(qlonglong(-1)) << QVariant();
    QTest::newRow("integer int64 max") << QVariant(std::numeric_limits<qlonglong>::max()) << QVariant();
    QTest::newRow("integer int64 min") << QVariant(std::numeric_limits<qlonglong>::min()) << QVariant();
    QTest::newRow("integer uint64 max") << QVariant(std::numeric_limits<qulonglong>::max()) << QVariant();
    QTest::newRow("integer int") << QVariant(int(-5)) << QVariant(qlonglong(-5));
    QTest::newRow("integer small unsigned") << QVariant(qulonglong(7)) << QVariant(qlonglong(7));
    QTest::newRow("real 0.1") << QVariant(0.1) << QVariant();
    QTest::newRow("real 1234.5") << QVariant(1234.5) << QVariant();
    QTest::newRow("real negative tiny") << QVariant(-2.5e-7) << QVariant();
    QTest::newRow("real max") << QVariant(dmax) << QVariant();
    QTest::newRow("real subnormal") << QVariant(-denorm) << QVariant();
    QTest::newRow("real zero") << QVariant(0.0) << QVariant();
    QTest::newRow("real negative zero") << QVariant(-0.0) << QVariant(0.0);
    QTest::newRow("real infinity") << QVariant(inf) << QVariant();
    QTest::newRow("real minus infinity") << QVariant(-inf) << QVariant();
    QTest::newRow("real nan") << QVariant(std::nan("")) << QVariant();
    QTest::newRow("real float") << QVariant(0.1f) << QVariant(double(0.1f));
    QTest::newRow("date year 1") << QVariant(utc(1, 1, 1)) << QVariant();
    QTest::newRow("date 1900") << QVariant(utc(1900, 1, 1)) << QVariant();
    QTest::newRow("date before epoch") << QVariant(utc(1969, 12, 31, 23, 59, 59)) << QVariant();
    QTest::newRow("date after 2038") << QVariant(utc(2038, 1, 19, 3, 14, 8)) << QVariant();
    QTest::newRow("date leap day 2000") << QVariant(utc(2000, 2, 29, 12)) << QVariant();
    QTest::newRow("date year 9999") << QVariant(utc(9999, 12, 31, 23, 59, 59)) << QVariant();
    QTest::newRow("date milliseconds dropped")
        << QVariant(utc(2024, 3, 14, 7, 0, 0, 999)) << QVariant(utc(2024, 3, 14, 7));
    QTest::newRow("date before epoch rounds down")
        << QVariant(utc(1969, 12, 31, 23, 59, 59, 500)) << QVariant(utc(1969, 12, 31, 23, 59, 59));
    QTest::newRow("date with offset") << QVariant(QDateTime(QDate(2024, 3, 14), QTime(9, 0), QTimeZone(7200)))
                                      << QVariant(utc(2024, 3, 14, 7));
    QTest::newRow("date past 9999 clamped")
        << QVariant(utc(10000, 6, 1)) << QVariant(utc(9999, 12, 31, 23, 59, 59));
    for (int n : {0, 1, 2, 3, 45, 46, 57, 300}) {
        const QByteArray name = "data " + QByteArray::number(n);
        QTest::newRow(name.constData()) << QVariant(bytesUpTo(n)) << QVariant();
    }
    QTest::newRow("bool true") << QVariant(true) << QVariant();
    QTest::newRow("bool false") << QVariant(false) << QVariant();
    QTest::newRow("array empty") << QVariant(QVariantList()) << QVariant();
    QTest::newRow("dict empty") << QVariant(QVariantMap()) << QVariant();
    QTest::newRow("array nested") << QVariant(
                                         QVariantList{QVariantList{QVariantList{}, u"x"_qs}, QVariantMap{}})
                                  << QVariant();
    const QVariantMap record{
        {u"ServiceDateKey"_qs, utc(2024, 3, 14, 7)},
        {u"BookMarkDataKeyForReceipt"_qs, bytesUpTo(200)},
        {u"Total"_qs, 129.6},
        {u"\U0001F511"_qs, QVariantMap{{u"inner"_qs, QVariantList{true, qlonglong(3)}}}}};
    QTest::newRow("dict nested") << QVariant(QVariantList{record, record}) << QVariant();
    QTest::newRow("string list") << QVariant(QStringList{u"a"_qs, u"b"_qs})
                                 << QVariant(QVariantList{u"a"_qs, u"b"_qs});
    QTest::newRow("hash") << QVariant(QVariantHash{{u"b"_qs, 1.5}, {u"a"_qs, false}})
                          << QVariant(QVariantMap{{u"b"_qs, 1.5}, {u"a"_qs, false}});
    QTest::newRow("record list") << QVariant::fromValue(QList<QVariantMap>{{{u"a"_qs, 1.5}}, {}})
                                 << QVariant(QVariantList{QVariantMap{{u"a"_qs, 1.5}}, QVariantMap()});
    QTest::newRow("map of strings") << QVariant::fromValue(QMap<QString, QString>{{u"k"_qs, u"v"_qs}})
                                    << QVariant(QVariantMap{{u"k"_qs, u"v"_qs}});
    QTest::newRow("other kinds as text")
        << QVariant(QVariantList{QDate(2024, 3, 14), QUrl(u"file:///r.pdf"_qs), QVariant()})
        << QVariant(QVariantList{u"2024-03-14"_qs, u"file:///r.pdf"_qs, u""_qs});
}

void Tst_plist::roundTrip()
{
    QFETCH(QVariant, value);
    QFETCH(QVariant, expected);
    if (!expected.isValid())
        expected = value;
    const QByteArray bytes = writePlist(value);
    QVariant read;
    PlistError error;
    QVERIFY2(readPlist(bytes, &read, &error),
             qPrintable(error.toString() + u'\n' + QString::fromUtf8(bytes)));
    QVERIFY(error.isNull());
    const QString diff = difference(read, expected);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    // What we read back writes the very same bytes.
    QCOMPARE(writePlist(read), bytes);
}

void Tst_plist::writesFoundationBytes_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("string markup") << QVariant(u"a<b>&c\"'"_qs)
                                   << QByteArray("<string>a&lt;b&gt;&amp;c\"'</string>\n");
    QTest::newRow("string empty") << QVariant(QString()) << QByteArray("<string></string>\n");
    QTest::newRow("string control") << QVariant(u"a\u0001b"_qs)
                                    << QByteArray("<string>a\xEF\xBF\xBD"
                                                  "b</string>\n");
    QTest::newRow("string unicode") << QVariant(u"\u00e9\U0001F3E1"_qs)
                                    << QByteArray("<string>\xC3\xA9\xF0\x9F\x8F\xA1</string>\n");
    QTest::newRow("integer") << QVariant(qlonglong(-42)) << QByteArray("<integer>-42</integer>\n");
    QTest::newRow("integer uint64") << QVariant(std::numeric_limits<qulonglong>::max())
                                    << QByteArray("<integer>18446744073709551615</integer>\n");
    QTest::newRow("real 0.1") << QVariant(0.1) << QByteArray("<real>0.10000000000000001</real>\n");
    QTest::newRow("real 950") << QVariant(950.0) << QByteArray("<real>950</real>\n");
    QTest::newRow("real 1234.5") << QVariant(1234.5) << QByteArray("<real>1234.5</real>\n");
    QTest::newRow("real zero") << QVariant(0.0) << QByteArray("<real>0.0</real>\n");
    QTest::newRow("real negative zero") << QVariant(-0.0) << QByteArray("<real>0.0</real>\n");
    QTest::newRow("real 1e20") << QVariant(1e20) << QByteArray("<real>1e+20</real>\n");
    QTest::newRow("real tiny") << QVariant(-2.5e-7) << QByteArray("<real>-2.4999999999999999e-07</real>\n");
    QTest::newRow("real nan") << QVariant(std::nan("")) << QByteArray("<real>nan</real>\n");
    QTest::newRow("real infinity") << QVariant(std::numeric_limits<double>::infinity())
                                   << QByteArray("<real>+infinity</real>\n");
    QTest::newRow("real minus infinity")
        << QVariant(-std::numeric_limits<double>::infinity()) << QByteArray("<real>-infinity</real>\n");
    QTest::newRow("date year 1") << QVariant(utc(1, 1, 1))
                                 << QByteArray("<date>0001-01-01T00:00:00Z</date>\n");
    QTest::newRow("date 1900") << QVariant(utc(1900, 2, 28, 1, 2, 3))
                               << QByteArray("<date>1900-02-28T01:02:03Z</date>\n");
    QTest::newRow("date just before epoch") << QVariant(QDateTime::fromMSecsSinceEpoch(-1, Qt::UTC))
                                            << QByteArray("<date>1969-12-31T23:59:59Z</date>\n");
    QTest::newRow("date 2038") << QVariant(utc(2038, 1, 19, 3, 14, 8, 999))
                               << QByteArray("<date>2038-01-19T03:14:08Z</date>\n");
    QTest::newRow("date 9999") << QVariant(utc(9999, 12, 31, 23, 59, 59))
                               << QByteArray("<date>9999-12-31T23:59:59Z</date>\n");
    QTest::newRow("date 1 BCE clamped")
        << QVariant(utc(-1, 6, 1)) << QByteArray("<date>0001-01-01T00:00:00Z</date>\n");
    QTest::newRow("date local time") << QVariant(QDateTime(QDate(2024, 3, 14), QTime(2, 0),
                                                           QTimeZone("America/New_York")))
                                     << QByteArray("<date>2024-03-14T06:00:00Z</date>\n");
    QTest::newRow("date invalid") << QVariant(QDateTime()) << QByteArray("<string></string>\n");
    QTest::newRow("true") << QVariant(true) << QByteArray("<true/>\n");
    QTest::newRow("false") << QVariant(false) << QByteArray("<false/>\n");
    QTest::newRow("data empty") << QVariant(QByteArray()) << QByteArray("<data>\n</data>\n");
    QTest::newRow("data one full line")
        << QVariant(bytesUpTo(57)) << ("<data>\n" + bytesUpTo(57).toBase64() + "\n</data>\n");
    QTest::newRow("data short last line")
        << QVariant(bytesUpTo(58))
        << ("<data>\n" + bytesUpTo(57).toBase64() + "\n" + bytesUpTo(58).toBase64().mid(76) + "\n</data>\n");
    QTest::newRow("data at level 1") << QVariant(QVariantList{bytesUpTo(52)})
                                     << ("<array>\n\t<data>\n\t" + bytesUpTo(51).toBase64() + "\n\t" +
                                         bytesUpTo(52).toBase64().mid(68) + "\n\t</data>\n</array>\n");
    {
        // Beyond 8 tabs the lines keep 8 tabs and 12 characters; the tags keep their level.
        QByteArray body;
        for (int i = 0; i < 10; ++i)
            body += QByteArray(i, '\t') + "<array>\n";
        body += QByteArray(10, '\t') + "<data>\n";
        const QByteArray b64 = bytesUpTo(20).toBase64(); // 28 characters
        for (int pos = 0; pos < b64.size(); pos += 12)
            body += QByteArray(8, '\t') + b64.mid(pos, 12) + "\n";
        body += QByteArray(10, '\t') + "</data>\n";
        for (int i = 9; i >= 0; --i)
            body += QByteArray(i, '\t') + "</array>\n";
        QTest::newRow("data at level 10") << nested(bytesUpTo(20), 10) << body;
    }
    QTest::newRow("array empty") << QVariant(QVariantList()) << QByteArray("<array/>\n");
    QTest::newRow("dict empty") << QVariant(QVariantMap()) << QByteArray("<dict/>\n");
    QTest::newRow("nesting") << QVariant(QVariantMap{{u"a"_qs, QVariantList{qlonglong(1), QVariantMap{}}}})
                             << QByteArray("<dict>\n\t<key>a</key>\n\t<array>\n\t\t<integer>1</integer>\n"
                                           "\t\t<dict/>\n\t</array>\n</dict>\n");
    // UTF-16 code-unit order: the emoji's high surrogate (D83D) sorts before
    // the full-width A (FF21), unlike code-point order.
    const QByteArray sorted =
        "<dict>\n\t<key>B</key>\n\t<true/>\n\t<key>a</key>\n\t<true/>\n\t<key>b</key>\n\t<true/>\n"
        "\t<key>\xC3\xA9</key>\n\t<true/>\n\t<key>\xF0\x9F\x94\x91</key>\n\t<true/>\n"
        "\t<key>\xEF\xBC\xA1</key>\n\t<true/>\n</dict>\n";
    const QStringList keys{u"b"_qs, u"\uFF21"_qs, u"\U0001F511"_qs, u"a"_qs, u"\u00e9"_qs, u"B"_qs};
    QVariantMap map;
    QVariantHash hash;
    for (const QString &k : keys) {
        map.insert(k, true);
        hash.insert(k, true);
    }
    QTest::newRow("keys sorted (map)") << QVariant(map) << sorted;
    QTest::newRow("keys sorted (hash)") << QVariant(hash) << sorted;
    QTest::newRow("key escaped")
        << QVariant(QVariantMap{{u"<k&>"_qs, u""_qs}})
        << QByteArray("<dict>\n\t<key>&lt;k&amp;&gt;</key>\n\t<string></string>\n</dict>\n");
    QTest::newRow("date-only as text")
        << QVariant(QDate(2024, 3, 14)) << QByteArray("<string>2024-03-14</string>\n");
}

void Tst_plist::writesFoundationBytes()
{
    QFETCH(QVariant, value);
    QFETCH(QByteArray, body);
    QCOMPARE(writePlist(value), doc(body));
}

void Tst_plist::rewritesFoundationFileByteForByte()
{
    const QByteArray original = fixture("plist-foundation.plist");
    QVariant value;
    PlistError error;
    QVERIFY2(readPlist(original, &value, &error), qPrintable(error.toString()));
    const QVariantList records = value.toList();
    QCOMPARE(records.size(), 3);
    QCOMPARE(records[0].toMap().value(u"ProviderNameKey"_qs), QVariant(u"Bob's Gutters & Roofing"_qs));
    QCOMPARE(records[1].toMap().value(u"BookMarkDataKeyForReceipt"_qs).toByteArray().size(), 200);
    QCOMPARE(records[1].toMap().value(u"NoteKey"_qs).toString(),
             u"Replaced filter <MERV 13> & checked \"ducts\" \u2014 it's fine"_qs);
    QCOMPARE(records[1].toMap().value(u"ServiceDateKey"_qs).toDateTime(), utc(1969, 12, 31, 23, 59, 59));
    QCOMPARE(records[2].toMap().value(u"Measurements"_qs).toMap().value(u"Serial"_qs),
             QVariant(std::numeric_limits<qlonglong>::max()));
    QCOMPARE(writePlist(value), original);
}

void Tst_plist::readsPythonFile()
{
    QVariant value;
    PlistError error;
    QVERIFY2(readPlist(fixture("plist-python.plist"), &value, &error), qPrintable(error.toString()));
    const double inf = std::numeric_limits<double>::infinity();
    const QVariantList expected{
        QVariantMap{{u"PropertyNameKey"_qs, u"Lake House"_qs},
                    {u"ProviderNameKey"_qs, u"Bob's Gutters & Roofing <Inc>"_qs},
                    {u"ServiceDateKey"_qs, utc(2024, 3, 14, 7)},
                    {u"TotalCostKey"_qs, u"129.60"_qs},
                    {u"NoteKey"_qs, u"line one\nline two"_qs},
                    {u"BookMarkDataKeyForReceipt"_qs, bytesUpTo(256) + QByteArray(44, '\0')}},
        QVariantMap{
            {u"Reals"_qs, QVariantList{0.1, 1234.5, 950.0, 0.0, -2.5e-7, inf, -inf, std::nan("")}},
            {u"Integers"_qs,
             QVariantList{qlonglong(0), qlonglong(-1), std::numeric_limits<qlonglong>::max(),
                          std::numeric_limits<qlonglong>::min(), std::numeric_limits<qulonglong>::max()}},
            {u"Flags"_qs, QVariantMap{{u"Done"_qs, true}, {u"Paid"_qs, false}}},
            {u"Empty"_qs, QVariantMap{{u"String"_qs, u""_qs},
                                      {u"Array"_qs, QVariantList()},
                                      {u"Dict"_qs, QVariantMap()},
                                      {u"Data"_qs, QByteArray()}}},
            {u"Dates"_qs,
             QVariantList{utc(1, 1, 1), utc(1969, 12, 31, 23, 59, 59), utc(9999, 12, 31, 23, 59, 59)}},
            {u"Unicode"_qs, u"M\u00fcnchen \u6e56\u7554 \U0001F3E1"_qs}}};
    const QString diff = difference(value, expected);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void Tst_plist::readsOtherWriters_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QVariant>("expected");

    auto row = [](const char *name, const QByteArray &bytes, const QVariant &expected) {
        QTest::newRow(name) << bytes << expected;
    };
    row("no indentation", "<plist><dict><key>a</key><integer>1</integer></dict></plist>",
        QVariantMap{{u"a"_qs, qlonglong(1)}});
    row("spaces and CRLF",
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<plist version=\"1.0\">\r\n  <array>\r\n"
        "    <string>x</string>\r\n  </array>\r\n</plist>\r\n",
        QVariantList{u"x"_qs});
    row("bare root", "<dict><key>k</key><false/></dict>", QVariantMap{{u"k"_qs, false}});
    row("byte-order mark", "\xEF\xBB\xBF<?xml version=\"1.0\"?><plist><integer>5</integer></plist>",
        qlonglong(5));
    row("comments",
        "<!-- a --><plist><!-- b --><array><!-- c --><string>x<!-- d -->y</string></array></plist><!-- e -->",
        QVariantList{u"xy"_qs});
    row("processing instruction", "<?xml-stylesheet href='a.css'?><plist><true/></plist>", true);
    row("internal subset", "<!DOCTYPE plist [ <!ELEMENT plist ANY> ]><plist><true/></plist>", true);
    row("string self-closed", "<plist><string/></plist>", u""_qs);
    row("string white space", "<plist><string>  \n </string></plist>", u"  \n "_qs);
    row("references with zeros", "<plist><string>&#x000000041;&#0000066;</string></plist>", u"AB"_qs);
    row("string references",
        "<plist><string>&lt;&gt;&amp;&quot;&apos;&#65;&#x42;&#x1F3E1;&#13;</string></plist>",
        u"<>&\"'AB\U0001F3E1\r"_qs);
    row("string CDATA", "<plist><string>a<![CDATA[<b>&c]]></string></plist>", u"a<b>&c"_qs);
    row("string carriage return", "<plist><string>a\r\nb</string></plist>", u"a\r\nb"_qs);
    row("key reference", "<dict><key>a&amp;b</key><true/></dict>", QVariantMap{{u"a&b"_qs, true}});
    row("duplicate key: last wins",
        "<dict><key>k</key><integer>1</integer><key>k</key><integer>2</integer></dict>",
        QVariantMap{{u"k"_qs, qlonglong(2)}});
    row("unsorted keys", "<dict><key>b</key><true/><key>a</key><false/></dict>",
        QVariantMap{{u"a"_qs, false}, {u"b"_qs, true}});
    row("integer spaces", "<integer> 42\n</integer>", qlonglong(42));
    row("integer plus", "<integer>+7</integer>", qlonglong(7));
    row("integer hex", "<integer>0x1F</integer>", qlonglong(31));
    row("integer negative hex", "<integer>-0X10</integer>", qlonglong(-16));
    row("integer minus zero", "<integer>-0</integer>", qlonglong(0));
    row("integer int64 min", "<integer>-9223372036854775808</integer>",
        std::numeric_limits<qlonglong>::min());
    row("integer above int64", "<integer>9223372036854775808</integer>", qulonglong(9223372036854775808ULL));
    row("real short", "<real>0.1</real>", 0.1);
    row("real exponent", "<real>1E3</real>", 1000.0);
    row("real leading dot", "<real>.5</real>", 0.5);
    row("real plus", "<real>+1.5</real>", 1.5);
    row("real spaces", "<real> 2.5\n</real>", 2.5);
    row("real nan", "<real>NaN</real>", std::nan(""));
    row("real inf", "<real>inf</real>", std::numeric_limits<double>::infinity());
    row("real +inf", "<real>+inf</real>", std::numeric_limits<double>::infinity());
    row("real -inf", "<real>-inf</real>", -std::numeric_limits<double>::infinity());
    row("real +infinity", "<real>+infinity</real>", std::numeric_limits<double>::infinity());
    row("real -infinity", "<real>-Infinity</real>", -std::numeric_limits<double>::infinity());
    row("date fraction", "<date>2024-03-14T07:00:00.5Z</date>", utc(2024, 3, 14, 7, 0, 0, 500));
    row("date long fraction", "<date>1969-12-31T23:59:59.123456Z</date>", utc(1969, 12, 31, 23, 59, 59, 123));
    row("date spaces", "<date>\n 2000-02-29T12:00:00Z </date>", utc(2000, 2, 29, 12));
    row("date year 1", "<date>0001-01-01T00:00:00Z</date>", utc(1, 1, 1));
    row("data broken anywhere", "<data>\n  AA\tEC\r\n Aw =\n=</data>", QByteArray("\0\1\2\3", 4));
    row("data unpadded", "<data>AAECAw</data>", QByteArray("\0\1\2\3", 4));
    row("data self-closed", "<data/>", QByteArray());
    row("data blank", "<data>\n\t</data>", QByteArray());
    row("attribute reference", "<plist version=\"1&#46;0\"><true/></plist>", true);
}

void Tst_plist::readsOtherWriters()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QVariant, expected);
    QVariant value;
    PlistError error;
    QVERIFY2(readPlist(bytes, &value, &error), qPrintable(error.toString()));
    const QString diff = difference(value, expected);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void Tst_plist::refusesMalformed_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("message"); // a part of it

    auto row = [](const char *name, const QByteArray &bytes, int line, int column, const char *message) {
        QTest::newRow(name) << bytes << line << column << QString::fromUtf8(message);
    };
    const QByteArray deep = "<plist>" + QByteArray("<array>").repeated(100000) +
                            QByteArray("</array>").repeated(100000) + "</plist>";
    row("empty", "", 0, 0, "empty");
    row("white space only", "  \n ", 2, 2, "no root element");
    row("not XML", "Gutters cleaned on Monday.\n", 1, 1, "not an XML property list");
    row("truncated", "<plist version=\"1.0\">\n<array>\n\t<string>ab", 3, 12, "ends before");
    row("binary", QByteArray("bplist00\xd1\x01\x02QaQb\x08\x0b\x00", 17), 1, 1, "binary property lists");
    row("UTF-16", QByteArray("\xFF\xFE<\0p\0", 6), 1, 1, "UTF-16");
    row("entity declaration",
        "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [\n  <!ENTITY boom \"x\">\n]>\n"
        "<plist><string>&boom;</string></plist>",
        3, 3, "entity declarations");
    row("undefined entity", "<plist>\n<string>a &nbsp; b</string>\n</plist>", 2, 11,
        "undefined entity &nbsp;");
    row("bare ampersand", "<plist><string>a & b</string></plist>", 1, 18, "'&'");
    row("control reference", "<plist><string>&#1;</string></plist>", 1, 16, "&#1;");
    row("raw control character",
        "<plist><string>a\x01"
        "b</string></plist>",
        1, 17, "U+0001");
    row("raw U+FFFF", "<plist><string>\xEF\xBF\xBF</string></plist>", 1, 16, "U+FFFF");
    row("invalid UTF-8", "<plist>\n<string>ab\xC3(</string></plist>", 2, 11, "UTF-8");
    row("overlong UTF-8", "<plist><string>\xC0\xAF</string></plist>", 1, 16, "UTF-8");
    row("UTF-8 surrogate", "<plist><string>\xED\xA0\x80</string></plist>", 1, 16, "UTF-8");
    row("column counts characters", "<plist><array><string>\xC3\xA4\xC3\xA4</string><foo/></array></plist>",
        1, 34, "unknown element <foo>");
    row("unknown element", "<plist>\n<array>\n\t<float>1.5</float>\n</array>\n</plist>", 3, 2,
        "unknown element <float>");
    row("mismatched end tag", "<plist><string>a</strin></plist>", 1, 19, "end tag");
    row("integer abc", "<plist>\n\t<integer>abc</integer>\n</plist>", 2, 11, "not an integer");
    row("integer empty", "<plist><integer/></plist>", 1, 8, "not an integer");
    row("integer overflow", "<integer>18446744073709551616</integer>", 1, 10, "out of range");
    row("integer underflow", "<integer>-9223372036854775809</integer>", 1, 10, "out of range");
    row("real with comma", "<real>1,5</real>", 1, 7, "not a real");
    row("date February 30", "<date>2024-02-30T00:00:00Z</date>", 1, 7, "not a date");
    row("date without Z", "<date>2024-03-14T07:00:00</date>", 1, 7, "not a date");
    row("date year 0", "<date>0000-01-01T00:00:00Z</date>", 1, 7, "not a date");
    row("date hour 24", "<date>2024-03-14T24:00:00Z</date>", 1, 7, "not a date");
    row("base64 bad character", "<plist>\n<data>\n\tAAEC\n\tAw*E\n</data>\n</plist>", 4, 4, "'*'");
    row("base64 after padding", "<data>AA==AA==</data>", 1, 11, "padding");
    row("base64 truncated", "<data>AAECA</data>", 1, 12, "middle of a byte");
    row("key without value", "<plist>\n<dict>\n\t<key>Name</key>\n</dict>\n</plist>", 3, 2,
        "<key>Name</key> has no value");
    row("key after key", "<dict><key>a</key><key>b</key><true/></dict>", 1, 7, "<key>a</key> has no value");
    row("value without key", "<dict><string>x</string></dict>", 1, 7, "must follow a <key>");
    row("key outside dict", "<plist><key>a</key></plist>", 1, 8, "outside a <dict>");
    row("text in plist", "<plist>oops<true/></plist>", 1, 8, "text");
    row("ampersand without name", "<plist><string>a &; b</string></plist>", 1, 18, "'&'");
    row("text in array", "<array>\n  x\n</array>", 2, 3, "text");
    row("element in string", "<string>a<b/>c</string>", 1, 10, "cannot hold <b>");
    row("text in true", "<true>yes</true>", 1, 7, "cannot hold text");
    row("plist holds nothing", "<plist>\n</plist>", 1, 1, "holds no value");
    row("plist holds two", "<plist><true/><false/></plist>", 1, 15, "only one value");
    row("plist inside", "<array><plist/></array>", 1, 8, "root element");
    row("two roots", "<plist><true/></plist>\n<plist><true/></plist>", 2, 1, "second root");
    row("text after root", "<plist><true/></plist>junk", 1, 23, "after the root");
    row("declaration not first", "\n<?xml version=\"1.0\"?><plist/>", 2, 1, "declaration");
    row("latin-1 declared", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><true/>", 1, 1, "ISO-8859-1");
    row("deep nesting", deep, 1, 8 + 7 * kMaxPlistDepth, "nested deeper");
}

void Tst_plist::refusesMalformed()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, message);
    QVariant value = u"stale"_qs;
    PlistError error;
    QVERIFY(!readPlist(bytes, &value, &error));
    QVERIFY(!value.isValid());
    QVERIFY2(error.message.contains(message), qPrintable(error.message));
    QCOMPARE(error.line, line);
    QCOMPARE(error.column, column);
}

void Tst_plist::nestingLimit_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("at the limit") << kMaxPlistDepth << true;
    QTest::newRow("one past") << kMaxPlistDepth + 1 << false;
}

void Tst_plist::nestingLimit()
{
    QFETCH(int, depth);
    QFETCH(bool, accepted);
    QByteArray bytes = writePlist(nested(QVariantMap{{u"k"_qs, u"v"_qs}}, depth - 1));
    QVariant value;
    PlistError error;
    QCOMPARE(readPlist(bytes, &value, &error), accepted);
    if (accepted)
        QCOMPARE(writePlist(value), bytes);
}

void Tst_plist::decimalCommaLocaleChangesNothing()
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        QFAIL("the de_DE.UTF-8 locale is missing: generate it (locale-gen de_DE.UTF-8) to run this test");
    const auto restore = qScopeGuard([&previous] { std::setlocale(LC_ALL, previous.c_str()); });
    // Proof that the locale is in force: the C library now stops at the '.'.
    QCOMPARE(std::strtod("1234.5", nullptr), 1234.0);

    QVariant value;
    PlistError error;
    QVERIFY2(readPlist(doc("<real>1234.5</real>\n"), &value, &error), qPrintable(error.toString()));
    QCOMPARE(value.typeId(), int(QMetaType::Double));
    QCOMPARE(value.toDouble(), 1234.5);
    QCOMPARE(writePlist(value), doc("<real>1234.5</real>\n"));
    QCOMPARE(writePlist(0.1), doc("<real>0.10000000000000001</real>\n"));
}

void Tst_plist::errorText_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("placed") << 3 << 7 << u"line 3, column 7: bad %1"_qs;
    QTest::newRow("whole document") << 0 << 0 << u"bad %1"_qs;
}

void Tst_plist::errorText()
{
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, text);
    // A '%1' in the message must survive (it may quote the document).
    QCOMPARE((PlistError{u"bad %1"_qs, line, column}.toString()), text);
}

void Tst_plist::carriableTextIsWhatTheFileHolds_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("held");
    const QChar r(0xFFFD);
    QTest::newRow("plain") << u"Lake House"_qs << u"Lake House"_qs;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("tab, LF, CR kept") << u"a\tb\nc\rd"_qs << u"a\tb\nc\rd"_qs;
    QTest::newRow("NUL and escape") << QString::fromUtf16(u"a\u0000b\u001Bc", 5) << u"a"_qs + r + u"b"_qs + r + u"c"_qs;
    QTest::newRow("DEL kept") << u"a\u007Fb"_qs << u"a\u007Fb"_qs;
    QTest::newRow("U+FFFE and U+FFFF") << u"\uFFFE\uFFFF"_qs << QString(2, r);
    QTest::newRow("pair kept") << u"\U0001F3E0 x"_qs << u"\U0001F3E0 x"_qs;
    QTest::newRow("lone high at the end") << u"x"_qs + QChar(0xD83C) << u"x"_qs + r;
    QTest::newRow("lone low first") << QString(QChar(0xDFE0)) + u"x"_qs << QString(r) + u"x"_qs;
    QTest::newRow("pair reversed") << QString(QChar(0xDFE0)) + QChar(0xD83C) << QString(2, r);
    QTest::newRow("high then pair") << QString(QChar(0xD83C)) + u"\U0001F3E0"_qs << QString(r) + u"\U0001F3E0"_qs;
}

// Records are built from typed text through xmlCarriableText so that the
// window compares and shows exactly what a written file reads back as.
void Tst_plist::carriableTextIsWhatTheFileHolds()
{
    QFETCH(QString, typed);
    QFETCH(QString, held);
    QCOMPARE(xmlCarriableText(typed), held);
    QVariant back;
    PlistError error;
    QVERIFY(readPlist(writePlist(QVariantList{typed}), &back, &error));
    QCOMPARE(back.toList().value(0).toString(), held);
}

QTEST_GUILESS_MAIN(Tst_plist)
#include "tst_plist.moc"
