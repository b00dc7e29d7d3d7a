// Task descriptions: flattened RTFD and the Cocoa-style RTF inside it.
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtEndian>

#include "storage/clock.h"
#include "storage/plist.h"
#include "storage/records.h"
#include "storage/rtfd.h"

using namespace kov;
using namespace Qt::StringLiterals;

// The resource lives in a static library, so nothing pulls it in by itself.
static void initResources()
{
    Q_INIT_RESOURCE(kovcore);
}

namespace {

QByteArray fixture(const char *name)
{
    QFile f(QStringLiteral(KOV_TEST_DATA "/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A document as text: one line per paragraph, styled runs in <b>, <i>, <u>
// or a combination such as <bi>.
QString describe(const QTextDocument &doc)
{
    QStringList paragraphs;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QString line, runText, runTag;
        auto flush = [&] {
            line += runTag.isEmpty() ? runText : QStringLiteral("<%1>%2</%1>").arg(runTag, runText);
            runText.clear();
        };
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            QString tag;
            if (f.fontWeight() > QFont::Medium)
                tag += u'b';
            if (f.fontItalic())
                tag += u'i';
            if (f.fontUnderline())
                tag += u'u';
            if (tag != runTag)
                flush();
            runTag = tag;
            runText += it.fragment().text();
        }
        flush();
        paragraphs << line;
    }
    return paragraphs.join(u'\n');
}

// The inverse of describe().
void fillFromMarkup(QTextDocument *doc, const QString &markup)
{
    static const QRegularExpression tagged(QStringLiteral("<([biu]+)>(.*?)</\\1>"));
    doc->clear();
    QTextCursor cursor(doc);
    auto insert = [&](const QString &text, const QString &tag) {
        QTextCharFormat f;
        f.setFontWeight(tag.contains(u'b') ? QFont::Bold : QFont::Normal);
        f.setFontItalic(tag.contains(u'i'));
        f.setFontUnderline(tag.contains(u'u'));
        cursor.insertText(text, f);
    };
    const QStringList paragraphs = markup.split(u'\n');
    for (qsizetype k = 0; k < paragraphs.size(); ++k) {
        if (k > 0)
            cursor.insertBlock();
        const QString &p = paragraphs[k];
        qsizetype pos = 0;
        for (auto it = tagged.globalMatch(p); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            insert(p.mid(pos, m.capturedStart() - pos), QString());
            insert(m.captured(2), m.captured(1));
            pos = m.capturedEnd();
        }
        insert(p.mid(pos), QString());
    }
}

QString readToMarkup(const QByteArray &data, bool *ok)
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("left over"));
    *ok = readRichText(data, &doc);
    return describe(doc);
}

// Hand assembly of flattened RTFD.
QByteArray u32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray dataRecord(const QByteArray &bytes)
{
    return u32(1) + u32(quint32(bytes.size())) + bytes;
}

struct Entry {
    QByteArray name;
    QByteArray record;
};

QByteArray flat(const QList<Entry> &entries)
{
    QByteArray names, lengths, records;
    for (const Entry &e : entries) {
        names += u32(quint32(e.name.size())) + e.name;
        lengths += u32(quint32(e.record.size()));
        records += e.record;
    }
    return "rtfd" + u32(0) + u32(3) + u32(quint32(entries.size())) + names + lengths + records;
}

const QByteArray kRtf = "{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}\\f0 Hello\\\nworld}";
const QByteArray kMeta =
    u32(1) + u32(7) + "TXT.rtf" + u32(16) + u32(1700000000) + u32(0x1B6) + u32(0) + u32(0);

QByteArray withU32At(QByteArray blob, qsizetype off, quint32 v)
{
    qToLittleEndian(v, blob.data() + off);
    return blob;
}

const QString kOldFixtureMarkup = QStringLiteral("Check the <b>sump pump</b> before the rainy season\n"
                                                 "<i>Don\u2019t</i> forget the <u>backup battery</u> {12 V} "
                                                 "\u2013 see manual\n"
                                                 "\n"
                                                 "Caf\u00e9 \U0001F600");

} // namespace

class Tst_rtfd : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { initResources(); }
    void cleanup() { Clock::setFixed(QDateTime()); }

    void readFlat_data()
    {
        QTest::addColumn<QByteArray>("blob");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("markup");

        const QByteArray good = flat({{"TXT.rtf", dataRecord(kRtf)}, {".", dataRecord(kMeta)}});
        const QString hello = QStringLiteral("Hello\nworld");

        QTest::newRow("macOS, newer header")
            << fixture("rtfd-macos.bin") << true
            << QStringLiteral("Caf\u00e9 stove: clean hood filters\nmonthly");
        QTest::newRow("macOS, older header, styled, metadata first")
            << fixture("rtfd-macos-old.bin") << true << kOldFixtureMarkup;
        QTest::newRow("two entries") << good << true << hello;
        QTest::newRow("index.rtf") << flat({{"index.rtf", dataRecord(kRtf)}}) << true << hello;
        QTest::newRow("TXT.rtf before index.rtf")
            << flat({{"index.rtf", dataRecord("{\\rtf1 index}")}, {"TXT.rtf", dataRecord("{\\rtf1 text}")}})
            << true << QStringLiteral("text");
        QTest::newRow("attachment and preferred name")
            << flat({{"image.png", dataRecord(QByteArray(300, '\x89'))},
                     {"__@UTF8PreferredName@__", {u32(4) + u32(3) + "a.b"}},
                     {"TXT.rtf", dataRecord(kRtf)}})
            << true << hello;
        QTest::newRow("nested directory stepped over by its length")
            << flat({{"sub", u32(3) + u32(1) + u32(1) + "x" + u32(9) + dataRecord("z")},
                     {"TXT.rtf", dataRecord(kRtf)}})
            << true << hello;
        QTest::newRow("metadata is garbage")
            << flat({{".", dataRecord("\xff\xff\xff\xff\x01")}, {"TXT.rtf", dataRecord(kRtf)}}) << true
            << hello;
        {
            // The length of "." (first in the table) is wrong; the records' own sizes still lead to the text.
            const QByteArray b = flat({{".", dataRecord(kMeta)}, {"TXT.rtf", dataRecord(kRtf)}});
            QTest::newRow("damaged length table") << withU32At(b, 16 + 5 + 11, 0xFFFFFF00u) << true << hello;
        }
        QTest::newRow("text length past the end keeps what is there")
            << withU32At(flat({{".", dataRecord(kMeta)}, {"TXT.rtf", dataRecord(kRtf)}}), 40 + 43 + 4,
                         0x7FFFFFFFu)
            << true << hello;
        QTest::newRow("bare RTF") << kRtf << true << hello;

        QTest::newRow("empty") << QByteArray() << false << QString();
        QTest::newRow("plain text") << QByteArray("Hello") << false << QString();
        QTest::newRow("header only") << good.left(16) << false << QString();
        QTest::newRow("bad magic") << QByteArray("RTFD" + good.mid(4)) << false << QString();
        QTest::newRow("version 1") << withU32At(good, 4, 1) << false << QString();
        QTest::newRow("root is a file") << withU32At(good, 8, 1) << false << QString();
        QTest::newRow("huge entry count") << withU32At(good, 12, 0xFFFFFFFFu) << false << QString();
        QTest::newRow("huge name length") << withU32At(good, 16, 0xFFFFFFF0u) << false << QString();
        QTest::newRow("name with a slash")
            << flat({{"TXT.rtf", dataRecord(kRtf)}, {"a/b.png", dataRecord("x")}}) << false << QString();
        QTest::newRow("name '/'") << flat({{"/", dataRecord("x")}, {"TXT.rtf", dataRecord(kRtf)}}) << false
                                  << QString();
        QTest::newRow("name '..'") << flat({{"..", dataRecord("x")}, {"TXT.rtf", dataRecord(kRtf)}}) << false
                                   << QString();
        QTest::newRow("no text entry")
            << flat({{".", dataRecord(kMeta)}, {"image.png", dataRecord(kRtf)}}) << false << QString();
        QTest::newRow("text not starting with a brace")
            << flat({{"TXT.rtf", dataRecord(" " + kRtf)}}) << false << QString();
        QTest::newRow("text is a string record")
            << flat({{"TXT.rtf", u32(4) + u32(quint32(kRtf.size())) + kRtf}}) << false << QString();
        QTest::newRow("text is a directory") << flat({{"TXT.rtf", u32(3) + u32(0)}}) << false << QString();
        QTest::newRow("padding past the end")
            << flat({{"TXT.rtf", u32(1) + u32(0x80000000u) + u32(5) + u32(0xFFFFFFF0u) + kRtf}}) << false
            << QString();
    }
    void readFlat()
    {
        QFETCH(QByteArray, blob);
        QFETCH(bool, ok);
        QFETCH(QString, markup);
        QVERIFY(!blob.isEmpty() || !ok);
        bool read = false;
        QCOMPARE(readToMarkup(blob, &read), markup);
        QCOMPARE(read, ok);
    }

    void paddedFixture()
    {
        const QByteArray blob = fixture("rtfd-padded.bin");
        QCOMPARE(blob.indexOf("{\\rtf1"), 4096);
        const QStringList lines = plainTextOfRichText(blob).split(u'\n');
        QCOMPARE(lines.size(), 201);
        QCOMPARE(lines.first(), QStringLiteral("Line 1 of the long checklist."));
        QCOMPARE(lines.at(199), QStringLiteral("Line 200 of the long checklist."));
        QCOMPARE(lines.last(), QStringLiteral("Done."));
    }

    // Every cut of a valid blob reads as nothing or as the start of its text
    // (a cut escape may spoil the last two characters).
    void truncated_data()
    {
        QTest::addColumn<QByteArray>("blob");
        QTest::newRow("newer header") << fixture("rtfd-macos.bin");
        QTest::newRow("older header") << fixture("rtfd-macos-old.bin");
        QTest::newRow("padded") << fixture("rtfd-padded.bin");
    }
    void truncated()
    {
        QFETCH(QByteArray, blob);
        const QString full = plainTextOfRichText(blob);
        QVERIFY(!full.isEmpty());
        const qsizetype textStart = blob.indexOf("{\\rtf");
        for (qsizetype n = 0; n < blob.size(); ++n) {
            const QByteArray cut = blob.left(n);
            QTextDocument doc;
            const bool ok = readRichText(cut, &doc);
            const QString got = plainTextOfRichText(cut);
            QCOMPARE(doc.toRawText().replace(QChar::ParagraphSeparator, u'\n'), got);
            if (n <= textStart)
                QVERIFY2(!ok, qPrintable(QString::number(n)));
            QVERIFY2(full.startsWith(got.chopped(std::min<qsizetype>(2, got.size()))), qPrintable(got));
        }
    }

    void readRtf_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("markup");
        const auto doc = [](const QByteArray &body) { return "{\\rtf1\\ansi " + body + "}"; };

        QTest::newRow("code page 1252") << doc("\\'e9\\'80\\'93x\\'94 caf\xe9") << u"é€“x” café"_s;
        QTest::newRow("\\u with one fallback character") << doc("\\u8364?x") << u"€x"_s;
        QTest::newRow("\\uc2, hex fallback") << doc("\\uc2\\u8364\\'80\\'81x") << u"€x"_s;
        QTest::newRow("\\uc0") << doc("\\uc0\\u8364 x") << u"€x"_s;
        QTest::newRow("\\uc scoped to its group") << doc("{\\uc0\\u8364 }\\u8364?x") << u"€€x"_s;
        QTest::newRow("fallback ends with the group") << doc("{\\uc3\\u8364 a}bc") << u"€bc"_s;
        QTest::newRow("negative \\u, surrogate pair")
            << doc("\\u-10179?\\u-8704?!") << QStringLiteral("\U0001F600!");
        QTest::newRow("positive surrogate pair")
            << doc("\\uc0\\u55357 \\u56832 !") << QStringLiteral("\U0001F600!");
        QTest::newRow("lone high surrogate") << doc("\\uc0\\u55357 x") << u"\uFFFDx"_s;
        QTest::newRow("lone low surrogate") << doc("\\uc0\\u56832 x") << u"\uFFFDx"_s;
        QTest::newRow("\\u out of range") << doc("\\uc0\\u99999999999999999999 x") << u"\uFFFDx"_s;
        QTest::newRow("paragraph breaks") << doc("a\\par b\\\nc\\\r\nd\\par\\par ") << u"a\nb\nc\nd\n\n"_s;
        QTest::newRow("line and tab") << doc("a\\line b\\tab c\td") << u"a\u2028b\tc\td"_s;
        QTest::newRow("escaped symbols") << doc("\\\\\\{\\}\\~x") << u"\\{}\u00a0x"_s;
        QTest::newRow("raw line ends are not text") << doc("a\nb\r\nc") << u"abc"_s;
        QTest::newRow("named characters")
            << doc("\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote") << u"—–‘’“”"_s;
        QTest::newRow("skipped destinations")
            << doc(QByteArray(
                   "{\\fonttbl\\f0\\fswiss Helvetica;}{\\colortbl;\\red255;}{\\*\\expandedcolortbl;;}"
                   "{\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}{\\*\\unknown hidden{\\b deep}}"
                   "{\\pict\\pngblip 89504e47}x"))
            << u"x"_s;
        QTest::newRow("unknown words") << doc("\\f0\\fs24 \\cf0 \\kerning1\\expnd0\\expndtw0 x") << u"x"_s;
        QTest::newRow("bold, italic, underline")
            << doc("\\b bold\\b0  \\i it\\i0  \\ul un\\ulnone  \\ul x\\ul0  y")
            << u"<b>bold</b> <i>it</i> <u>un</u> <u>x</u> y"_s;
        QTest::newRow("formatting scoped to groups")
            << doc("{\\b a{\\i b}c}d") << u"<b>a</b><bi>b</bi><b>c</b>d"_s;
        QTest::newRow("\\plain resets") << doc("\\b\\i\\ul a\\plain b") << u"<biu>a</biu>b"_s;
        QTest::newRow("\\pard keeps the character format") << doc("\\b a\\pard b") << u"<b>ab</b>"_s;
        QTest::newRow("underline colour") << doc("\\ulc0 a") << u"a"_s;
        QTest::newRow("Cocoa bold font") << doc("\\f1\\b sump\\f0\\b0  x") << u"<b>sump</b> x"_s;
        QTest::newRow("styles across paragraphs") << doc("\\b a\\\nb\\b0 c") << u"<b>a</b>\n<b>b</b>c"_s;
        QTest::newRow("link shows its text")
            << doc("{\\field{\\*\\fldinst{HYPERLINK \"https://x\"}}{\\fldrslt link}} x") << u"link x"_s;
        QTest::newRow("image attachment")
            << doc("{{\\NeXTGraphic image.png \\width100\n}\\'ac}after") << u"after"_s;
        QTest::newRow("not-sign elsewhere") << doc("a\\'acb") << u"a¬b"_s;
        QTest::newRow("after the last brace") << doc("a} b") << u"a"_s;
        QTest::newRow("\\bin data") << doc("a\\bin4 }}{{b") << u"ab"_s;
        QTest::newRow("\\bin past the end") << doc("a\\bin999999999 }") << u"a"_s;
        QTest::newRow("unclosed groups") << doc("{{{a") << u"a"_s;
        QTest::newRow("cut escape") << QByteArray("{\\rtf1 a\\") << u"a"_s;
        QTest::newRow("cut hex") << QByteArray("{\\rtf1 a\\'e") << u"a"_s;
        QTest::newRow("hex cut by the closing brace") << doc("a\\'e") << u"a"_s;
        QTest::newRow("bad hex") << doc("a\\'zzb") << u"azzb"_s;
        QTest::newRow("long control word")
            << doc(QByteArray("\\" + QByteArray(100000, 'a') + " x")) << u"x"_s;
        QTest::newRow("deep nesting")
            << doc(QByteArray(QByteArray(200000, '{') + "x" + QByteArray(200000, '}') + " y")) << u"x y"_s;
        QTest::newRow("empty") << doc(QByteArray()) << QString();
    }
    void readRtf()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, markup);
        bool ok = false;
        QCOMPARE(readToMarkup(rtf, &ok), markup);
        QVERIFY(ok);
    }

    void writeRtfHeader()
    {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("Hello\nworld"));
        QCOMPARE(
            writeCocoaRtf(doc),
            QByteArray("{\\rtf1\\ansi\\ansicpg1252\\cocoartf2822\n"
                       "\\cocoatextscaling0\\cocoaplatform0{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;}\n"
                       "{\\colortbl;\\red255\\green255\\blue255;}\n"
                       "{\\*\\expandedcolortbl;;}\n"
                       "\\pard\\tx560\\tx1120\\tx1680\\tx2240\\tx2800\\tx3360\\tx3920\\tx4480\\tx5040\\tx5600"
                       "\\tx6160\\tx6720\\pardirnatural\\partightenfactor0\n"
                       "\n"
                       "\\f0\\fs24 \\cf0 Hello\\\n"
                       "world}"));
    }

    void writeRtf_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QByteArray>("fonts");
        QTest::addColumn<QByteArray>("body");
        const QByteArray helvetica = "\\f0\\fswiss\\fcharset0 Helvetica;";

        QTest::newRow("empty") << QString() << helvetica << QByteArray("\\f0\\fs24 \\cf0 }");
        QTest::newRow("Latin-1 as hex")
            << u"Café ©"_s << helvetica << QByteArray("\\f0\\fs24 \\cf0 Caf\\'e9 \\'a9}");
        QTest::newRow("others as \\u")
            << u"5 € – ok"_s << helvetica << QByteArray("\\f0\\fs24 \\cf0 5 \\uc0\\u8364  \\uc0\\u8211  ok}");
        QTest::newRow("surrogate pair") << QStringLiteral("\U0001F600!") << helvetica
                                        << QByteArray("\\f0\\fs24 \\cf0 \\uc0\\u55357 \\u56832 !}");
        QTest::newRow("line separator")
            << u"a\u2028b"_s << helvetica << QByteArray("\\f0\\fs24 \\cf0 a\\uc0\\u8232 b}");
        QTest::newRow("escapes") << u"a\\b{c}\td"_s << helvetica
                                 << QByteArray("\\f0\\fs24 \\cf0 a\\\\b\\{c\\}\\tab d}");
        QTest::newRow("empty paragraphs")
            << u"a\n\n"_s << helvetica << QByteArray("\\f0\\fs24 \\cf0 a\\\n\\\n}");
        QTest::newRow("bold first")
            << u"<b>Bold</b> then"_s
            << QByteArray("\\f0\\fswiss\\fcharset0 Helvetica-Bold;\\f1\\fswiss\\fcharset0 Helvetica;")
            << QByteArray("\\f0\\b\\fs24 \\cf0 Bold\\f1\\b0  then}");
        QTest::newRow("italic and underline")
            << u"x <i>it</i> <u>un</u> end"_s
            << QByteArray("\\f0\\fswiss\\fcharset0 Helvetica;\\f1\\fswiss\\fcharset0 Helvetica-Oblique;")
            << QByteArray("\\f0\\fs24 \\cf0 x \\f1\\i it\\f0\\i0  \\ul \\ulc0 un\\ulnone  end}");
        QTest::newRow("bold italic over two paragraphs")
            << u"<biu>a</biu>\n<biu>b</biu>"_s << QByteArray("\\f0\\fswiss\\fcharset0 Helvetica-BoldOblique;")
            << QByteArray("\\f0\\b\\i\\fs24 \\cf0 \\ul \\ulc0 a\\\nb}");
    }
    void writeRtf()
    {
        QFETCH(QString, markup);
        QFETCH(QByteArray, fonts);
        QFETCH(QByteArray, body);
        QTextDocument doc;
        fillFromMarkup(&doc, markup);
        const QByteArray rtf = writeCocoaRtf(doc);
        const qsizetype tableStart = rtf.indexOf("{\\fonttbl") + 9;
        QCOMPARE(rtf.mid(tableStart, rtf.indexOf("}\n", tableStart) - tableStart), fonts);
        const QByteArray headEnd = "\\partightenfactor0\n\n";
        QCOMPARE(rtf.mid(rtf.indexOf(headEnd) + headEnd.size()), body);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::newRow("plain") << u"Replace the filter"_s;
        QTest::newRow("paragraphs, empty ones too") << u"\nfirst\n\nsecond\n"_s;
        QTest::newRow("every style")
            << u"<b>b</b><i>i</i><u>u</u><bi>bi</bi><bu>bu</bu><iu>iu</iu><biu>biu</biu>"_s;
        QTest::newRow("styles across paragraphs") << u"<b>one</b>\n<b>two</b> plain\n<iu>three</iu>"_s;
        QTest::newRow("spaces at style edges") << u" <b> a </b>  <i> </i>b "_s;
        QTest::newRow("special characters")
            << QStringLiteral("\\ { } \t caf\u00e9 \u00a0 \u20ac \u2013 \u201cq\u201d \U0001F600 \u2028 end");
        QTest::newRow("control words spelled as text") << u"\\b not bold \\par \\u8364?"_s;
    }
    void roundTrip()
    {
        QFETCH(QString, markup);
        QTextDocument doc;
        fillFromMarkup(&doc, markup);
        QCOMPARE(describe(doc), markup);
        bool ok = false;
        QCOMPARE(readToMarkup(rtfdFromDocument(doc), &ok), markup);
        QVERIFY(ok);
    }

    // The byte layout macOS writes, checked against the dump in the format notes.
    void flatLayout_data()
    {
        QTest::addColumn<int>("rtfSize");
        QTest::newRow("empty") << 0;
        QTest::newRow("as in the dump") << 270;
        QTest::newRow("past a page") << 5000;
    }
    void flatLayout()
    {
        QFETCH(int, rtfSize);
        const QByteArray rtf = QByteArray(rtfSize, 'x');
        const QByteArray blob = writeFlatRtfd(rtf, 0x68844356);
        QCOMPARE(blob.size(), 91 + rtfSize);
        QCOMPARE(blob.left(0x30), "rtfd" + u32(0) + u32(3) + u32(2) + u32(7) + "TXT.rtf" + u32(1) + "." +
                                      u32(quint32(8 + rtfSize)) + u32(43) + u32(1) + u32(quint32(rtfSize)));
        QCOMPARE(blob.mid(0x30, rtfSize), rtf);
        QCOMPARE(blob.mid(0x30 + rtfSize), u32(1) + u32(35) + u32(1) + u32(7) + "TXT.rtf" + u32(16) +
                                               QByteArray::fromHex("56438468b601000000000000") + u32(0));
    }

    void flatMatchesMacOS()
    {
        const QByteArray blob = fixture("rtfd-macos.bin");
        QCOMPARE(blob.size(), 361);
        QCOMPARE(blob.left(0x30).toHex(' '), QByteArray("72 74 66 64 00 00 00 00 03 00 00 00 02 00 00 00 "
                                                        "07 00 00 00 54 58 54 2e 72 74 66 01 00 00 00 2e "
                                                        "16 01 00 00 2b 00 00 00 01 00 00 00 0e 01 00 00"));
        QCOMPARE(writeFlatRtfd(blob.mid(0x30, 270), 0x68844356), blob);
    }

    void plainText_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("text");
        QTest::newRow("macOS") << fixture("rtfd-macos.bin") << u"Café stove: clean hood filters\nmonthly"_s;
        QTest::newRow("styles dropped")
            << fixture("rtfd-macos-old.bin")
            << QStringLiteral("Check the sump pump before the rainy season\n"
                              "Don\u2019t forget the backup battery {12 V} \u2013 "
                              "see manual\n\nCaf\u00e9 \U0001F600");
        QTest::newRow("line break") << QByteArray("{\\rtf1 a\\line b}") << u"a\nb"_s;
        QTest::newRow("unreadable") << QByteArray("rtfd\0\0\0\0", 8) << QString();
        QTest::newRow("line ends of any kind")
            << rtfdFromPlainText(u"a\r\nb\rc\nd\u2029e"_s) << u"a\nb\nc\nd\ne"_s;
    }
    void plainText()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, text);
        QCOMPARE(plainTextOfRichText(data), text);
    }

    void stampsClockTime()
    {
        Clock::setFixed(QDateTime::fromSecsSinceEpoch(1704067200, Qt::UTC));
        QTextDocument doc(QStringLiteral("x"));
        for (const QByteArray &blob : {rtfdFromPlainText(QStringLiteral("x")), rtfdFromDocument(doc)}) {
            QCOMPARE(qFromLittleEndian<quint32>(blob.constData() + blob.size() - 16), 1704067200u);
            QCOMPARE(plainTextOfRichText(blob), QStringLiteral("x"));
        }
    }

    void defaultTaskList()
    {
        QFile file(QStringLiteral(":/") + ServiceTaskDefaultsFileName);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVariant root;
        PlistError error;
        QVERIFY2(readPlist(bytes, &root, &error), qPrintable(error.toString()));
        // The generator writes Foundation's form itself; it must agree with ours.
        QCOMPARE(writePlist(root), bytes);
        const QVariantList tasks = root.toList();
        QVERIFY(tasks.size() >= 18);
        QSet<QString> names;
        for (const QVariant &v : tasks) {
            const QVariantMap task = v.toMap();
            const QString name = task.value(ServiceTaskNameKey).toString();
            QVERIFY(!name.isEmpty());
            QVERIFY2(!names.contains(name), qPrintable(name));
            names.insert(name);

            const QByteArray desc = task.value(ServiceTaskDescriptionKey).toByteArray();
            const QString text = plainTextOfRichText(desc);
            QVERIFY2(!text.isEmpty(), qPrintable(name));
            // The generator must write what this program writes for the same text.
            QVERIFY(desc.size() > 16);
            Clock::setFixed(QDateTime::fromSecsSinceEpoch(
                qFromLittleEndian<quint32>(desc.constData() + desc.size() - 16), Qt::UTC));
            QCOMPARE(rtfdFromPlainText(text), desc);

            const QVariant units = task.value(ServiceTaskTimeUnits);
            QCOMPARE(units.typeId(), QMetaType::LongLong);
            QVERIFY(units.toLongLong() >= 0 && units.toLongLong() <= 3);
            QCOMPARE(task.contains(ServiceTaskTimeInUnitsKey), units.toLongLong() != 3);
            if (units.toLongLong() != 3)
                QVERIFY(task.value(ServiceTaskTimeInUnitsKey).toLongLong() >= 1);
        }
    }
};

QTEST_GUILESS_MAIN(Tst_rtfd)
#include "tst_rtfd.moc"
