// Task descriptions: flattened RTFD and the Cocoa-style RTF inside it.
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QtEndian>

#include "storage/clock.h"
#include "storage/plist.h"
#include "storage/rtfd.h"
#include "testsupport.h"

using namespace kov;
using namespace Qt::StringLiterals;

static QByteArray fixture(const char *name)
{
    return test::readAll(QStringLiteral(KOV_TEST_DATA "/") + QLatin1String(name));
}

// What readRichText makes of `data`: one line per paragraph, styled runs in
// <b>, <i>, <u> or a combination such as <bi>; null when nothing was readable.
static QString markup(const QByteArray &data, QTextDocument *into = nullptr)
{
    QTextDocument local(u"left over"_s);
    QTextDocument &doc = into ? *into : local;
    const bool ok = readRichText(data, &doc);
    QStringList paragraphs;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QString line;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QString tag = QString(f.fontWeight() > QFont::Medium ? "b" : "") +
                                (f.fontItalic() ? "i" : "") + (f.fontUnderline() ? "u" : "");
            line += tag.isEmpty() ? it.fragment().text() : u"<%1>%2</%1>"_s.arg(tag, it.fragment().text());
        }
        paragraphs << line;
    }
    return ok ? paragraphs.join(u'\n') : (paragraphs.join(QString()).isEmpty() ? QString() : u"?"_s);
}

// Hand assembly of flattened RTFD.
static QByteArray u32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

static QByteArray rec(const QByteArray &bytes) // a file's record
{
    return u32(1) + u32(quint32(bytes.size())) + bytes;
}

static QByteArray flat(const QList<std::pair<QByteArray, QByteArray>> &entries)
{
    QByteArray names, lengths, records;
    for (const auto &[name, record] : entries) {
        names += u32(quint32(name.size())) + name;
        lengths += u32(quint32(record.size()));
        records += record;
    }
    return "rtfd" + u32(0) + u32(3) + u32(quint32(entries.size())) + names + lengths + records;
}

class Tst_rtfd : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Q_INIT_RESOURCE(kovcore); }
    void cleanup() { Clock::setFixed(QDateTime()); }

    // The text is found in every form macOS writes; damaged containers give
    // what can be read, or nothing, and never a crash.
    void readFlat_data()
    {
        QTest::addColumn<QByteArray>("blob");
        QTest::addColumn<QString>("text"); // null: nothing readable
        const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}\\f0 Hello\\\nworld}";
        const QByteArray good = flat({{".", rec(QByteArray(35, 'm'))}, {"TXT.rtf", rec(rtf)}});
        const QString hello = u"Hello\nworld"_s;
        QTest::newRow("macOS") << fixture("rtfd-macos.bin") << u"Café stove: clean hood filters\nmonthly"_s;
        QTest::newRow("macOS, older header, styled")
            << fixture("rtfd-macos-old.bin")
            << u"Check the <b>sump pump</b> before the rainy season\n<i>Don’t</i> forget the <u>backup "
               "battery</u> {12 V} – see manual\n\nCafé \U0001F600"_s;
        QTest::newRow("TXT.rtf before index.rtf")
            << flat({{"index.rtf", rec("{\\rtf1 index}")}, {"TXT.rtf", rec("{\\rtf1 text}")}}) << u"text"_s;
        QTest::newRow("index.rtf, after a directory")
            << flat({{"d", u32(3) + u32(0)}, {"index.rtf", rec(rtf)}}) << hello;
        QTest::newRow("damaged length table") << QByteArray(good).replace(32, 4, u32(0xFFFFFF00u)) << hello;
        QTest::newRow("text length past the end")
            << QByteArray(good).replace(87, 4, u32(0x7FFFFFFFu)) << hello;
        QTest::newRow("bare RTF") << rtf << hello;
        QTest::newRow("huge entry count") << QByteArray(good).replace(12, 4, u32(0xFFFFFFFFu)) << QString();
        QTest::newRow("name '..'") << flat({{"..", rec("x")}, {"TXT.rtf", rec(rtf)}}) << QString();
        QTest::newRow("name with a slash") << flat({{"TXT.rtf", rec(rtf)}, {"a/b", rec("x")}}) << QString();
        QTest::newRow("padding past the end")
            << flat({{"TXT.rtf", u32(1) + u32(0x80000000u) + u32(5) + u32(0xFFFFFFF0u) + rtf}}) << QString();
    }
    void readFlat()
    {
        QFETCH(QByteArray, blob);
        QFETCH(QString, text);
        QCOMPARE(markup(blob), text);
    }

    // Every cut of a blob from macOS (newer, older, padded) reads as nothing or
    // as the start of its text (a cut escape may spoil the last two characters).
    void truncated()
    {
        QVERIFY(plainTextOfRichText(fixture("rtfd-padded.bin"))
                    .endsWith(u"\nLine 200 of the long checklist.\nDone."_s));
        for (const char *name : {"rtfd-macos.bin", "rtfd-macos-old.bin", "rtfd-padded.bin"}) {
            const QByteArray blob = fixture(name);
            const QString full = plainTextOfRichText(blob);
            for (qsizetype n = 0; n < blob.size(); ++n) {
                const QString got = plainTextOfRichText(blob.left(n));
                QVERIFY2(!readRichText(blob.left(n), nullptr) || n > blob.indexOf("{\\rtf"), name);
                QVERIFY2(full.startsWith(got.chopped(std::min<qsizetype>(2, got.size()))), qPrintable(got));
            }
        }
    }

    // What the reader makes of RTF; what the writer makes of that document
    // reads back the same, and the plain text is the document's.
    void readRtf_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        const auto row = [](const char *name, const QByteArray &body, const QString &text) {
            QTest::newRow(name) << "{\\rtf1\\ansi " + body + "}" << text;
        };
        row("code page 1252", "\\'e9\\'80\\'93x\\'94 caf\xe9", u"é€“x” café"_s);
        row("\\u with one fallback character", "\\u8364?x", u"€x"_s);
        row("\\uc2, hex fallback", "\\uc2\\u8364\\'80\\'81x", u"€x"_s);
        row("\\uc scoped to its group", "{\\uc0\\u8364 }\\u8364?x{\\uc3\\u8364 a}bc", u"€€x€bc"_s);
        row("negative \\u, surrogate pair", "\\u-10179?\\u-8704?!", u"\U0001F600!"_s);
        row("lone surrogates, out of range", "\\uc0\\u55357 x\\u56832 y\\u99999999999999999999 z",
            u"\uFFFDx\uFFFDy\uFFFDz"_s);
        row("paragraph breaks", "a\\par b\\\nc\\\r\nd\\par\\par ", u"a\nb\nc\nd\n\n"_s);
        row("line, tab; raw line ends are not text", "a\\line b\\tab c\td\ne\r\nf", u"a\u2028b\tc\tdef"_s);
        row("escaped symbols, named characters", "\\\\b\\{\\}\\~x\\emdash\\lquote\\rdblquote",
            u"\\b{}\u00a0x—‘”"_s);
        row("skipped destinations",
            "{\\fonttbl\\f0 Helvetica;}{\\colortbl;\\red255;}{\\*\\x{\\b deep}}{\\pict 89}"
            "{\\field{\\*\\fldinst{HYPERLINK x}}{\\fldrslt x}}\\kerning1 y",
            u"xy"_s);
        row("every style", "\\b b\\i bi\\ul biu\\b0 iu\\ulnone\\i0  \\ul u\\ul0  \\i\\ul x\\plain y",
            u"<b>b</b><bi>bi</bi><biu>biu</biu><iu>iu</iu> <u>u</u> <iu>x</iu>y"_s);
        row("formatting scoped to groups", "{\\b a{\\i b}c}d\\\ne", u"<b>a</b><bi>b</bi><b>c</b>d\ne"_s);
        row("image attachment", "{{\\NeXTGraphic image.png \\width100\n}\\'ac}after\\'ac", u"after¬"_s);
        row("\\bin data, after the last brace", "a\\bin4 }}{{b\\bin999999999 }} c", u"ab"_s);
        row("deep nesting", QByteArray(200000, '{') + "x" + QByteArray(200000, '}') + " y", u"x y"_s);
    }
    void readRtf()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QTextDocument doc(u"left over"_s);
        QCOMPARE(markup(rtf, &doc), text);
        QCOMPARE(markup(rtfdFromDocument(doc)), text);
        text.remove(QRegularExpression(u"</?[biu]+>"_s)).replace(u'\u2028', u'\n');
        QCOMPARE(plainTextOfRichText(rtf), text);
    }

    // Cocoa's RTF and macOS's container, byte for byte, stamped with the
    // clock's time; plain text and a document of it give the same bytes.
    void writesCocoaBytes()
    {
        QTextDocument doc;
        QVERIFY(readRichText(R"rtf({\rtf1 \b\i\ul a\
\
b\plain \'e9 5\u8364?\u8211?\u8232? \u-10179?\u-8704?\\\{\}\tab  \i it\i0  \ul un\ulnone  \b y})rtf",
                             &doc));
        QCOMPARE(writeCocoaRtf(doc), QByteArray(R"rtf({\rtf1\ansi\ansicpg1252\cocoartf2822
\cocoatextscaling0\cocoaplatform0{\fonttbl\f0\fswiss\fcharset0 Helvetica-BoldOblique;\f1\fswiss\fcharset0 Helvetica;\f2\fswiss\fcharset0 Helvetica-Oblique;\f3\fswiss\fcharset0 Helvetica-Bold;}
{\colortbl;\red255\green255\blue255;}
{\*\expandedcolortbl;;}
\pard\tx560\tx1120\tx1680\tx2240\tx2800\tx3360\tx3920\tx4480\tx5040\tx5600\tx6160\tx6720\pardirnatural\partightenfactor0

\f0\b\i\fs24 \cf0 \ul \ulc0 a\
\
b\f1\b0\i0\ulnone \'e9 5\uc0\u8364 \u8211 \u8232  \uc0\u55357 \u56832 \\\{\}\tab  \f2\i it\f1\i0  \ul \ulc0 un\ulnone  \f3\b y})rtf"));
        const QByteArray macOS = fixture("rtfd-macos.bin");
        QCOMPARE(writeFlatRtfd(macOS.mid(0x30, 270), 0x68844356), macOS);
        Clock::setFixed(QDateTime::fromSecsSinceEpoch(1704067200, Qt::UTC));
        const QByteArray blob = rtfdFromPlainText(u"a\r\nb\rc\nd\u2029e"_s);
        QCOMPARE(qFromLittleEndian<quint32>(blob.constData() + blob.size() - 16), 1704067200u);
        QCOMPARE(plainTextOfRichText(blob), u"a\nb\nc\nd\ne"_s);
        QVERIFY(readRichText(blob, &doc) && rtfdFromDocument(doc) == blob);
    }

    // The shipped task list is in Foundation's form, and each description is
    // what this program writes for its text.
    void defaultTaskList()
    {
        const QByteArray bytes = test::readAll(u":/"_s + ServiceTaskDefaultsFileName);
        QVariant root;
        QVERIFY(readPlist(bytes, &root, nullptr) && writePlist(root) == bytes);
        for (const QVariant &task : root.toList()) {
            const QByteArray desc = task.toMap().value(ServiceTaskDescriptionKey).toByteArray();
            QVERIFY(desc.size() > 16 && !plainTextOfRichText(desc).isEmpty());
            Clock::setFixed(
                QDateTime::fromSecsSinceEpoch(qFromLittleEndian<quint32>(desc.end() - 16), Qt::UTC));
            QCOMPARE(rtfdFromPlainText(plainTextOfRichText(desc)), desc);
        }
    }
};

QTEST_GUILESS_MAIN(Tst_rtfd)
#include "tst_rtfd.moc"
