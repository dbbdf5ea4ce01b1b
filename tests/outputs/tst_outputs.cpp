// Print, PDF, calendar export and the quota chart: the documents read back
// with poppler, the calendar file with an independent iCalendar parser, the
// chart's bars as data and one rendering.
#include "support/TestEnv.h"

#include "agenda/core/AgendaFiles.h"
#include "app/ui/FrmLabo.h"
#include "common/core/Clock.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "outputs/ui/OutputsController.h"
#include "outputs/ui/QuotaChartWindow.h"
#include "store/files/TextFile.h"
#include "store/tables/Store.h"

#include <QChartView>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tv;
namespace script = tv::dialogs::script;

namespace {

const QString kOdd = u"L'ÉLAN, \"BIO\" & CIE"_s; // quotes, accents, comma, ampersand

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        qWarning() << program << p.readAllStandardError();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Dr A, three laboratories (one with an awkward name), April 2025 shown.
struct Practice {
    Practice()
    {
        env.prepareData({u"Dr A"_s}, u"100,0,0,0"_s);
        bool started = false;
        w = env.startWindow(&started);
        if (!started)
            qFatal("start-up failed");
        for (const QString &labo : {u"ALPHA"_s, u"BETA"_s, kOdd})
            w->store().addLaboratory(labo, {u"DR A"_s});
        w->reloadLaboratoryLists();
        w->view().labo.LstMed->setCurrentRow(0);
        w->state().MoisActif = 3;
    }
    void book(const QString &labo, const char *jour, const char *mois, const char *heure = "", const char *an = "2025")
    {
        w->store().visites().insert({0, u"DR A"_s, labo, QString::fromLatin1(jour), QString::fromLatin1(mois),
                                     QString::fromLatin1(an), QString::fromLatin1(heure)});
    }
    QString out(const QString &name) const { return env.dataFile(name); }

    tvtest::TestEnv env;
    std::unique_ptr<FrmLabo> w;
};

} // namespace

class TstOutputs : public QObject {
    Q_OBJECT
private slots:
    void monthPdfHoldsEveryBooking()
    {
        Practice p;
        const QList<std::pair<const char *, QString>> booked = {
            {"01", u"ALPHA"_s}, {"01", u"BETA"_s}, {"15", kOdd}, {"30", u"BETA"_s}};
        for (const auto &[day, labo] : booked)
            p.book(labo, day, "04", labo == u"BETA"_s ? "10H30" : "");
        p.book(u"ALPHA"_s, "02", "05"); // another month: not in April's page
        p.env.writeFile(agendafiles::absencesPath(p.w->state().CheminBase, p.w->view().labo.LstMed->text()),
                        "10/04/2025\r\n");
        script::pushPath(p.out(u"avril"_s));
        p.w->view().menus.mnuPdf->trigger();
        QVERIFY(tvtest::noUnexpectedDialogs());

        const QString pdf = p.out(u"avril.pdf"_s);
        const QStringList lines = run(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s}).split(u'\n');
        const auto lineOf = [&](const QString &date) {
            for (const QString &l : lines)
                if (l.contains(date))
                    return l;
            return QString();
        };
        for (const auto &[day, labo] : booked)
            QVERIFY2(lineOf(QString::fromLatin1(day) + u"/04/2025"_s).contains(labo), qPrintable(labo));
        QVERIFY(lineOf(u"30/04/2025"_s).contains(u"BETA (10H30)"_s));
        QCOMPARE(lines.join(u'\n').count(kOdd), 1); // no hidden copy of a row in the text
        QVERIFY(!lineOf(u"02/04/2025"_s).contains(u"ALPHA"_s));
        QVERIFY(lineOf(u"21/04/2025"_s).contains(u"Lundi de Pâques"_s));
        QVERIFY(lineOf(u"10/04/2025"_s).contains(u"Absent"_s));
        QVERIFY(lines.join(u'\n').contains(u"Imprimé le 05/03/2025"_s));
        const QString info = run(u"pdfinfo"_s, {pdf});
        QVERIFY(info.contains(u"DR A"_s) && info.contains(u"Avril 2025"_s) && info.contains(u"Tallvane"_s));
        QVERIFY(run(u"pdffonts"_s, {pdf}).contains(u" yes "_s)); // embedded
    }

    void longHistoryKeepsEveryLineAcrossPages()
    {
        Practice p;
        p.w->view().menus.mnuProduits->trigger();
        for (int i = 0; i < 400; ++i)
            p.w->store().produits().insert({0, u"DR A"_s, i == 7 ? kOdd : u"BETA"_s, u"M. D"_s,
                                            QDate(2020, 1, 1).addDays(i).toString(Qt::ISODate),
                                            u"PRODUIT %1\n"_s.arg(i)});
        p.w->Remplir_Historique();
        p.w->showTab(3);
        script::pushPath(p.out(u"hist.pdf"_s));
        p.w->outputs().mnuPdf_Click();
        QVERIFY(tvtest::noUnexpectedDialogs());

        const QString pdf = p.out(u"hist.pdf"_s);
        const int pages = QRegularExpression(u"Pages:\\s+(\\d+)"_s).match(run(u"pdfinfo"_s, {pdf})).captured(1).toInt();
        const int perPage = run(u"pdftotext"_s, {u"-l"_s, u"1"_s, pdf, u"-"_s}).count(u"PRODUIT"_s);
        QVERIFY(perPage > 10);
        QCOMPARE(pages, (400 + perPage - 1) / perPage);
        const QString text = run(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
        for (int k = 1; k <= pages; ++k)
            QCOMPARE(text.count(u"Page %1 / %2"_s.arg(k).arg(pages)), 1);
        // No row lost or doubled where a page breaks.
        int dates = 0;
        for (auto it = QRegularExpression(u"\\d\\d/\\d\\d/20(19|2\\d)"_s).globalMatch(text); it.hasNext(); it.next())
            ++dates;
        QCOMPARE(dates, 400 + pages); // every line plus each page's print date
        QVERIFY(text.contains(kOdd));
    }

    void refusalsAndFaults_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("no doctor, print") << u"nodoctor"_s << u"print"_s << u"Sélectionnez un médecin."_s;
        QTest::newRow("no doctor, ics") << u"nodoctor"_s << u"ics"_s << u"Sélectionnez un médecin."_s;
        QTest::newRow("laboratory page") << u"labpage"_s << u"pdf"_s << u"rien à imprimer sur cette page"_s;
        QTest::newRow("empty month list") << u"monthlist"_s << u"pdf"_s << u"Aucun rendez-vous à imprimer"_s;
        QTest::newRow("no bar to draw") << u"novisit"_s << u"chart"_s << u"Ni quota ni visite"_s;
        QTest::newRow("unwritable name, pdf") << u"isfolder"_s << u"pdf"_s << u"Impossible d'écrire"_s;
        QTest::newRow("unwritable name, ics") << u"isfolder"_s << u"ics"_s << u"Impossible d'écrire"_s;
        QTest::newRow("disk full, pdf") << u"diskfull"_s << u"pdf"_s << u"Impossible d'écrire"_s;
    }
    void refusalsAndFaults()
    {
        QFETCH(QString, setup);
        QFETCH(QString, command);
        QFETCH(QString, message);
        Practice p;
        p.book(u"ALPHA"_s, "03", "04");
        const QString folder = p.out(u"sorties"_s);
        QDir().mkpath(folder);
        if (setup == u"nodoctor"_s)
            p.w->view().labo.LstMed->setCurrentRow(-1);
        if (setup == u"labpage"_s)
            p.w->showTab(2);
        if (setup == u"monthlist"_s) {
            p.w->state().MoisActif = 6;
            p.w->view().menus.mnuVoirRV->trigger();
        }
        if (setup == u"novisit"_s)
            p.w->store().visites().removeForMedecin(u"DR A"_s);
        if (setup == u"diskfull"_s)
            textfile::setWriteFault([](textfile::WriteStep step, const QString &) {
                return step == textfile::WriteStep::TemporaryHalfWritten;
            });
        const QString target = folder + (command == u"ics"_s ? u"/a.ics"_s : u"/a.pdf"_s);
        if (setup == u"isfolder"_s) // a name the file cannot take, whoever runs the test
            QDir().mkpath(target);
        if (command == u"ics"_s)
            script::pushDialog([](QDialog &) { return int(QDialog::Accepted); });
        script::pushPath(target);
        if (command == u"print"_s)
            p.w->outputs().mnuImprimer_Click();
        if (command == u"pdf"_s)
            p.w->outputs().mnuPdf_Click();
        if (command == u"ics"_s)
            p.w->outputs().mnuICal_Click();
        if (command == u"chart"_s)
            p.w->outputs().mnuGraphique_Click();
        textfile::setWriteFault(nullptr);
        QVERIFY2(script::texts().join(u'|').contains(message), qPrintable(script::texts().join(u'|')));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList()); // nothing half written
        QVERIFY(!p.w->outputs().chartWindow());
    }

    void printGoesThroughThePreview()
    {
        Practice p;
        script::push(QMessageBox::Ok);
        p.w->view().menus.mnuImprimer->trigger();
        QVERIFY(tvtest::noUnexpectedDialogs());
        QCOMPARE(script::log().back().kind, dialogs::Kind::Print);
        QVERIFY(script::log().back().text.contains(u"DR A — Agenda du mois — Avril 2025"_s));
    }

    void icsReadByAnIndependentParser()
    {
        Practice p;
        p.book(u"ALPHA"_s, "05", "03", "10H30");
        p.book(kOdd, "05", "03");
        p.book(u"BETA"_s, "27", "10", "08H00");    // daylight saving ends that night
        p.book(u"BETA"_s, "01", "01", "", "2026"); // outside the period
        p.env.writeFile(agendafiles::absencesPath(p.w->state().CheminBase, p.w->view().labo.LstMed->text()),
                        "14/07/2025\r\n02/01/2026\r\n");
        const auto exportTo = [&](const QString &path) {
            script::pushDialog([](QDialog &d) {
                d.findChild<QCheckBox *>(u"ChkAbsences"_s)->setChecked(true);
                return int(QDialog::Accepted);
            });
            script::pushPath(path);
            script::push(QMessageBox::Ok);
            p.w->view().menus.mnuICal->trigger();
        };
        Clock::pin(QDateTime(QDate(2025, 3, 5), QTime(9, 0)));
        exportTo(p.out(u"a"_s));
        QVERIFY(tvtest::noUnexpectedDialogs());

        const QString parse = uR"(
import icalendar, json, sys
cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
out = []
for e in cal.walk('VEVENT'):
    s, n = e.decoded('DTSTART'), e.decoded('DTEND')
    out.append({'uid': str(e['UID']), 'summary': str(e['SUMMARY']), 'start': s.isoformat(),
                'zone': str(getattr(s, 'tzinfo', None) or ''),
                'offset': str(s.utcoffset()) if hasattr(s, 'hour') else '',
                'minutes': (n - s).total_seconds() / 60})
print(json.dumps(out))
)"_s;
        const auto events = [&](const QString &file) {
            return QJsonDocument::fromJson(run(u"/usr/bin/python3"_s, {u"-c"_s, parse, file}).toUtf8()).array();
        };
        const QJsonArray first = events(p.out(u"a.ics"_s));
        QCOMPARE(first.size(), 4);
        const auto at = [&](int i, const char *field) {
            return first[i].toObject()[QString::fromLatin1(field)].toVariant().toString();
        };
        QCOMPARE(at(0, "summary"), u"Visite : "_s + kOdd); // the day's all-day events first
        QCOMPARE(at(0, "start"), u"2025-03-05"_s);
        QCOMPARE(at(0, "minutes"), u"1440"_s);
        QCOMPARE(at(1, "summary"), u"Visite : ALPHA"_s);
        QCOMPARE(at(1, "start"), u"2025-03-05T10:30:00+01:00"_s);
        QCOMPARE(at(1, "zone"), u"Europe/Paris"_s);
        QCOMPARE(at(1, "minutes"), u"30"_s);
        QCOMPARE(at(2, "summary"), u"Absent"_s);
        QCOMPARE(at(2, "start"), u"2025-07-14"_s);
        QCOMPARE(at(3, "start"), u"2025-10-27T08:00:00+01:00"_s);

        // Later in the day, rows renumbered (deleted and booked again), one
        // visit moved to another hour, one new: the same UID for each visit
        // already exported, a new one for the new visit.
        p.w->store().visites().removeForMedecin(u"DR A"_s);
        p.book(u"BETA"_s, "27", "10", "08H00");
        p.book(kOdd, "05", "03");
        p.book(u"ALPHA"_s, "05", "03", "11H00");
        p.book(u"BETA"_s, "05", "03", "14H00");
        Clock::pin(QDateTime(QDate(2025, 3, 5), QTime(17, 45)));
        exportTo(p.out(u"b.ics"_s));
        QStringList before, after;
        for (const QJsonValue &e : first)
            before.append(e[u"uid"_s].toString());
        for (const QJsonValue &e : events(p.out(u"b.ics"_s)))
            after.append(e[u"uid"_s].toString());
        QCOMPARE(after.size(), 5);
        const QString added = after.takeAt(2); // BETA at 14H00, the day's third event
        QCOMPARE(after, before);
        QVERIFY(!before.contains(added));
    }

    void quotaBars_data()
    {
        QTest::addColumn<QStringList>("visits");   // "LABO dd/mm/yyyy"
        QTest::addColumn<QStringList>("quotas");   // "LABO=n"
        QTest::addColumn<QStringList>("expected"); // "LABO past future quota"
        QTest::newRow("past and future split by today")
            << QStringList{u"ALPHA 04/03/2025"_s, u"ALPHA 05/03/2025"_s, u"ALPHA 01/12/2025"_s}
            << QStringList{u"ALPHA=4"_s} << QStringList{u"ALPHA 1 2 4"_s};
        QTest::newRow("most used first, then share of quota, then name")
            << QStringList{u"B 01/01/2025"_s, u"C 01/01/2025"_s, u"A 01/01/2025"_s, u"A 02/01/2025"_s}
            << QStringList{u"B=10"_s, u"C=2"_s} << QStringList{u"A 2 0 -1"_s, u"C 1 0 2"_s, u"B 1 0 10"_s};
        QTest::newRow("other years, unset and zero quotas without visits left out")
            << QStringList{u"A 01/01/2024"_s} << QStringList{u"A="_s, u"Z=0"_s, u"Q=x"_s} << QStringList{};
        QTest::newRow("names matched without case, over quota")
            << QStringList{u"alpha 01/01/2025"_s, u"ALPHA 01/02/2025"_s} << QStringList{u"Alpha=1"_s}
            << QStringList{u"Alpha 2 0 1 over"_s};
    }
    void quotaBars()
    {
        QFETCH(QStringList, visits);
        QFETCH(QStringList, quotas);
        QFETCH(QStringList, expected);
        QList<VisiteRecord> records;
        for (const QString &v : visits) {
            const QStringList f = v.split(u' ');
            records.append({0, u"DR A"_s, f[0], f[1].mid(0, 2), f[1].mid(3, 2), f[1].mid(6), {}});
        }
        QHash<QString, QString> quotaTexts;
        for (const QString &q : quotas)
            quotaTexts.insert(q.section(u'=', 0, 0), q.section(u'=', 1));
        QStringList got;
        for (const outputs::QuotaBar &b : outputs::quotaBars(records, quotaTexts, 2025, QDate(2025, 3, 5)))
            got.append(u"%1 %2 %3 %4%5"_s.arg(b.labo).arg(b.past).arg(b.future).arg(b.quota).arg(
                b.overQuota() ? u" over"_s : u""_s));
        QCOMPARE(got, expected);
    }

    void chartKeepsTopBarsAndRenders()
    {
        Practice p;
        for (int i = 0; i < 60; ++i) {
            const QString labo = u"LABO %1"_s.arg(i, 2, 10, QLatin1Char('0'));
            p.w->store().passages().setQuota(labo, u"DR A"_s, 3);
            for (int k = 0; k < i % 5; ++k)
                p.book(labo, qPrintable(u"%1"_s.arg(k + 1, 2, 10, QLatin1Char('0'))), k % 2 ? "01" : "11");
        }
        p.w->store().passages().setQuota(kOdd, u"DR A"_s, 1);
        p.book(kOdd, "02", "02");
        p.book(kOdd, "03", "02");
        p.w->view().menus.mnuGraphique->trigger();
        QuotaChartWindow *chart = p.w->outputs().chartWindow();
        QVERIFY(chart && chart->isVisible());
        const QList<outputs::QuotaBar> bars = chart->shownBars();
        QCOMPARE(bars.size(), QuotaChartWindow::TopBars + 1);
        QCOMPARE(bars.first().labo, u"LABO 04"_s); // four visits, the first name of them
        QCOMPARE(bars.last().laboratories, 61 - QuotaChartWindow::TopBars);
        int total = 0;
        for (const outputs::QuotaBar &b : bars)
            total += b.booked();
        QCOMPARE(total, 2 + 12 * (1 + 2 + 3 + 4));
        QVERIFY(outputs::barCaption(*std::find_if(bars.begin(), bars.end(), [](auto &b) {
                    return b.labo == kOdd;
                })).contains(u"dépassé"_s));

        script::pushPath(p.out(u"quotas"_s));
        chart->findChild<QPushButton *>(u"CmdPng"_s)->click();
        const QImage image(p.out(u"quotas.png"_s));
        QCOMPARE(image.size(), chart->chartView()->size());
        QVERIFY(image.height() >= 26 * QuotaChartWindow::TopBars);
        QVERIFY(chart->findChild<QLabel *>(u"LblAutres"_s)->text().contains(u"Et 21 autres laboratoires"_s));
        QVERIFY(tvtest::noUnexpectedDialogs());
    }
};

QTEST_MAIN(TstOutputs)
#include "tst_outputs.moc"
