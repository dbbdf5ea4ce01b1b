#include "web/DelegatePage.h"

#include "agenda/core/Calendar.h"
#include "web/Html.h"
#include "web/WebRequest.h"

#include <QLocale>
#include <QUrl>

namespace tv::web {

namespace {

using html::escape;

QString monthTitle(const QDate &month)
{
    return QLocale(QLocale::French).toString(month, QStringLiteral("MMMM yyyy"));
}

QString doctorChoice(const PageModel &m)
{
    QString options;
    for (const QString &doctor : m.doctors)
        options += QStringLiteral("<option value=\"%1\"%2>%1</option>")
                       .arg(escape(doctor), doctor == m.medecin ? QStringLiteral(" selected") : QString());
    return QStringLiteral("<form class=\"choix\" method=\"get\" action=\"/r/%1\">"
                          "<label for=\"medecin\">Médecin</label><select id=\"medecin\" name=\"medecin\">%2</select>"
                          "<input type=\"hidden\" name=\"mois\" value=\"%3\">"
                          "<button type=\"submit\" id=\"afficher\">Afficher</button></form>")
        .arg(escape(m.token), options, isoMonth(m.month));
}

QString navigation(const PageModel &m)
{
    const QDate previous = m.month.addMonths(-1);
    const QDate next = m.month.addMonths(1);
    QString nav = QStringLiteral("<nav class=\"mois\">");
    if (previous >= m.firstMonth)
        nav += QStringLiteral("<a id=\"mois-precedent\" href=\"%1\">‹ %2</a>")
                   .arg(escape(pageHref(m.token, m.medecin, previous)), escape(monthTitle(previous)));
    nav += QStringLiteral("<h2 id=\"mois\">%1</h2>").arg(escape(monthTitle(m.month)));
    if (next <= m.lastMonth)
        nav += QStringLiteral("<a id=\"mois-suivant\" href=\"%1\">%2 ›</a>")
                   .arg(escape(pageHref(m.token, m.medecin, next)), escape(monthTitle(next)));
    return nav + QStringLiteral("</nav>");
}

QString dayCell(const QDate &day, booking::DayStatus status)
{
    static const QStringList titles = {QStringLiteral("libre"), QStringLiteral("complet"), QStringLiteral("fermé"),
                                       QStringLiteral("passé"), QStringLiteral("votre rendez-vous")};
    const QString iso = isoDay(day);
    const QString name = booking::statusName(status);
    const QString title = calendar::weekdayName(day) + u' ' + calendar::formatJMA(day) + QStringLiteral(" : ")
                          + titles.value(int(status));
    if (status == booking::DayStatus::Free)
        return QStringLiteral("<label data-jour=\"%1\" data-etat=\"%2\" title=\"%3\">"
                              "<input type=\"radio\" name=\"jour\" value=\"%1\">%4</label>")
            .arg(iso, name, escape(title))
            .arg(day.day());
    return QStringLiteral("<span data-jour=\"%1\" data-etat=\"%2\" title=\"%3\">%4</span>")
        .arg(iso, name, escape(title))
        .arg(day.day());
}

QString monthGrid(const PageModel &m)
{
    QString grid = QStringLiteral("<div class=\"grille\">");
    for (const char *name : {"lun", "mar", "mer", "jeu", "ven", "sam", "dim"})
        grid += QStringLiteral("<span class=\"entete\">%1</span>").arg(QLatin1String(name));
    for (int blank = 1; blank < m.month.dayOfWeek(); ++blank)
        grid += QStringLiteral("<span class=\"vide\"></span>");
    for (const auto &[day, status] : m.days)
        grid += dayCell(day, status);
    grid +=
        QStringLiteral("</div><p class=\"legende\"><span data-etat=\"libre\">libre</span>"
                       "<span data-etat=\"complet\">complet</span><span data-etat=\"ferme\">fermé</span>"
                       "<span data-etat=\"passe\">passé</span><span data-etat=\"pris\">votre rendez-vous</span></p>");
    return grid;
}

QString bookingForm(const PageModel &m)
{
    QString form = QStringLiteral("<form method=\"post\" action=\"/r/%1/reserver\">"
                                  "<input type=\"hidden\" name=\"medecin\" value=\"%2\">"
                                  "<input type=\"hidden\" name=\"mois\" value=\"%3\">")
                       .arg(escape(m.token), escape(m.medecin), isoMonth(m.month));
    form += monthGrid(m) + QStringLiteral("<div class=\"reserver\">");
    if (m.askTime)
        form += QStringLiteral("<label for=\"heure\">Heure (facultative)</label>"
                               "<input id=\"heure\" name=\"heure\" type=\"text\" inputmode=\"numeric\" "
                               "placeholder=\"09H30\" maxlength=\"5\" size=\"6\">");
    return form
           + QStringLiteral("<button type=\"submit\" id=\"reserver\">Réserver le jour choisi</button></div></form>");
}

QString comingList(const PageModel &m)
{
    QString list = QStringLiteral("<section id=\"mes-rendez-vous\"><h2>Vos prochains rendez-vous</h2><ul>");
    for (const VisiteRecord &v : m.coming) {
        const QDate day(v.an.toInt(), v.mois.toInt(), v.jour.toInt());
        if (!day.isValid())
            continue;
        QString text = calendar::weekdayName(day) + u' ' + calendar::formatJMA(day) + QStringLiteral(" — ") + v.medecin;
        if (!v.heure.isEmpty())
            text += QStringLiteral(" (") + v.heure + u')';
        // Cancelled online until the day before; on the day, by telephone.
        const bool late = day <= m.today;
        list += QStringLiteral("<li data-jour=\"%1\" data-medecin=\"%2\"><span>%3</span>"
                               "<form method=\"post\" action=\"/r/%4/annuler\">"
                               "<input type=\"hidden\" name=\"medecin\" value=\"%2\">"
                               "<input type=\"hidden\" name=\"jour\" value=\"%1\">"
                               "<button type=\"submit\" class=\"annuler\"%5>Annuler</button></form></li>")
                    .arg(isoDay(day), escape(v.medecin), escape(text), escape(m.token),
                         late ? QStringLiteral(" disabled title=\"Le jour même, appelez le cabinet.\"") : QString());
    }
    if (m.coming.isEmpty())
        list += QStringLiteral("<li class=\"aucun\">Aucun rendez-vous à venir.</li>");
    return list + QStringLiteral("</ul></section>");
}

} // namespace

QString pageHref(const QString &token, const QString &medecin, const QDate &month)
{
    return QStringLiteral("/r/") + token + QStringLiteral("?medecin=")
           + QString::fromLatin1(QUrl::toPercentEncoding(medecin)) + QStringLiteral("&mois=") + isoMonth(month);
}

QString renderPage(const PageModel &m)
{
    QString body = QStringLiteral("<main><h1>Rendez-vous de %1</h1>").arg(escape(m.labo));
    body += QStringLiteral("<p id=\"message\" class=\"%1\" role=\"status\">%2</p>")
                .arg(m.message.isEmpty() ? QString() : (m.error ? QStringLiteral("erreur") : QStringLiteral("ok")),
                     escape(m.message));
    if (m.medecin.isEmpty())
        body += QStringLiteral("<p>Aucun médecin du cabinet ne reçoit ce laboratoire pour le moment.</p>");
    else {
        body += doctorChoice(m);
        body += QStringLiteral("<p class=\"quota\">Visites %1 avec %2 : <span id=\"quota-utilise\">%3</span> sur "
                               "<span id=\"quota\">%4</span>, reste <span id=\"quota-restant\">%5</span>.</p>")
                    .arg(QString::number(m.month.year()), escape(m.medecin), QString::number(m.used),
                         QString::number(m.quota), QString::number(std::max(0, m.quota - m.used)));
        body += navigation(m) + bookingForm(m);
    }
    body += comingList(m);
    return body + QStringLiteral("</main>");
}

} // namespace tv::web
