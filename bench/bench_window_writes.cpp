// The window benchmark's writes: a booking through the booking panel and
// the purge of a year through its menu entry.
#include "WindowBench.h"

#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "store/engine/Database.h"
#include "store/engine/StoreError.h"
#include "store/tables/Store.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>

namespace tvbench::windowbench {

namespace {

const QString kPurgedYear = QStringLiteral("2019");

} // namespace

// A booking on a day of the following year, saved through the booking
// panel's button with its boxes scripted (the quota box and its question
// answered Yes when they come), then deleted outside the measure so the
// table keeps its size.
double booking()
{
    ensureDoctorAndLabo();
    const QString labo = env->window->currentLabo();
    const QString doctor = env->window->currentDoctor();
    const QString day = QStringLiteral("%1").arg(g_turn % 28 + 1, 2, 10, QLatin1Char('0'));
    view().agenda.LblDateRV->setText(day + QStringLiteral("/06/2026"));
    tv::dialogs::script::reset();
    tv::dialogs::script::setStrict(true);
    tv::dialogs::script::push(QMessageBox::Ok);
    tv::dialogs::script::push(QMessageBox::Yes);
    tv::Store &store = env->window->store();
    const int before = store.visites().forLaboMedecin(labo, doctor).get().size();
    const double ms = timed([&] { view().agenda.CmdEnr->click(); });
    tv::dialogs::script::reset();
    if (store.visites().forLaboMedecin(labo, doctor).get().size() != before + 1)
        throw tv::StoreError(QStringLiteral("Le rendez-vous n'a pas été enregistré"));
    store.visites().removeFirstAppointment(day, QStringLiteral("06"), QStringLiteral("2026"), labo, doctor);
    return ms;
}

// The purge of one year through its menu entry, both boxes scripted; the
// year's rows are put back afterwards, outside the measure, with their keys.
double purgeYear()
{
    ensureDoctorAndLabo();
    tv::Database &db = env->window->store().db();
    QList<tv::VisiteRecord> rows;
    {
        tv::Query q(
            db, QStringLiteral("SELECT NumVisite, Medecin, Labo, Jour, Mois, An, Heure FROM Visite WHERE An = :an"));
        q.bind(QStringLiteral(":an"), kPurgedYear);
        while (q.next())
            rows.append({q.integer(0), q.text(1), q.text(2), q.text(3), q.text(4), q.text(5), q.text(6)});
    }
    tv::dialogs::script::reset();
    tv::dialogs::script::setStrict(true);
    tv::dialogs::script::pushInput(kPurgedYear);
    tv::dialogs::script::push(QMessageBox::Yes);
    tv::dialogs::script::push(QMessageBox::Ok);
    const double ms = timed([&] { view().menus.mnuPurger->trigger(); });
    const int unexpected = tv::dialogs::script::unexpected();
    tv::dialogs::script::reset();
    if (unexpected != 0 || env->window->store().visites().countYear(kPurgedYear).get() != 0)
        throw tv::StoreError(QStringLiteral("La purge n'a pas eu lieu"));

    // Put back without the proxy: 25,000 rows, not measured.
    std::unique_ptr<tv::Database> direct;
    if (!env->server.isEmpty()) {
        direct = tv::Database::connectServer(tv::ServerAddress::parse(env->server));
        // Nor announced: the window, which runs no event loop meanwhile,
        // would take 25,000 notices per turn on the next action measured.
        // (Triggers are off only for a superuser's session.)
        try {
            tv::execStatement(*direct, QStringLiteral("SET session_replication_role = replica"));
        } catch (const tv::StoreError &) {
        }
    }
    tv::Database &target = direct ? *direct : db;
    tv::Transaction transaction(target);
    const QString insert = QStringLiteral("INSERT INTO Visite (NumVisite, Medecin, Labo, Jour, Mois, An, Heure) "
                                          "VALUES (:id, :medecin, :labo, :jour, :mois, :an, :heure)");
    for (const tv::VisiteRecord &v : rows) {
        tv::Query(target, insert)
            .bind(QStringLiteral(":id"), v.numVisite)
            .bind(QStringLiteral(":medecin"), v.medecin)
            .bind(QStringLiteral(":labo"), v.labo)
            .bind(QStringLiteral(":jour"), v.jour)
            .bind(QStringLiteral(":mois"), v.mois)
            .bind(QStringLiteral(":an"), v.an)
            .bind(QStringLiteral(":heure"), v.heure)
            .exec();
    }
    transaction.commit();
    return ms;
}

} // namespace tvbench::windowbench
