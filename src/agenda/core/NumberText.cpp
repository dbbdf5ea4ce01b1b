#include "agenda/core/NumberText.h"

#include <cmath>
#include <limits>

namespace tv::numbertext {

namespace {

bool isSkipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// The text without the characters the reading ignores.
QString significant(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (!isSkipped(c))
            out.append(c);
    }
    return out;
}

// "&H" / "&O" integers: up to &HFFFF a 16-bit value, up to &HFFFFFFFF a
// 32-bit one, both in two's complement (&HFFFF is -1); more do not fit.
double radixInteger(const QString &s, int radix)
{
    qsizetype pos = 2;
    unsigned long long value = 0;
    while (pos < s.size()) {
        const int digit = QStringView(s).mid(pos, 1).toInt(nullptr, radix);
        const QChar c = s.at(pos);
        // ASCII digits only: QChar::isDigit() also takes the other scripts'.
        const bool isDigit = radix == 16 ? (c >= u'0' && c <= u'9') || (c.toUpper() >= u'A' && c.toUpper() <= u'F')
                                         : c >= u'0' && c <= u'7';
        if (!isDigit)
            break;
        value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFULL)
            return std::numeric_limits<double>::infinity();
        ++pos;
    }
    if (value <= 0xFFFF) {
        return value > 0x7FFF ? static_cast<double>(static_cast<long long>(value) - 0x10000)
                              : static_cast<double>(value);
    }
    return value > 0x7FFFFFFF ? static_cast<double>(static_cast<long long>(value) - 0x100000000LL)
                              : static_cast<double>(value);
}

} // namespace

double val(const QString &text)
{
    const QString s = significant(text);
    if (s.size() >= 2 && s.at(0) == u'&') {
        const QChar kind = s.at(1).toUpper();
        if (kind == u'H')
            return radixInteger(s, 16);
        if (kind == u'O')
            return radixInteger(s, 8);
        return 0;
    }

    QString number;
    qsizetype pos = 0;
    auto digitsInto = [&] {
        bool any = false;
        while (pos < s.size() && s.at(pos) >= u'0' && s.at(pos) <= u'9') {
            number.append(s.at(pos++));
            any = true;
        }
        return any;
    };
    if (pos < s.size() && (s.at(pos) == u'+' || s.at(pos) == u'-'))
        number.append(s.at(pos++));
    bool mantissa = digitsInto();
    if (pos < s.size() && s.at(pos) == u'.') {
        number.append(s.at(pos++));
        mantissa = digitsInto() || mantissa;
    }
    if (!mantissa)
        return 0;
    if (pos < s.size() && (s.at(pos).toUpper() == u'E' || s.at(pos).toUpper() == u'D')) {
        QString exponent = QStringLiteral("e");
        qsizetype p = pos + 1;
        if (p < s.size() && (s.at(p) == u'+' || s.at(p) == u'-'))
            exponent.append(s.at(p++));
        const qsizetype digitsStart = p;
        while (p < s.size() && s.at(p) >= u'0' && s.at(p) <= u'9')
            exponent.append(s.at(p++));
        if (p > digitsStart)
            number.append(exponent);
    }
    if (number.endsWith(u'.'))
        number.chop(1);
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? value
              : (number.startsWith(u'-') ? -std::numeric_limits<double>::infinity()
                                         : std::numeric_limits<double>::infinity());
}

std::optional<std::int16_t> toInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        rounded = below + 1;
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

} // namespace tv::numbertext
