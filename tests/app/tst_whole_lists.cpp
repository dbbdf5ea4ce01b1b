// The long lists of a large practice behave as whole lists: every row is
// counted from the start, End reaches the last one, and rows another
// workstation writes between two reads are neither repeated nor lost.
#include "LargePractice.h"
#include "support/TestEnv.h"

#include "agenda/core/AppointmentLists.h"
#include "agenda/ui/BookingController.h"
#include "app/ui/FrmLabo.h"
#include "common/ui/Widgets.h"
#include "products/core/HistoryLines.h"
#include "server/core/ServerTransfer.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"
#include "store/tables/Store.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace tv;

namespace {

const QDate kToday(2025, 3, 5);

// A smaller practice of the benchmarks' kind, on the file or moved to the
// server, its first doctor selected with the products shown.
struct LargeWindow {
    LargeWindow()
    {
        tvbench::PracticeSize size;
        size.doctors = 2;
        size.laboratories = 40;
        size.appointments = 6000;
        size.products = 2000;
        size.medicines = 60;
        tvbench::generateLargePractice(env.dataFolder(), size);
        if (tvtest::TestEnv::onServer()) {
            auto file = Store::open(env.dataFile(files::Database));
            ServerTransfer::run(file->db(), tvtest::TestEnv::emptyServerDatabase(), env.dataFolder());
        }
        cheminbase::write(env.programFolder(), env.dataFolder());
        textfile::writeLines(env.programFile(files::VsIni), {u"0,0,1,0"_s});
        w = env.startWindow();
        w->show();
        doctor = w->currentDoctor();
    }
    QStringList pastAppointments() { return rvlists::historyLines(w->store().visites().forMedecin(doctor), kToday); }

    tvtest::TestEnv env{kToday};
    std::unique_ptr<FrmLabo> w;
    QString doctor;
};

} // namespace

class TstWholeLists : public QObject {
    Q_OBJECT
private slots:
    void endReachesTheLastRow()
    {
        LargeWindow p;
        LineView *visits = p.w->view().agenda.LstHist;
        const QStringList past = p.pastAppointments();
        QCOMPARE(visits->count(), past.size());
        // On the first line, as a click leaves it.
        visits->setCurrentRow(0);
        QTest::keyClick(visits, Qt::Key_End);
        QCOMPARE(visits->currentRow(), past.size() - 1);
        QCOMPARE(visits->text(), past.last());

        LineView *products = p.w->view().products.LstHistPr;
        const QStringList history = history::lines(history::Mode::All, p.w->store().produits().forMedecin(p.doctor));
        QCOMPARE(products->count(), history.size());
        products->setCurrentRow(0);
        QTest::keyClick(products, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(products->text(), history.last());
        // Read from both ends, the two parts join without a seam.
        QCOMPARE(products->allLines(), history);
    }

    void rowsWrittenBetweenReadsNeitherRepeatNorVanish()
    {
        LargeWindow p;
        LineView *visits = p.w->view().agenda.LstHist;
        QCOMPARE(visits->text(visits->count() - 1), p.pastAppointments().last());
        // Another workstation: a row among those read, one among those not
        // read yet, and one of those removed.
        auto other = p.env.openStore();
        other->visites().insert({0, p.doctor, u"ZZ NOUVEAU"_s, u"04"_s, u"03"_s, u"2025"_s, QString()});
        other->visites().insert({0, p.doctor, u"ZZ ANCIEN"_s, u"10"_s, u"01"_s, u"2019"_s, QString()});
        const QList<VisiteRecord> all = other->visites().forMedecin(p.doctor);
        const auto gone =
            std::find_if(all.cbegin(), all.cend(), [](const VisiteRecord &v) { return v.an == u"2020"_s; });
        QVERIFY(gone != all.cend());
        QCOMPARE(other->visites().removeFirstAppointment(gone->jour, gone->mois, gone->an, gone->labo, gone->medecin),
                 1);

        // The row among those read shows at the next refresh, no sooner.
        QStringList expected = p.pastAppointments();
        expected.removeOne(u"  04/03/2025      ZZ NOUVEAU"_s);
        QCOMPARE(visits->allLines(), expected);
        p.w->booking().refreshHistory();
        QCOMPARE(visits->allLines(), p.pastAppointments());
    }
};

QTEST_MAIN(TstWholeLists)
#include "tst_whole_lists.moc"
