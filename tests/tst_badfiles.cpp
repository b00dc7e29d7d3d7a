// Malformed data files, one per row. A file that is well-formed reads (odd
// kinds of values included) and keeps everything through a load and write;
// anything else is refused: the user is told in words (kov-cli check and the
// window's alert), and the file is left byte for byte as it was.
#include <unistd.h>

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include "app/alerts.h"
#include "app/kovappdelegate.h"
#include "storage/clock.h"
#include "storage/datafiles.h"

#include "testsupport.h"
#include "ui_mainwindow.h"
#include "ui_propertysheet.h"
#include "ui_providersheet.h"
#include "windowsupport.h"

using namespace kov;

namespace {

// How the row's file is put in place.
enum Kind { Bytes, Folder, NoReadPermission, DanglingSymlink, SymlinkLoop };

const QByteArray kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";

QByteArray doc(const QByteArray &root)
{
    return kHead + "<plist version=\"1.0\">\n" + root + "\n</plist>\n";
}

// One record holding `body` (keys and values).
QByteArray oneRecord(const QByteArray &body)
{
    return doc("<array>\n\t<dict>\n" + body + "\n\t</dict>\n</array>");
}

// A well-formed maintenance record with `extra` added at the end of it.
QByteArray record(const QByteArray &extra = {})
{
    return oneRecord("\t\t<key>LaborCostKey</key>\n\t\t<string>120.00</string>\n"
                     "\t\t<key>PropertyNameKey</key>\n\t\t<string>Lake House</string>\n"
                     "\t\t<key>ProviderNameKey</key>\n\t\t<string>Bob's Gutters</string>\n"
                     "\t\t<key>ServiceDateKey</key>\n\t\t<date>2024-03-14T07:00:00Z</date>\n"
                     "\t\t<key>ServiceTaskNameKey</key>\n\t\t<string>Clean gutters</string>\n" +
                     extra);
}

// The example of the format notes, with an accented name.
const QByteArray kExample = doc("<array>\n\t<dict>\n"
                                "\t\t<key>LaborCostKey</key>\n\t\t<string>120.00</string>\n"
                                "\t\t<key>PropertyNameKey</key>\n\t\t<string>Caf\xC3\xA9 House</string>\n"
                                "\t\t<key>ProviderNameKey</key>\n\t\t<string>Bob's Gutters &amp; Roofing</string>\n"
                                "\t\t<key>ServiceDateKey</key>\n\t\t<date>2024-03-14T07:00:00Z</date>\n"
                                "\t\t<key>ServiceTaskNameKey</key>\n\t\t<string>Clean gutters</string>\n"
                                "\t</dict>\n</array>");

QByteArray cutAt(const QByteArray &marker, int extra = 0)
{
    const qsizetype at = kExample.indexOf(marker);
    Q_ASSERT(at >= 0);
    return kExample.left(at + extra);
}

QByteArray nested(int depth, const char *open, const char *close)
{
    QByteArray out;
    out.reserve(depth * (qstrlen(open) + qstrlen(close)) + 200);
    for (int i = 0; i < depth; ++i)
        out += open;
    for (int i = 0; i < depth; ++i)
        out += close;
    return doc(out);
}

QByteArray utf16(const QByteArray &utf8, bool bigEndian)
{
    const QString text = QString::fromUtf8(utf8);
    QByteArray out = bigEndian ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

QByteArray billionLaughs()
{
    QByteArray d = "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [\n<!ENTITY lol \"lol\">\n";
    d += "<!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">\n";
    for (int i = 2; i <= 9; ++i) {
        d += "<!ENTITY lol" + QByteArray::number(i) + " \"";
        for (int k = 0; k < 10; ++k)
            d += "&lol" + QByteArray::number(i - 1) + ";";
        d += "\">\n";
    }
    d += "]>\n<plist version=\"1.0\"><array><dict><key>NoteKey</key><string>&lol9;</string></dict></array></plist>\n";
    return d;
}

QByteArray snapshot(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return "link:" + QFile::encodeName(info.symLinkTarget());
    if (info.isDir())
        return "folder:" + QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                               .join(QLatin1Char('/'))
                               .toUtf8();
    QFile f(path);
    if (!info.exists())
        return "missing";
    if (!f.open(QIODevice::ReadOnly))
        return "unopenable:" + QByteArray::number(info.size()) + ":" +
               QByteArray::number(int(info.permissions()));
    return "file:" + f.readAll();
}

using kov::test::listsEqual;

} // namespace

class TestBadFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void badFile_data();
    void badFile();

private:
    QTemporaryDir *dir = nullptr;
    QString folder;
    QList<AlertRecord> alerts;
    QList<DataFileProblem> problems;
};

void TestBadFiles::initTestCase()
{
    kov::test::setUpWindowTests(this, alerts);
}

void TestBadFiles::init()
{
    dir = new QTemporaryDir;
    QVERIFY(dir->isValid());
    folder = dir->filePath(QStringLiteral("Tolvanderwerks"));
    QVERIFY(QDir().mkpath(folder));
    setDataFolderOverride(folder);
    QSettings().clear();
    alerts.clear();
    problems.clear();
    setDataFileProblemHandler([this](const DataFileProblem &p) { problems.append(p); });
    AlertCenter::instance()->showSheets = false;
    Clock::setFixed(QDateTime(QDate(2026, 6, 15), QTime(14, 30), QTimeZone("America/New_York")));
}

void TestBadFiles::cleanup()
{
    setDataFileProblemHandler(nullptr);
    kov::test::endWindowTest();
    delete dir;
    dir = nullptr;
}

void TestBadFiles::badFile_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("refused");
    // Refused because the XML itself is bad: the reason names line and column.
    QTest::addColumn<bool>("placed");
    // For files that read: a key of the first record and the value it must
    // hold, before and after a load and write.
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    // For files that read: words of what the user is told about a record
    // KOV cannot use (empty: nothing to tell).
    QTest::addColumn<QString>("unusable");

    const QString history = PropertyHistoryFileForKOV;
    auto refuse = [](const char *name, const QByteArray &bytes, bool placed = true,
                     const QString &file = PropertyHistoryFileForKOV, int kind = Bytes) {
        QTest::newRow(name) << file << kind << bytes << true << placed << QString() << QVariant() << QString();
    };
    auto read = [](const char *name, const QByteArray &bytes, const QString &key = QString(),
                   const QVariant &value = QVariant(), const QString &file = PropertyHistoryFileForKOV,
                   const char *unusable = "") {
        QTest::newRow(name) << file << int(Bytes) << bytes << false << false << key << value
                            << QString::fromUtf8(unusable);
    };

    // ---- Nothing, or not a file
    refuse("zero bytes", QByteArray(), false);
    refuse("whitespace only", " \n\t\r\n  \n");
    refuse("XML declaration only", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    refuse("empty <plist>", doc(QByteArray()));
    refuse("empty <plist/>", kHead + "<plist version=\"1.0\"/>\n");
    refuse("a folder in place of the file", QByteArray(), false, history, Folder);
    refuse("a folder in place of the task file", QByteArray(), false, ServiceTaskFileForKOV, Folder);
    refuse("no read permission", record(), false, history, NoReadPermission);
    refuse("dangling symbolic link", QByteArray(), false, history, DanglingSymlink);
    refuse("symbolic link loop in the property file", QByteArray(), false, PropertyFileForKOV, SymlinkLoop);
    refuse("4 KiB of zeros", QByteArray(4096, '\0'));

    // ---- Not a property list
    refuse("not XML", "Lake House, gutters, 2024-03-14, 120.00\n");
    refuse("HTML", "<!DOCTYPE html>\n<html><head><title>KOV</title></head><body><p>Lake House</p></body></html>\n");
    refuse("XHTML element as root", "<?xml version=\"1.0\"?>\n<html><body/></html>\n");
    refuse("binary property list", QByteArray("bplist00\xd1\x01\x02Q", 12) + QByteArray(30, '\0'), false);
    refuse("JSON", "[{\"PropertyNameKey\": \"Lake House\"}]\n");

    // ---- Truncated at several points
    refuse("truncated in the XML declaration", kExample.left(10));
    refuse("truncated after the XML declaration", cutAt("<!DOCTYPE"));
    refuse("truncated in the DOCTYPE", cutAt("PropertyList-1.0.dtd"));
    refuse("truncated after <plist>", cutAt("<array>"));
    refuse("truncated after <array>", cutAt("\t<dict>"));
    refuse("truncated in a start tag", cutAt("<dict>", 4));
    refuse("truncated in a key", cutAt("<key>LaborCostKey", 9));
    refuse("truncated in a string", cutAt("120.00</string>", 3));
    refuse("truncated in an entity reference", cutAt("&amp;", 3));
    refuse("truncated inside a UTF-8 character", cutAt("\xC3\xA9", 1));
    refuse("truncated before </dict>", cutAt("\t</dict>"));
    refuse("truncated before </array>", cutAt("</array>"));
    refuse("truncated before </plist>", cutAt("</plist>"));
    refuse("truncated in </plist>", cutAt("</plist>", 5));

    // ---- Well-formed, but not a list of records
    refuse("root a dictionary", doc("<dict>\n\t<key>PropertyNameKey</key>\n\t<string>Lake House</string>\n</dict>"),
           false);
    refuse("root a string", doc("<string>Lake House</string>"), false);
    refuse("root an integer", doc("<integer>42</integer>"), false);
    refuse("root a date", doc("<date>2024-03-14T07:00:00Z</date>"), false);
    refuse("records are strings", doc("<array>\n\t<string>Lake House</string>\n\t<string>Cabin</string>\n</array>"),
           false);
    refuse("second record an array",
           doc("<array>\n\t<dict/>\n\t<array>\n\t\t<string>x</string>\n\t</array>\n\t<dict/>\n</array>"), false);
    refuse("record a boolean in the provider file", doc("<array>\n\t<true/>\n</array>"), false, ProviderFileForKOV);

    // ---- Too big or too deep
    refuse("100,000-deep arrays", nested(100000, "<array>", "</array>"));
    refuse("100,000-deep dictionaries", nested(100000, "<dict><key>k</key>", "</dict>"));
    refuse("1,000,000-deep arrays", nested(1000000, "<array>", "</array>"));
    refuse("1,000,000 unclosed arrays", doc(QByteArray(1000000 * 7, 'x').replace("xxxxxxx", "<array>")));
    refuse("513-deep arrays", nested(513, "<array>", "</array>"));

    // ---- Encodings
    refuse("invalid UTF-8 (0xFF)", record("\t\t<key>NoteKey</key>\n\t\t<string>bad \xFF byte</string>"));
    refuse("invalid UTF-8 (Latin-1 text)", record("\t\t<key>NoteKey</key>\n\t\t<string>Caf\xE9</string>"));
    refuse("overlong UTF-8", record("\t\t<key>NoteKey</key>\n\t\t<string>\xC0\xAF</string>"));
    refuse("UTF-8 encoded surrogate", record("\t\t<key>NoteKey</key>\n\t\t<string>\xED\xA0\x80</string>"));
    refuse("UTF-16 little endian", utf16(kExample, false), false);
    refuse("UTF-16 big endian", utf16(kExample, true), false);
    refuse("UTF-16 without byte-order mark", utf16(kExample, false).mid(2));
    refuse("declared ISO-8859-1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" +
                                      kExample.mid(kExample.indexOf("<!DOCTYPE")));
    read("UTF-8 byte-order mark", "\xEF\xBB\xBF" + kExample, PropertyNameKey, QStringLiteral("Caf\u00e9 House"));

    // ---- Entities
    refuse("entity declaration and use",
           "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [<!ENTITY house \"Lake House\">]>\n"
           "<plist version=\"1.0\"><array><dict><key>PropertyNameKey</key><string>&house;</string></dict></array></plist>\n");
    refuse("billion laughs", billionLaughs());
    refuse("external entity",
           "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>\n"
           "<plist version=\"1.0\"><array><dict><key>NoteKey</key><string>&xxe;</string></dict></array></plist>\n");
    refuse("parameter entity",
           "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [<!ENTITY % p SYSTEM \"http://example.invalid/x.dtd\"> %p;]>\n" +
               kExample.mid(kExample.indexOf("<plist")));
    refuse("undeclared entity", record("\t\t<key>NoteKey</key>\n\t\t<string>&nbsp;</string>"));
    refuse("bare ampersand", record("\t\t<key>NoteKey</key>\n\t\t<string>Bob & Sons</string>"));
    read("external DTD is not fetched",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE plist SYSTEM \"file:///nonexistent/x.dtd\">\n" +
             kExample.mid(kExample.indexOf("<plist")),
         ProviderNameKey, QStringLiteral("Bob's Gutters & Roofing"));

    // ---- Values out of range or malformed
    refuse("date year 0", record("\t\t<key>PropertyConstDateKey</key>\n\t\t<date>0000-06-01T00:00:00Z</date>"));
    refuse("date year 10000", record("\t\t<key>PropertyConstDateKey</key>\n\t\t<date>10000-01-01T00:00:00Z</date>"));
    refuse("date garbage", record("\t\t<key>PropertyConstDateKey</key>\n\t\t<date>last Tuesday</date>"));
    refuse("date month 13", record("\t\t<key>PropertyConstDateKey</key>\n\t\t<date>2024-13-01T00:00:00Z</date>"));
    refuse("date without Z", record("\t\t<key>PropertyConstDateKey</key>\n\t\t<date>2024-03-14T07:00:00</date>"));
    refuse("date empty", record("\t\t<key>PropertyConstDateKey</key>\n\t\t<date/>"));
    refuse("integer above 2^64", record("\t\t<key>ServiceTaskTimeInUnitsKey</key>\n\t\t<integer>18446744073709551616</integer>"));
    refuse("integer below -2^63", record("\t\t<key>ServiceTaskTimeInUnitsKey</key>\n\t\t<integer>-9223372036854775809</integer>"));
    refuse("integer with letters", record("\t\t<key>ServiceTaskTimeInUnitsKey</key>\n\t\t<integer>12abc</integer>"));
    refuse("real with a decimal comma", record("\t\t<key>TotalCostKey</key>\n\t\t<real>1,5</real>"));
    refuse("real beyond double", record("\t\t<key>TotalCostKey</key>\n\t\t<real>1e400</real>"));
    refuse("bad base64", record("\t\t<key>BookMarkDataKeyForReceipt</key>\n\t\t<data>!!!not base64!!!</data>"));
    refuse("base64 cut in a byte", record("\t\t<key>BookMarkDataKeyForReceipt</key>\n\t\t<data>QUJDR</data>"));
    read("integer 2^63 (unsigned)", record("\t\t<key>ServiceTaskTimeInUnitsKey</key>\n\t\t<integer>9223372036854775808</integer>"),
         ServiceTaskTimeInUnitsKey, QVariant::fromValue(qulonglong(9223372036854775808ULL)));

    // ---- Characters XML cannot carry
    refuse("control character U+0001", record("\t\t<key>NoteKey</key>\n\t\t<string>a\x01z</string>"));
    refuse("control character U+001B (escape)", record("\t\t<key>NoteKey</key>\n\t\t<string>\x1B[31m</string>"));
    refuse("control character as reference &#1;", record("\t\t<key>NoteKey</key>\n\t\t<string>a&#1;z</string>"));
    refuse("NUL byte in a string", record(QByteArray("\t\t<key>NoteKey</key>\n\t\t<string>a\0z</string>", 36)));
    refuse("NUL byte at the end", kExample + QByteArray(1, '\0'));
    refuse("U+FFFE", record("\t\t<key>NoteKey</key>\n\t\t<string>\xEF\xBF\xBE</string>"));

    // ---- Structure
    refuse("<key> without value", record("\t\t<key>NoteKey</key>"));
    refuse("two <key>s in a row", record("\t\t<key>NoteKey</key>\n\t\t<key>TaxCostKey</key>\n\t\t<string>1</string>"));
    refuse("value without <key>", record("\t\t<string>orphan</string>"));
    refuse("unknown element", record("\t\t<key>NoteKey</key>\n\t\t<note>hello</note>"));
    refuse("unknown element in the array", doc("<array>\n\t<dict/>\n\t<record/>\n</array>"));
    refuse("<plist> with two roots", doc("<array/>\n<array/>"));
    refuse("two root elements", doc("<array/>") + "<plist version=\"1.0\"><array/></plist>\n");
    refuse("text after the root", kExample + "trailing words\n");
    refuse("<key> in an array", doc("<array>\n\t<key>NoteKey</key>\n</array>"));
    refuse("mismatched end tag", record("\t\t<key>NoteKey</key>\n\t\t<string>x</strong>"));
    refuse("text directly in a dict", record("\t\tstray text"));
    refuse("element inside a string", record("\t\t<key>NoteKey</key>\n\t\t<string>a<b>bold</b></string>"));

    // ---- Hand-made files, as editors, sync tools and crashes leave them
    const QStringList fixtures = QDir(QStringLiteral(KOV_TEST_DATA)).entryList({QStringLiteral("bad-*")}, QDir::Files, QDir::Name);
    QVERIFY(fixtures.size() >= 4);
    for (const QString &name : fixtures) {
        QFile f(QStringLiteral(KOV_TEST_DATA "/") + name);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QTest::newRow(qPrintable(name)) << PropertyHistoryFileForKOV << int(Bytes) << f.readAll() << true << true
                                        << QString() << QVariant() << QString();
    }

    // ---- Odd but well-formed: these read, and survive a load and write
    read("ServiceDateKey as a string", oneRecord("\t\t<key>PropertyNameKey</key>\n\t\t<string>Lake House</string>\n"
                                                 "\t\t<key>ServiceDateKey</key>\n\t\t<string>March 14, 2024</string>"),
         ServiceDateKey, QStringLiteral("March 14, 2024"), history,
         "record 1: \"ServiceDateKey\" holds text, not a date");
    read("costs as reals", oneRecord("\t\t<key>LaborCostKey</key>\n\t\t<real>120.5</real>\n"
                                     "\t\t<key>TotalCostKey</key>\n\t\t<real>130.14</real>"),
         TotalCostKey, 130.14, history, "record 1: \"TotalCostKey\" holds a number, not text");
    read("cost as an integer", record("\t\t<key>TaxCostKey</key>\n\t\t<integer>9</integer>"), TaxCostKey,
         qlonglong(9), history, "record 1: \"TaxCostKey\" holds a whole number, not text");
    read("ServiceTaskTimeUnits as a string",
         oneRecord("\t\t<key>ServiceTaskNameKey</key>\n\t\t<string>Clean gutters</string>\n"
                   "\t\t<key>ServiceTaskTimeInUnitsKey</key>\n\t\t<string>six</string>\n"
                   "\t\t<key>ServiceTaskTimeUnits</key>\n\t\t<string>Months</string>"),
         ServiceTaskTimeUnits, QStringLiteral("Months"), ServiceTaskFileForKOV,
         "record 1: \"ServiceTaskTimeUnits\" holds text, not a whole number");
    read("unit code 7", oneRecord("\t\t<key>ServiceTaskNameKey</key>\n\t\t<string>Paint</string>\n"
                                  "\t\t<key>ServiceTaskTimeUnits</key>\n\t\t<integer>7</integer>"),
         ServiceTaskTimeUnits, qlonglong(7), ServiceTaskFileForKOV,
         "record 1: \"ServiceTaskTimeUnits\" holds 7, not a unit code from 0 to 3");
    read("property without a name", oneRecord("\t\t<key>PropertyCityKey</key>\n\t\t<string>Duluth</string>"),
         PropertyCityKey, QStringLiteral("Duluth"), PropertyFileForKOV, "record 1: no \"PropertyNameKey\"");
    read("empty property name", oneRecord("\t\t<key>PropertyNameKey</key>\n\t\t<string></string>"),
         PropertyNameKey, QStringLiteral(""), PropertyFileForKOV, "record 1: \"PropertyNameKey\" is empty");
    read("provider name as data", oneRecord("\t\t<key>ProviderNameKey</key>\n\t\t<data>Qm9i</data>"),
         ProviderNameKey, QByteArray("Bob"), ProviderFileForKOV,
         "record 1: \"ProviderNameKey\" holds data, not text");
    read("name as a boolean", oneRecord("\t\t<key>PropertyNameKey</key>\n\t\t<true/>"), PropertyNameKey, true,
         PropertyFileForKOV, "record 1: \"PropertyNameKey\" holds true or false, not text");
    read("unknown key", record("\t\t<key>ZZFutureKey</key>\n\t\t<string>kept</string>"),
         QStringLiteral("ZZFutureKey"), QStringLiteral("kept"));
    read("unknown key holding a dictionary",
         record("\t\t<key>ZZFutureKey</key>\n\t\t<dict>\n\t\t\t<key>a</key>\n\t\t\t<array><integer>1</integer></array>\n\t\t</dict>"),
         QStringLiteral("ZZFutureKey"), QVariantMap{{QStringLiteral("a"), QVariantList{qlonglong(1)}}});
    read("unknown key in the task file",
         oneRecord("\t\t<key>ServiceTaskNameKey</key>\n\t\t<string>Paint</string>\n"
                   "\t\t<key>ServiceTaskTimeUnits</key>\n\t\t<integer>3</integer>\n"
                   "\t\t<key>UnknownKey</key>\n\t\t<date>2020-01-01T00:00:00Z</date>"),
         QStringLiteral("UnknownKey"), QDateTime(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC),
         ServiceTaskFileForKOV);
    read("huge string (20 MB)", record("\t\t<key>NoteKey</key>\n\t\t<string>" + QByteArray(20 << 20, 'n') + "</string>"),
         NoteKey, QString(20 << 20, QLatin1Char('n')));
    read("CDATA", record("\t\t<key>NoteKey</key>\n\t\t<string><![CDATA[a <b> & c]]></string>"), NoteKey,
         QStringLiteral("a <b> & c"));
    read("comments", doc("<!-- before -->\n<array>\n\t<!-- in the array -->\n\t<dict>\n\t\t<!-- in a dict -->\n"
                         "\t\t<key>PropertyNameKey</key>\n\t\t<!-- between key and value -->\n"
                         "\t\t<string>Lake House</string>\n\t</dict>\n</array>"),
         PropertyNameKey, QStringLiteral("Lake House"), history, "record 1: no \"ServiceDateKey\"");
    read("processing instructions",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?xml-stylesheet href=\"x.css\"?>\n"
         "<plist version=\"1.0\"><array><?kov hint?><dict><key>PropertyNameKey</key><string>Lake House</string></dict></array></plist>\n",
         PropertyNameKey, QStringLiteral("Lake House"), PropertyFileForKOV);
    read("duplicate keys (the last one counts)",
         record("\t\t<key>NoteKey</key>\n\t\t<string>first</string>\n\t\t<key>NoteKey</key>\n\t\t<string>second</string>"),
         NoteKey, QStringLiteral("second"));
    read("empty array", doc("<array/>"));
    read("real infinity and nan", record("\t\t<key>TotalCostKey</key>\n\t\t<real>+infinity</real>\n"
                                          "\t\t<key>TaxCostKey</key>\n\t\t<real>nan</real>"),
         TotalCostKey, qInf(), history, "record 1: \"TotalCostKey\" holds a number, not text");
    read("many records (20,000)", doc("<array>\n" + QByteArray("\t<dict><key>NoteKey</key><string>x</string></dict>\n").repeated(20000) + "</array>"),
         NoteKey, QStringLiteral("x"), history, "and 59990 more");
    read("no declaration, no indentation, CRLF",
         "<plist version=\"1.0\">\r\n<array><dict><key>PropertyNameKey</key><string>Lake House</string>"
         "<key>ServiceDateKey</key><date>2024-03-14T07:00:00Z</date></dict></array>\r\n</plist>",
         ServiceDateKey, QDateTime(QDate(2024, 3, 14), QTime(7, 0), Qt::UTC), history,
         "record 1: no \"ServiceTaskNameKey\"");
    read("character references", record("\t\t<key>NoteKey</key>\n\t\t<string>&#x1F3E0;&#233;&lt;</string>"), NoteKey,
         QStringLiteral("\U0001F3E0\u00e9<"));
    read("right-to-left text and emoji", record("\t\t<key>NoteKey</key>\n\t\t<string>\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xF0\x9F\x8F\xA0</string>"),
         NoteKey, QStringLiteral("\u05e9\u05dc\u05d5\u05dd \U0001F3E0"));
}

void TestBadFiles::badFile()
{
    QFETCH(QString, fileName);
    QFETCH(int, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, refused);
    QFETCH(bool, placed);
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QFETCH(QString, unusable);

    if (kind == NoReadPermission && ::geteuid() == 0)
        QSKIP("root reads a file whatever its permissions; the dangling-link and folder rows cover a file "
              "that cannot be opened");

    const QString path = dataFilePath(fileName);
    switch (kind) {
    case Bytes:
    case NoReadPermission: {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
        f.close();
        if (kind == NoReadPermission)
            QVERIFY(f.setPermissions(QFileDevice::WriteOwner));
        break;
    }
    case Folder:
        QVERIFY(QDir().mkpath(path + QStringLiteral("/inside")));
        break;
    case DanglingSymlink:
        QVERIFY(QFile::link(dir->filePath(QStringLiteral("gone")), path));
        break;
    case SymlinkLoop:
        QVERIFY(QFile::link(path + QStringLiteral(".other"), path));
        QVERIFY(QFile::link(path, path + QStringLiteral(".other")));
        break;
    }
    const QByteArray before = snapshot(path);

    // (a) The storage layer: no crash, Ok or Unreadable with a reason in words.
    DataFileStatus status;
    const RecordList records = readDataFile(path, &status);
    if (refused) {
        QCOMPARE(status.state, DataFileStatus::Unreadable);
        QVERIFY(records.isEmpty());
        QVERIFY(!status.reason.trimmed().isEmpty());
        if (placed) {
            QVERIFY2(status.error.line > 0 && status.error.column > 0, qPrintable(status.reason));
            QVERIFY2(status.reason.contains(QStringLiteral("line %1").arg(status.error.line)),
                     qPrintable(status.reason));
        }
    } else {
        QVERIFY2(status.state == DataFileStatus::Ok, qPrintable(status.reason));
        if (!key.isEmpty()) {
            QVERIFY(!records.isEmpty());
            QVERIFY2(valuesEqual(records.first().value(key), value),
                     qPrintable(records.first().value(key).toString().left(200)));
        }
    }
    qInfo("%s", qPrintable(refused ? status.reason : QStringLiteral("%1 records").arg(records.size())));

    problems.clear();
    DataFileStatus copied;
    const RecordList viaCopy = copyDataFileArray(fileName, &copied);
    QCOMPARE(copied.state, status.state);
    QVERIFY(listsEqual(viaCopy, records));
    if (refused) {
        QCOMPARE(problems.size(), 1);
        QCOMPARE(problems[0].kind, DataFileProblem::ReadFailed);
        QCOMPARE(problems[0].fileName, fileName);
        QCOMPARE(problems[0].reason, status.reason);
        // Writes to it are refused.
        problems.clear();
        QVERIFY(!writeDataFileArray({}, fileName));
        QCOMPARE(problems.size(), 1);
        QCOMPARE(problems[0].kind, DataFileProblem::WriteRefused);
        QCOMPARE(snapshot(path), before);
    } else {
        QVERIFY(problems.isEmpty());
    }

    // (b) kov-cli check names the file and fails.
    {
        QProcess cli;
        cli.start(QStringLiteral(KOV_CLI_PATH), {QStringLiteral("--data-dir"), folder, QStringLiteral("check")});
        QVERIFY(cli.waitForFinished(120000));
        const QString out = QString::fromUtf8(cli.readAllStandardOutput());
        const QString err = QString::fromUtf8(cli.readAllStandardError());
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        if (refused) {
            QVERIFY2(cli.exitCode() == 1, qPrintable(out + err));
            QVERIFY2(out.contains(fileName + QStringLiteral(": cannot be read: ")), qPrintable(out));
            QVERIFY2(err.contains(QDir::toNativeSeparators(path)), qPrintable(err));
        } else {
            QVERIFY2(out.contains(fileName + QStringLiteral(": %1 record").arg(records.size())), qPrintable(out));
            if (unusable.isEmpty()) {
                QVERIFY2(cli.exitCode() == 0, qPrintable(out + err));
            } else {
                // Every problem is listed; the exit status says something is wrong.
                QVERIFY2(cli.exitCode() == 1, qPrintable(out.left(2000) + err));
                if (!unusable.startsWith(QLatin1String("and ")))
                    QVERIFY2(out.contains(QStringLiteral("  ") + unusable), qPrintable(out.left(2000)));
                QVERIFY2(err.contains(QStringLiteral("KOV cannot use")), qPrintable(err));
            }
        }
        QCOMPARE(snapshot(path), before);
    }

    // (c) The window: start, work on another file, close.
    {
        alerts.clear();
        auto d = std::make_unique<KOVAppDelegate>();
        d->applicationDidFinishLaunching();
        QVERIFY(d->window);
        QList<AlertRecord> aboutFile;
        for (const AlertRecord &a : std::as_const(alerts)) {
            if (a.title.contains(fileName))
                aboutFile.append(a);
        }
        if (refused) {
            QCOMPARE(aboutFile.size(), 1);
            QVERIFY2(aboutFile[0].message.contains(status.reason), qPrintable(aboutFile[0].message));
        } else if (unusable.isEmpty()) {
            QVERIFY2(aboutFile.isEmpty(), qPrintable(aboutFile.value(0).message));
        } else {
            QCOMPARE(aboutFile.size(), 1);
            QVERIFY2(aboutFile[0].message.contains(unusable), qPrintable(aboutFile[0].message));
        }
        // Work on another list through its sheet: a provider (or, when the
        // provider file is the bad one, a property) added with the sheet's Add.
        const bool providers = fileName != ProviderFileForKOV;
        const QString other = providers ? ProviderFileForKOV : PropertyFileForKOV;
        QComboBox *entry = providers ? d->ui->providerPopTab1 : d->ui->propertyPopTab1;
        QDialog *sheet = providers ? d->theProviderSheet : d->thePropertySheet;
        QLineEdit *name = providers ? d->providerSheetUi->providerNameProviderSheet
                                    : d->propertySheetUi->propertyNamePropertySheet;
        QPushButton *add = providers ? d->providerSheetUi->addBtnProviderSheet
                                     : d->propertySheetUi->addBtnPropertySheet;
        const int maintain = entry->findText(QStringLiteral("Maintain Item List\u2026"));
        QVERIFY(maintain >= 0);
        entry->setCurrentIndex(maintain);
        Q_EMIT entry->activated(maintain);
        QTRY_VERIFY(sheet->isVisible());
        const qsizetype alertsBefore = alerts.size();
        name->setText(QStringLiteral("Bob's Gutters"));
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(alerts.size(), alertsBefore);
        DataFileStatus otherStatus;
        QCOMPARE(readDataFile(dataFilePath(other), &otherStatus).size(), 1);
        Record provider;
        provider.insert(ProviderNameKey, QStringLiteral("Bob's Gutters"));
        if (refused) {
            // Saving to the bad file is refused and said so.
            QVERIFY(!writeDataFileArray({provider}, fileName));
            QCOMPARE(alerts.size(), alertsBefore + 1);
            QVERIFY(alerts.last().title.contains(fileName));
        }
        d->window->close();
    }
    // Starting, working on another file and closing leave the file as it was.
    QCOMPARE(snapshot(path), before);
    if (!refused) {
        DataFileStatus after;
        QVERIFY(listsEqual(readDataFile(path, &after), records));
        QCOMPARE(after.state, DataFileStatus::Ok);
    }

    // (d) A file that reads survives a load and write with everything in it.
    if (!refused) {
        const RecordList loaded = copyDataFileArray(fileName);
        QVERIFY(writeDataFileArray(loaded, fileName));
        DataFileStatus again;
        const RecordList reread = readDataFile(path, &again);
        QVERIFY2(again.state == DataFileStatus::Ok, qPrintable(again.reason));
        QVERIFY(listsEqual(reread, records));
        if (!key.isEmpty()) {
            QVERIFY(reread.first().contains(key));
            QVERIFY(valuesEqual(reread.first().value(key), value));
        }
        // The rewritten file is what Foundation would write for these records.
        QVariantList list;
        for (const Record &r : reread)
            list.append(r);
        QCOMPARE(snapshot(path), "file:" + writePlist(list));
    }
}

QTEST_MAIN(TestBadFiles)
#include "tst_badfiles.moc"
