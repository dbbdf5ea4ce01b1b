#include "agenda/core/Calendar.h"

#include "agenda/core/NumberText.h"

#include <QRegularExpression>
#include <limits>

namespace tv {

namespace calendar {

const QStringList &monthNames()
{
    static const QStringList names = {
        QStringLiteral("Janvier"),   QStringLiteral("Février"), QStringLiteral("Mars"),     QStringLiteral("Avril"),
        QStringLiteral("Mai"),       QStringLiteral("Juin"),    QStringLiteral("Juillet"),  QStringLiteral("Août"),
        QStringLiteral("Septembre"), QStringLiteral("Octobre"), QStringLiteral("Novembre"), QStringLiteral("Décembre"),
    };
    return names;
}

const QStringList &monthCaptions()
{
    static const QStringList captions = {
        QStringLiteral("Jan"),  QStringLiteral("Fev"),  QStringLiteral("Mars"), QStringLiteral("Avr"),
        QStringLiteral("Mai"),  QStringLiteral("Juin"), QStringLiteral("Juil"), QStringLiteral("Août"),
        QStringLiteral("Sept"), QStringLiteral("Oct"),  QStringLiteral("Nov"),  QStringLiteral("Dec"),
    };
    return captions;
}

const QStringList &weekdayNames()
{
    static const QStringList names = {
        QStringLiteral("lundi"),    QStringLiteral("mardi"),  QStringLiteral("mercredi"), QStringLiteral("jeudi"),
        QStringLiteral("vendredi"), QStringLiteral("samedi"), QStringLiteral("dimanche"),
    };
    return names;
}

const QStringList &shortMonthNames()
{
    static const QStringList names = {
        QStringLiteral("janv."), QStringLiteral("févr."), QStringLiteral("mars"),  QStringLiteral("avr."),
        QStringLiteral("mai"),   QStringLiteral("juin"),  QStringLiteral("juil."), QStringLiteral("août"),
        QStringLiteral("sept."), QStringLiteral("oct."),  QStringLiteral("nov."),  QStringLiteral("déc."),
    };
    return names;
}

QString weekdayName(const QDate &date)
{
    return weekdayNames().at(date.dayOfWeek() - 1);
}

QString formatJMA(const QDate &date)
{
    return QStringLiteral("%1/%2/%3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

std::optional<QDate> parseJMA(const QString &text)
{
    static const QRegularExpression form(QStringLiteral(R"(^\s*(\d{1,2})([/.-])(\d{1,2})\2(\d{4})\s*$)"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(4).toInt(), m.captured(3).toInt(), m.captured(1).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

} // namespace calendar

QString Date_JMA_vers_AMJ(const QString &s)
{
    return s.right(4) + u'/' + s.mid(3, 2) + u'/' + s.left(2);
}

QString Date_AMJ_vers_JMA(const QString &s)
{
    return s.right(2) + u'/' + s.mid(5, 2) + u'/' + s.left(4);
}

QString Numero_Mois(const QString &nom)
{
    const int index = static_cast<int>(calendar::monthNames().indexOf(nom));
    return index < 0 ? QString() : QStringLiteral("%1").arg(index + 1, 2, 10, QLatin1Char('0'));
}

std::int16_t Nombre_Jours_Mois(const QString &nomMajuscule, const QString &texteAnnee)
{
    static const int days[12] = {31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const QStringList &names = calendar::monthNames();
    for (int i = 0; i < 12; ++i) {
        if (names.at(i).toUpper() != nomMajuscule)
            continue;
        if (i != 1)
            return static_cast<std::int16_t>(days[i]);
        const double year = numbertext::val(texteAnnee.right(4));
        const bool leap = static_cast<double>(static_cast<long long>(year / 4)) == year / 4;
        return leap ? 29 : 28;
    }
    return 0;
}

namespace {

// One step of the computus: the value must fit the 16-bit signed range.
int checked(long value)
{
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        throw CalendarOverflow();
    return static_cast<int>(value);
}

} // namespace

QDate Date_Paques(std::int16_t annee)
{
    // C++ division truncates toward zero and % keeps the dividend's sign,
    // which is the arithmetic the computus is defined with.
    const long a = annee;
    const int g = checked(a % 19);
    const int b = checked(a / 100);
    const int c = checked(a % 100);
    const int d = checked(b / 4);
    const int e = checked(b % 4);
    const int f = checked(checked(b + 8L) / 25);
    const int h2 = checked(checked(checked(b - static_cast<long>(f)) + 1L) / 3);
    const int h = checked(checked(checked(checked(checked(19L * g) + b) - d) - h2 + 15L) % 30);
    const int i = checked(c / 4);
    const int k = checked(c % 4);
    const int l = checked(checked(checked(checked(32L + checked(2L * e)) + checked(2L * i)) - h - k) % 7);
    const int m = checked(checked(checked(g + checked(11L * h)) + checked(22L * l)) / 451);
    const int sum = checked(checked(checked(h + static_cast<long>(l)) - checked(7L * m)) + 114L);
    const QDate easter(annee, sum / 31, sum % 31 + 1);
    // Years before the era give no calendar date at all.
    if (!easter.isValid())
        throw CalendarOverflow();
    return easter;
}

QString Liste_Jours_Feries(const QString &texteAnnee)
{
    const auto year = numbertext::toInt16(numbertext::val(texteAnnee));
    if (!year)
        throw CalendarOverflow();
    const QDate easter = Date_Paques(*year);
    struct Feast {
        int offset;
        const char16_t *name;
    };
    static const Feast feasts[] = {
        {0, u"Pâques"},     {1, u"Lundi de Pâques"},     {39, u"Jeudi de l'Ascencion"},
        {49, u"Pentecôte"}, {50, u"Lundi de Pentecôte"},
    };
    QString list = QStringLiteral("0101Jour de l'an;0105Fête du travail;0805Victoire 1945;1407Fête nationale;"
                                  "1508Assomption;0111Toussaint;1111Armistice 1918;2512Noël;");
    QStringList movable;
    for (const Feast &feast : feasts) {
        const QDate day = easter.addDays(feast.offset);
        movable.append(QStringLiteral("%1%2%3")
                           .arg(day.day(), 2, 10, QLatin1Char('0'))
                           .arg(day.month(), 2, 10, QLatin1Char('0'))
                           .arg(QString::fromUtf16(feast.name)));
    }
    return list + movable.join(u';');
}

std::optional<QString> Jour_Ferie(const QStringList &joursFeries, const QString &dateJMA)
{
    const QString key = dateJMA.left(2) + dateJMA.mid(3, 2);
    for (const QString &entry : joursFeries) {
        if (entry.left(4) == key)
            return entry.mid(4);
    }
    return std::nullopt;
}

bool Max_Visiteurs_Atteint(const QString &jour, int n, const MaxJourTable &maxJour)
{
    const int w = static_cast<int>(calendar::weekdayNames().indexOf(jour));
    return w >= 0 && n >= maxJour[static_cast<std::size_t>(w)];
}

} // namespace tv
