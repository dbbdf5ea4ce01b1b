#include "agenda/core/AgendaFormat.h"

#include <QRegularExpression>
#include <cstdlib>

namespace tv::agendaformat {

QString passagesFileName(const QString &doctorEntry)
{
    return QStringLiteral("Passages") + doctorEntry + QStringLiteral(".txt");
}

QString absencesFileName(const QString &doctorEntry)
{
    return QStringLiteral("Absences") + doctorEntry + QStringLiteral(".txt");
}

QString tmpAbsencesFileName(const QString &doctorEntry)
{
    return QStringLiteral("TmpAbsences") + doctorEntry + QStringLiteral(".txt");
}

QString passagesLine(const MaxJourTable &values)
{
    QString line;
    for (const std::int16_t v : values) {
        line += v < 0 ? u'-' : u' ';
        line += QString::number(std::abs(static_cast<int>(v)));
        line += u' ';
    }
    return line;
}

MaximaRead parseMaxima(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[ \\t\\r\\n,]+"));
    static const QRegularExpression integer(QStringLiteral("^[+-]?\\d+$"));
    const QStringList fields = text.split(separators, Qt::SkipEmptyParts);
    MaximaRead result;
    for (int i = 0; i < 7 && i < fields.size(); ++i) {
        const QString &field = fields.at(i);
        if (!integer.match(field).hasMatch())
            continue;
        bool ok = false;
        const int value = field.toInt(&ok);
        if (!ok || value < -32768 || value > 32767)
            continue;
        result.values[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(value);
        ++result.valid;
    }
    return result;
}

QString absenceText(const QStringList &lines)
{
    return lines.join(QString());
}

bool isAbsence(const QString &absenceText, const QString &dateJMA)
{
    return absenceText.contains(dateJMA, Qt::CaseSensitive);
}

} // namespace tv::agendaformat
