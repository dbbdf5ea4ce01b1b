// Damaged Access databases of the former program, through the real
// start-up and through the choice of the database file: the program never
// goes down with them, leaves nothing behind, changes nothing unless the
// user agreed, and names every loss.
#include "support/JetFixtures.h"
#include "support/TestEnv.h"

#include "app/ui/FrmLabo.h"
#include "common/ui/Dialogs.h"
#include "maintenance/core/AccessReport.h"
#include "maintenance/ui/MaintenanceController.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"
#include "store/tables/Store.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tv;
namespace script = tv::dialogs::script;

namespace {

enum Answer { Refused, Yes, No };

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// The list of a question: the paragraph after its first one.
QStringList listOf(const QString &question)
{
    return question.section(u"\n\n"_s, 1, 1).split(u'\n');
}

QString rowCounts(Store &store)
{
    QStringList counts;
    for (const char *table : {"Labo", "Passage", "Visite", "Produit"})
        counts.append(QString::number(tvtest::count(store, u"SELECT COUNT(*) FROM "_s + QLatin1String(table))));
    return counts.join(u' ');
}

} // namespace

class TstAccessImport : public QObject {
    Q_OBJECT

private slots:
    void damagedFileAtStartUp_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("pages"); // kept from the start of the file; 0: all
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<QString>("counts");
        QTest::newRow("reader crashes, import")
            << u"damaged/crash-table-definition.mdb"_s << 0 << int(Yes)
            << QStringList{u"Visite : table endommagée ; 0 ligne lue sur 40"_s, u"Labo : 6 lignes lues."_s}
            << u"6 18 0 15"_s;
        QTest::newRow("reader crashes, declined") << u"damaged/crash-table-definition.mdb"_s << 0 << int(No)
                                                  << QStringList{u"Visite : table endommagée"_s} << QString();
        QTest::newRow("memo pages cut") << u"damaged/memo-pages-cut.mdb"_s << 0 << int(Yes)
                                        << QStringList{u"Labo : table endommagée ; 300 lignes lues ; 13 textes "
                                                       "« Remarque » perdus."_s}
                                        << u"300 2400 30000 8000"_s;
        QTest::newRow("catalog name damaged")
            << u"damaged/table-name-damaged.mdb"_s << 0 << int(Yes)
            << QStringList{u"Produit : table absente."_s, u"table inconnue de ce programme (15 lignes lues)"_s}
            << u"6 18 40 0"_s;
        // Memos on the cut page come back empty, and the library says nothing.
        QTest::newRow("last page cut") << u"ferrune-v2000.mdb"_s << 47 << int(Yes)
                                       << QStringList{u"Produit : table endommagée ; 15 lignes lues ; 2 textes "
                                                      "« Produit » perdus."_s}
                                       << u"6 18 40 15"_s;
        QTest::newRow("catalog never ends")
            << u"damaged/runaway-catalog.mdb"_s << 0 << int(Refused)
            << QStringList{u"est endommagée : elle n'a pas pu être lue"_s, u"Aucun fichier n'a été modifié"_s,
                           u"Réparer et compacter"_s, u"copie plus ancienne"_s}
            << QString();
    }

    void damagedFileAtStartUp()
    {
        QFETCH(QString, file);
        QFETCH(int, pages);
        QFETCH(int, answer);
        QFETCH(QStringList, said);
        QFETCH(QString, counts);
        TV_NEED_JET_FIXTURES();
        tvtest::TestEnv env;
        env.prepareData({u"MARTIN"_s}, u"0,0,0,0"_s);
        const QString database = env.dataFile(files::Database);
        QByteArray bytes = tvtest::TestEnv::readFile(tvtest::jet::fixture(file));
        if (pages > 0)
            bytes.truncate(pages * 4096);
        env.writeFile(database, bytes);
        const QStringList before = filesIn(env.dataFolder());
        // What a program killed while it asked would have left.
        for (const char *left : {".maj-en-cours", ".maj-en-cours-journal", ".vide"})
            env.writeFile(database + QLatin1String(left), "x");

        script::push(QMessageBox::Ok);
        script::push(QMessageBox::Ok);
        script::push(answer == Refused ? QMessageBox::Ok : answer == Yes ? QMessageBox::Yes : QMessageBox::No);
        if (answer == Yes)
            script::push(QMessageBox::Ok);
        bool started = false;
        auto window = env.startWindow(&started);

        QCOMPARE(started, answer == Yes);
        QVERIFY(tvtest::noUnexpectedDialogs());
        QCOMPARE(script::pending(), 0);
        const QString text = script::texts().at(2);
        QVERIFY2(text.contains(QDir::toNativeSeparators(database)), qPrintable(text));
        for (const QString &part : said)
            QVERIFY2(text.contains(part), qPrintable(text));
        for (const QString &shown : script::texts())
            QVERIFY2(!shown.contains(u"terminée."_s), qPrintable(shown));
        if (answer != Yes) {
            QCOMPARE(tvtest::TestEnv::readFile(database), bytes);
            QCOMPARE(filesIn(env.dataFolder()), before);
            return;
        }
        QCOMPARE(tvtest::TestEnv::readFile(env.dataFile(files::OldDatabase)), bytes);
        QStringList after = before;
        after << files::OldDatabase << accessreport::ReportName;
        after.sort();
        QCOMPARE(filesIn(env.dataFolder()), after);
        const QStringList report = textfile::readLines(env.dataFile(accessreport::ReportName)).value();
        QCOMPARE(report.mid(2), listOf(text));
        QVERIFY(script::texts().last().contains(accessreport::ReportName));
        QCOMPARE(rowCounts(window->store()), counts);
    }

    // The file chosen as the database: a No leaves the path and the file
    // as they were; a Yes imports beside it with the report.
    void damagedFileChosen()
    {
        TV_NEED_JET_FIXTURES();
        for (const bool yes : {false, true}) {
            tvtest::TestEnv env;
            env.prepareData({u"Dr A"_s}, u"0,0,0,0"_s);
            QTemporaryDir other;
            const QString chosen = other.filePath(files::Database);
            const QByteArray bytes =
                tvtest::TestEnv::readFile(tvtest::jet::fixture(u"damaged/crash-table-definition.mdb"_s));
            env.writeFile(chosen, bytes);
            auto window = env.startWindow();
            MaintenanceController::seams().start = [](const QString &) { return true; };
            script::reset();
            for (int i = 0; i < 2; ++i) {
                script::push(QMessageBox::Ok);
                script::push(QMessageBox::Yes);
            }
            script::push(QMessageBox::Ok);
            script::pushPath(chosen);
            script::push(QMessageBox::Yes);
            script::push(yes ? QMessageBox::Yes : QMessageBox::No);
            for (int i = 0; i < (yes ? 3 : 0); ++i)
                script::push(QMessageBox::Ok);
            window->maintenance().mnuCheminBDD_Click();
            MaintenanceController::resetSeams();

            QVERIFY(tvtest::noUnexpectedDialogs());
            QCOMPARE(script::pending(), 0);
            QVERIFY(script::texts().at(7).contains(u"Visite : table endommagée"_s));
            QCOMPARE(cheminbase::read(env.programFolder()).value(),
                     QDir::toNativeSeparators(yes ? other.path() : env.dataFolder()));
            QCOMPARE(filesIn(other.path()),
                     yes ? QStringList({files::OldDatabase, accessreport::ReportName, files::Database})
                         : QStringList{files::Database});
            QCOMPARE(tvtest::TestEnv::readFile(yes ? other.filePath(files::OldDatabase) : chosen), bytes);
        }
    }
};

QTEST_MAIN(TstAccessImport)
#include "tst_access_import.moc"
