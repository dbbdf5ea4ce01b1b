// What the user types in an input box: the number reading of the weekday
// maxima, the annual quota answer and the completed time. (The telephone
// grouping is left out: its result for other characters than digits and
// letters is knowingly not meaningful.)
#include "FuzzSupport.h"

#include "agenda/core/Booking.h"
#include "agenda/core/NumberText.h"
#include "labs/core/LabRules.h"

#include <QRegularExpression>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The characters the reading skips wherever they stand.
QString significant(const QString &text)
{
    QString out;
    for (const QChar c : text)
        if (c != u' ' && c != u'\t' && c != u'\n')
            out.append(c);
    return out;
}

// "&H"/"&O" read independently: the value of the leading digits of the
// radix, in two's complement on 16 or 32 bits, infinity beyond.
double radixReference(const QString &s, int radix)
{
    unsigned long long value = 0;
    for (qsizetype p = 2; p < s.size(); ++p) {
        const char16_t c = s.at(p).toUpper().unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (radix == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0 || digit >= radix)
            break;
        value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFULL)
            return std::numeric_limits<double>::infinity();
    }
    if (value <= 0xFFFF)
        return value > 0x7FFF ? static_cast<double>(static_cast<long long>(value) - 0x10000)
                              : static_cast<double>(value);
    return value > 0x7FFFFFFF ? static_cast<double>(static_cast<long long>(value) - 0x100000000LL)
                              : static_cast<double>(value);
}

void checkVal(const QString &text, const std::uint8_t *data, std::size_t size)
{
    using namespace tv::numbertext;
    const double v = val(text);
    if (std::isnan(v))
        std::abort();
    // What follows the number is ignored, and so are the skipped blanks.
    if (val(text + QStringLiteral("x")) != v)
        std::abort();
    QString spaced;
    for (const QChar c : text) {
        spaced.append(c);
        spaced.append(u' ');
    }
    if (val(spaced) != v)
        std::abort();

    const QString s = significant(text);
    if (s.size() >= 2 && s.at(0) == u'&') {
        const QChar kind = s.at(1).toUpper();
        const double expected = kind == u'H' ? radixReference(s, 16) : kind == u'O' ? radixReference(s, 8) : 0.0;
        if (v != expected)
            std::abort();
    } else if (!s.isEmpty() && s.at(0) != u'+' && s.at(0) != u'-') {
        // A minus sign in front changes the sign only.
        if (val(QStringLiteral("-") + text) != -v)
            std::abort();
    }
    if (s.isEmpty()
        || !(isAsciiDigit(s.at(0)) || s.at(0) == u'.' || s.at(0) == u'+' || s.at(0) == u'-' || s.at(0) == u'&'))
        if (v != 0)
            std::abort();

    // Any finite double written in full reads back exactly.
    if (size >= sizeof(double)) {
        double d;
        std::memcpy(&d, data, sizeof d);
        if (std::isfinite(d)) {
            const QString written = QString::number(d, 'g', 17);
            if (val(written) != d)
                std::abort();
        }
    }

    const auto rounded = toInt16(v);
    if (rounded) {
        const double diff = static_cast<double>(*rounded) - v;
        if (!(std::fabs(diff) <= 0.5))
            std::abort();
        if (std::fabs(diff) == 0.5 && *rounded % 2 != 0)
            std::abort();
    } else if (std::isfinite(v) && v > -32768.5 && v < 32767.5) {
        std::abort();
    }
}

void checkQuota(const QString &text)
{
    using namespace tv;
    const auto quota = labrules::parseQuota(text);
    const QString trimmed = text.trimmed();
    if (quota) {
        if (*quota < 0)
            std::abort();
        for (const QChar c : trimmed)
            if (!isAsciiDigit(c))
                std::abort();
        if (!trimmed.isEmpty() && trimmed.toInt() != *quota)
            std::abort();
        // A quota the program stored reads back the same.
        if (labrules::parseQuota(QString::number(*quota)) != quota)
            std::abort();
    }
    // The check before a booking never fails on a stored text.
    const booking::QuotaCheck check =
        booking::checkAnnualQuota(text, 3, QStringLiteral("LABO"), QStringLiteral("2025"));
    if (check.respected != check.message.isEmpty())
        std::abort();
}

void checkTime(const QString &text)
{
    using namespace tv::booking;
    static const QRegularExpression whole(QStringLiteral("^[0-9]{2}H[0-9]{2}$"));
    const TimeEntry entry = completeTime(text);
    if (entry.incomplete) {
        if (!entry.heure.isEmpty() || text.isEmpty())
            std::abort();
        return;
    }
    if (text.isEmpty() ? !entry.heure.isEmpty() : !whole.match(entry.heure).hasMatch() || !entry.heure.startsWith(text))
        std::abort();
    // A completed time stays as it is.
    if (!entry.heure.isEmpty() && completeTime(entry.heure).heure != entry.heure)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The input box gives UTF-16; the bytes are read as UTF-8 to reach every
    // character, and as Latin-1 to keep every byte.
    const QByteArray input = tvfuzz::bytes(data, size);
    for (const QString &text : {QString::fromUtf8(input), QString::fromLatin1(input)}) {
        checkVal(text, data, size);
        checkQuota(text);
        checkTime(text);
    }
    return 0;
}
