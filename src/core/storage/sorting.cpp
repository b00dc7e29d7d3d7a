#include "storage/sorting.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <QDateTime>
#include <QHash>
#include <QStringList>

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/ustring.h>

namespace kov {

namespace {

// Collators take a while to open, and sorting a pop-up compares its items
// many times over; keep one pair for the current default locale.
struct Collators {
    std::string localeName;
    std::unique_ptr<icu::Collator> standard; // numeric, tertiary
    std::unique_ptr<icu::Collator> caseless; // secondary
};

std::unique_ptr<icu::Collator> openCollator(const icu::Locale &locale,
                                            icu::Collator::ECollationStrength strength, bool numeric)
{
    UErrorCode st = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> coll(icu::Collator::createInstance(locale, st));
    if (U_FAILURE(st) || !coll)
        return nullptr;
    coll->setStrength(strength);
    coll->setAttribute(UCOL_NUMERIC_COLLATION, numeric ? UCOL_ON : UCOL_OFF, st);
    return coll;
}

Collators &collators()
{
    thread_local Collators c;
    const icu::Locale &locale = icu::Locale::getDefault();
    if (c.standard && c.localeName == locale.getName())
        return c;
    c.localeName = locale.getName();
    c.standard = openCollator(locale, icu::Collator::TERTIARY, true);
    c.caseless = openCollator(locale, icu::Collator::SECONDARY, false);
    return c;
}

const char16_t *utf16(const QString &s)
{
    return reinterpret_cast<const char16_t *>(s.constData());
}

int sign(int v)
{
    return (v > 0) - (v < 0);
}

int collate(const icu::Collator *coll, const QString &a, const QString &b)
{
    if (!coll) // no collation data at all: code unit order still sorts
        return sign(QString::compare(a, b, Qt::CaseSensitive));
    UErrorCode st = U_ZERO_ERROR;
    return int(coll->compare(utf16(a), int32_t(a.size()), utf16(b), int32_t(b.size()), st));
}

// Kinds in the order a mixed column sorts them; a missing value sorts first.
enum class Kind { Missing, Number, String, Date, Data, Other };

struct Value {
    Kind kind = Kind::Missing;
    bool integral = false;
    qlonglong i = 0;
    double d = 0;
};

Value classify(const QVariant &v)
{
    Value out;
    if (!v.isValid())
        return out;
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
        out.kind = Kind::Number;
        out.integral = true;
        out.i = v.toLongLong();
        return out;
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        out.kind = Kind::Number;
        const qulonglong u = v.toULongLong();
        out.integral = u <= qulonglong(std::numeric_limits<qlonglong>::max());
        out.i = qlonglong(u);
        out.d = double(u);
        return out;
    }
    case QMetaType::Double:
    case QMetaType::Float:
        out.kind = Kind::Number;
        out.d = v.toDouble();
        return out;
    case QMetaType::QString:
        out.kind = Kind::String;
        return out;
    case QMetaType::QDateTime:
        out.kind = Kind::Date;
        return out;
    case QMetaType::QByteArray:
        out.kind = Kind::Data;
        return out;
    default:
        out.kind = Kind::Other;
        return out;
    }
}

// Exact, so that integers beyond 2^53 still order consistently with reals.
int compareIntReal(qlonglong i, double d)
{
    if (std::isnan(d))
        return -1; // NaN sorts after every number
    if (d >= 9223372036854775808.0)
        return -1;
    if (d < -9223372036854775808.0)
        return 1;
    const double whole = std::trunc(d);
    const auto wi = qlonglong(whole);
    if (i != wi)
        return i < wi ? -1 : 1;
    return d > whole ? -1 : (d < whole ? 1 : 0);
}

int compareNumbers(const Value &a, const Value &b)
{
    if (a.integral && b.integral)
        return (a.i > b.i) - (a.i < b.i);
    if (a.integral)
        return compareIntReal(a.i, b.d);
    if (b.integral)
        return -compareIntReal(b.i, a.d);
    if (std::isnan(a.d) || std::isnan(b.d))
        return int(std::isnan(a.d)) - int(std::isnan(b.d));
    return (a.d > b.d) - (a.d < b.d);
}

int compareStrings(const QString &a, const QString &b, SortSelector sel)
{
    switch (sel) {
    case SortSelector::localizedStandardCompare:
        return localizedStandardCompare(a, b);
    case SortSelector::localizedCaseInsensitiveCompare:
        return localizedCaseInsensitiveCompare(a, b);
    case SortSelector::compare:
        break;
    }
    return sign(QString::compare(a, b, Qt::CaseSensitive));
}

int compareDates(const QDateTime &a, const QDateTime &b)
{
    // An unset date sorts as if missing.
    if (!a.isValid() || !b.isValid())
        return int(a.isValid()) - int(b.isValid());
    const qint64 x = a.toMSecsSinceEpoch(), y = b.toMSecsSinceEpoch();
    return (x > y) - (x < y);
}

} // namespace

int localizedStandardCompare(const QString &a, const QString &b)
{
    const int c = collate(collators().standard.get(), a, b);
    if (c != 0)
        return c;
    // The collator calls some different texts equal (canonical equivalents,
    // ignorable characters); code point order settles them so sorts are
    // repeatable.
    return sign(u_strCompare(utf16(a), int32_t(a.size()), utf16(b), int32_t(b.size()), true));
}

int localizedCaseInsensitiveCompare(const QString &a, const QString &b)
{
    return collate(collators().caseless.get(), a, b);
}

int compareValues(const QVariant &a, const QVariant &b, SortSelector sel)
{
    const Value va = classify(a), vb = classify(b);
    if (va.kind != vb.kind)
        return va.kind < vb.kind ? -1 : 1;
    switch (va.kind) {
    case Kind::Number:
        return compareNumbers(va, vb);
    case Kind::String:
        return compareStrings(a.toString(), b.toString(), sel);
    case Kind::Date:
        return compareDates(a.toDateTime(), b.toDateTime());
    case Kind::Data: {
        const QByteArray x = a.toByteArray(), y = b.toByteArray();
        return (x > y) - (x < y);
    }
    case Kind::Missing:
    case Kind::Other: // lists and dictionaries have no order; keep them as they are
        break;
    }
    return 0;
}

namespace {

// The rank of each text among the distinct texts of `values` (all strings)
// in the order of `sel`; texts the order calls equal share a rank. False,
// leaving `ranks` empty, when the texts are mostly distinct and ranking
// them would cost as much as sorting them.
bool rankTexts(const std::vector<QVariant> &values, SortSelector sel, std::vector<qint64> &ranks)
{
    QHash<QString, qint64> rankOf;
    for (const QVariant &v : values) {
        rankOf.insert(v.toString(), 0);
        if (rankOf.size() > qsizetype(values.size() / 4) + 16)
            return false;
    }
    QStringList distinct = rankOf.keys();
    std::sort(distinct.begin(), distinct.end(),
              [sel](const QString &a, const QString &b) { return compareStrings(a, b, sel) < 0; });
    qint64 rank = 0;
    for (qsizetype i = 0; i < distinct.size(); ++i) {
        if (i > 0 && compareStrings(distinct[i - 1], distinct[i], sel) != 0)
            ++rank;
        rankOf[distinct[i]] = rank;
    }
    ranks.clear();
    ranks.reserve(values.size());
    for (const QVariant &v : values)
        ranks.push_back(rankOf.value(v.toString()));
    return true;
}

} // namespace

RecordList &doSortWithArray(RecordList &array, const QString &sortKey1, bool ascend1, SortSelector sel1,
                            const QString &sortKey2, bool ascend2, SortSelector sel2, const QString &sortKey3,
                            bool ascend3, SortSelector sel3)
{
    struct Level {
        QString key;
        bool ascend;
        SortSelector sel;
    };
    QList<Level> levels;
    for (const Level &l :
         {Level{sortKey1, ascend1, sel1}, Level{sortKey2, ascend2, sel2}, Level{sortKey3, ascend3, sel3}}) {
        if (!l.key.isEmpty())
            levels.append(l);
    }
    if (levels.isEmpty())
        return array;
    // Each record's sort values are looked up once, not once per
    // comparison; a level that holds only valid dates (a log sorted by
    // service date) compares them as plain instants, and one that holds only
    // texts compares each text's rank among its level's few distinct texts,
    // so the collator sees each pair of names once.
    const qsizetype n = array.size();
    struct Keys {
        std::vector<QVariant> values;
        std::vector<qint64> instants; // dates as instants, or texts as ranks
        bool allDates = true;
        bool allTexts = true;
    };
    std::vector<Keys> keys(size_t(levels.size()));
    for (qsizetype l = 0; l < levels.size(); ++l) {
        Keys &k = keys[size_t(l)];
        k.values.reserve(size_t(n));
        for (const Record &r : array) {
            k.values.push_back(r.value(levels[l].key));
            const QVariant &v = k.values.back();
            if (k.allDates && v.typeId() == QMetaType::QDateTime && v.toDateTime().isValid())
                k.instants.push_back(v.toDateTime().toMSecsSinceEpoch());
            else
                k.allDates = false;
            if (v.typeId() != QMetaType::QString)
                k.allTexts = false;
        }
        if (k.allDates || !k.allTexts || n < 2)
            continue;
        k.allTexts = rankTexts(k.values, levels[l].sel, k.instants);
    }
    std::vector<qsizetype> order(static_cast<size_t>(n));
    for (qsizetype i = 0; i < n; ++i)
        order[size_t(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&levels, &keys](qsizetype x, qsizetype y) {
        for (qsizetype l = 0; l < levels.size(); ++l) {
            const Keys &k = keys[size_t(l)];
            int c;
            if (k.allDates || k.allTexts) {
                const qint64 a = k.instants[size_t(x)], b = k.instants[size_t(y)];
                c = (a > b) - (a < b);
            } else {
                c = compareValues(k.values[size_t(x)], k.values[size_t(y)], levels[l].sel);
            }
            if (c != 0)
                return levels[l].ascend ? c < 0 : c > 0;
        }
        return false;
    });
    RecordList sorted;
    sorted.reserve(n);
    for (const qsizetype i : order)
        sorted.append(std::move(array[i]));
    array = std::move(sorted);
    return array;
}

void sortArray(QStringList &array)
{
    std::stable_sort(array.begin(), array.end(),
                     [](const QString &a, const QString &b) { return localizedStandardCompare(a, b) < 0; });
}

void sortNumberArray(QList<double> &array)
{
    // NaN would break the ordering std::sort needs; it goes last.
    std::stable_sort(array.begin(), array.end(), [](double a, double b) {
        if (std::isnan(a))
            return false;
        return std::isnan(b) || a < b;
    });
}

std::optional<Record> copyDictContainingTitle(const QString &title, const QString &key,
                                              const RecordList &array)
{
    for (const Record &r : array) {
        const auto it = r.constFind(key);
        if (it != r.constEnd() && it->typeId() == QMetaType::QString && it->toString() == title)
            return r;
    }
    return std::nullopt;
}

} // namespace kov
