// Automatic database copies: each destructive command leaves one that puts
// the rows back exactly, only the last thirty stay, a copy that cannot be
// made stops the command, and a damaged copy is never put in place.
#include "support/TestEnv.h"

#include "app/ui/FrmLabo.h"
#include "backups/core/Backups.h"
#include "backups/ui/BackupsController.h"
#include "backups/ui/FrmSauvegardes.h"
#include "common/core/Clock.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "labs/ui/DoctorsController.h"
#include "labs/ui/LabsController.h"
#include "maintenance/ui/MaintenanceController.h"
#include "store/engine/Database.h"
#include "store/engine/Schema.h"
#include "store/files/SettingsFiles.h"
#include "store/tables/Store.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>

using namespace Qt::StringLiterals;
using namespace tv;
namespace script = tv::dialogs::script;

namespace {

using Command = std::function<void(FrmLabo &)>;

// Every row of every table, as text: what a restore must give back.
QStringList dump(Store &store)
{
    QStringList rows;
    for (const QString &table : schema::tableNames()) {
        for (const QString &row : tvtest::queryRows(store, u"SELECT * FROM "_s + table + u" ORDER BY 1"_s))
            rows.append(table + u'|' + row);
    }
    return rows;
}

void fillData(const tvtest::TestEnv &env)
{
    env.prepareData({u"Dr A"_s, u"Dr B"_s}, u"0,0,0,0"_s);
    auto store = env.openStore();
    store->addLaboratory(u"ALPHA"_s, {u"DR A"_s, u"DR B"_s});
    store->addLaboratory(u"BETA"_s, {u"DR A"_s, u"DR B"_s});
    for (const char *an : {"2023", "2023", "2024"})
        store->visites().insert({0, "DR A", "ALPHA", "10", "02", QString::fromLatin1(an), ""});
    store->visites().insert({0, "DR B", "BETA", "11", "03", "2025", ""});
    store->produits().insert({0, "DR A", "ALPHA", "M. X", "2023/02/10", "ASPIRINE\n"});
}

QStringList backupNames(const tvtest::TestEnv &env)
{
    return QDir(backups::folder(env.dataFolder())).entryList({u"*.mdb"_s}, QDir::Files, QDir::Name);
}

// An index's pages left with no entry pointing at them: every row still
// reads, only the integrity check finds the damage.
void damageIndex(Store &store)
{
    execStatement(store.db(), u"PRAGMA writable_schema = ON"_s);
    execStatement(store.db(), u"DELETE FROM sqlite_master WHERE name = 'IdxVisiteAn'"_s);
}

void purge2023(FrmLabo &w)
{
    script::pushInput(u"2023"_s);
    script::push(QMessageBox::Yes);
    script::push(QMessageBox::Ok);
    w.maintenance().mnuPurger_Click();
}

// Disk full, as the kernel reports it to a writer past its file size limit.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

} // namespace

class TstBackups : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        script::reset();
        script::setStrict(true);
    }
    void cleanup() { MaintenanceController::resetSeams(); }

    void commandLeavesACopyThatRestoresItsRows_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<bool>("upgrade");
        QTest::newRow("purge") << Command(purge2023) << false;
        QTest::newRow("doctor deleted") << Command([](FrmLabo &w) {
            w.view().labo.LstMed->setCurrentRow(0);
            script::push(QMessageBox::Yes);
            w.doctors().LstMed_DblClick();
        }) << false;
        QTest::newRow("laboratory deleted") << Command([](FrmLabo &w) {
            w.view().labo.LstLabo->setCurrentRow(0);
            script::push(QMessageBox::Yes);
            w.labs().LstLabo_DblClick();
        }) << false;
        QTest::newRow("laboratory renamed") << Command([](FrmLabo &w) {
            w.view().labo.LstLabo->setCurrentRow(1);
            script::pushInput(u"GAMMA"_s);
            w.view().menus.mnurenomlabo->trigger();
        }) << false;
        QTest::newRow("upgrade at start") << Command() << true;
        // No copy of a damaged database can be taken: it is kept aside.
        QTest::newRow("database damaged after a purge") << Command([](FrmLabo &w) {
            purge2023(w);
            damageIndex(w.store());
        }) << false;
    }
    void commandLeavesACopyThatRestoresItsRows()
    {
        QFETCH(Command, command);
        QFETCH(bool, upgrade);
        tvtest::TestEnv env;
        fillData(env);
        const QStringList before = dump(*env.openStore());
        if (upgrade) {
            env.installShippedDatabase();
            tvtest::TestEnv::createDatabase(env.programFile(files::Database));
            for (int i = 0; i < 3; ++i)
                script::push(QMessageBox::Ok);
        }
        auto w = env.startWindow();
        const QStringList daily = upgrade ? QStringList() : backupNames(env);
        if (command)
            command(*w);
        QVERIFY(tvtest::noUnexpectedDialogs());
        QVERIFY(dump(w->store()) != before || upgrade);

        // The copy the command took: the oldest one it added.
        QStringList added = backupNames(env);
        for (const QString &name : daily)
            added.removeOne(name);
        QVERIFY(!added.isEmpty());
        script::push(QMessageBox::Yes);
        script::push(QMessageBox::Ok);
        const bool damaged = !backups::inspect(env.dataFile(files::Database)).sound();
        QVERIFY(w->backups().restore(files::join(backups::folder(env.dataFolder()), added.first())));
        QVERIFY(tvtest::noUnexpectedDialogs());
        QCOMPARE(dump(w->store()), before);
        // The state replaced by the restore was kept too: copied, or the
        // damaged file renamed where the user is told.
        const QStringList aside = QDir(env.dataFolder()).entryList({u"Ferrune_endommagee_*.mdb"_s});
        QCOMPARE(backupNames(env).size() + aside.size(), daily.size() + added.size() + 1);
        QCOMPARE(aside.size(), damaged ? 1 : 0);
        if (damaged)
            QVERIFY(script::texts().last().contains(QDir::toNativeSeparators(env.dataFile(aside.first()))));
    }

    // A month and a half of working days, each with its first start, and on
    // the last one three commands within the same second: the last thirty
    // copies stay, the oldest went first. A copy killed half-way is never
    // listed and is swept by the next one.
    void aMonthAndAHalfKeepsTheLastThirty()
    {
        tvtest::TestEnv env;
        env.prepareData();
        QDir().mkpath(backups::folder(env.dataFolder()));
        const QString killed =
            files::join(backups::folder(env.dataFolder()), u"Ferrune_2025-01-01_09-00-00.mdb.partiel"_s);
        env.writeFile(killed, "half");
        {
            QFile old(killed);
            QVERIFY(old.open(QIODevice::ReadWrite));
            QVERIFY(old.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        }
        auto w = env.startWindow();
        QStringList expected;
        for (QDate day(2025, 3, 6); day <= QDate(2025, 4, 20); day = day.addDays(1)) {
            Clock::pin(QDateTime(day, QTime(8, 30)));
            w->backups().dailyBackup();
            w->backups().dailyBackup();
            expected.prepend(day.toString(u"'Ferrune_'yyyy-MM-dd'_08-30-00.mdb'"_s));
        }
        for (int rank = 2; rank <= 4; ++rank) {
            QVERIFY(w->backups().before(u"la purge"_s));
            expected.prepend(u"Ferrune_2025-04-20_08-30-00_%1.mdb"_s.arg(rank));
        }
        QStringList kept;
        for (const backups::Entry &entry : backups::list(env.dataFolder()))
            kept.append(QFileInfo(entry.path).fileName());
        QCOMPARE(kept, expected.mid(0, 30));
        QVERIFY(!QFile::exists(killed));
    }

    void failedCopyStopsTheCommand_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("Sauvegardes cannot be made") << u"folder"_s;
        QTest::newRow("disk full") << u"full"_s;
        QTest::newRow("database damaged") << u"damaged"_s;
    }
    void failedCopyStopsTheCommand()
    {
        QFETCH(QString, fault);
        tvtest::TestEnv env;
        fillData(env);
        auto w = env.startWindow();
        const QStringList before = dump(w->store());
        const QStringList kept = backupNames(env);
        if (fault == u"folder"_s) {
            QDir(backups::folder(env.dataFolder())).removeRecursively();
            env.writeFile(backups::folder(env.dataFolder()), "not a folder");
        }
        if (fault == u"damaged"_s)
            damageIndex(*env.openStore());
        {
            const FileSizeLimit limit(fault == u"full"_s ? 4096 : RLIM_INFINITY);
            purge2023(*w);
        }
        QVERIFY(script::texts().last().startsWith(u"La sauvegarde qui précède la purge n'a pas pu être faite"_s));
        QVERIFY(script::texts().last().endsWith(u"La commande est abandonnée ; rien n'a été modifié."_s));
        QCOMPARE(dump(w->store()), before);
        if (fault != u"folder"_s) // nothing half written, no copy pushed out
            QCOMPARE(QDir(backups::folder(env.dataFolder())).entryList(QDir::Files, QDir::Name), kept);
    }

    void damagedCopyIsRefused_data()
    {
        QTest::addColumn<QByteArray>("damage");
        QTest::addColumn<QString>("said"); // the cause in French, never SQLite's words
        const QString pages = u"Copie endommagée : des pages de la base sont abîmées ou incohérentes."_s;
        QTest::newRow("not a database") << QByteArray("garbage")
                                        << u"Copie illisible : ce fichier n'est pas une base de données."_s;
        QTest::newRow("truncated") << QByteArray("truncate") << pages;
        QTest::newRow("index damaged") << QByteArray("index") << pages;
        QTest::newRow("table missing") << QByteArray("drop") << u"La table « Passage » manque."_s;
    }
    void damagedCopyIsRefused()
    {
        QFETCH(QByteArray, damage);
        QFETCH(QString, said);
        tvtest::TestEnv env;
        fillData(env);
        auto w = env.startWindow();
        const QStringList before = dump(w->store());
        const QString copy = backups::take(env.dataFolder());
        if (damage == "drop") {
            auto store = Store::open(copy);
            execStatement(store->db(), u"DROP TABLE Passage"_s);
        } else if (damage == "index") {
            damageIndex(*Store::open(copy));
        } else {
            QFile file(copy);
            QVERIFY(file.open(QIODevice::ReadWrite));
            if (damage == "truncate")
                QVERIFY(file.resize(file.size() / 2));
            else
                file.write(QByteArray(200, 'x'));
        }
        const QStringList names = backupNames(env);
        script::push(QMessageBox::Ok);
        QVERIFY(!w->backups().restore(copy));
        QVERIFY(tvtest::noUnexpectedDialogs());
        QCOMPARE(script::texts().last(),
                 u"Cette sauvegarde est endommagée ; elle ne peut pas être restaurée.\n\n"_s + said);
        QCOMPARE(dump(w->store()), before);
        QCOMPARE(backupNames(env), names);

        // The window shows it as such and offers no restore for it.
        FrmSauvegardes window(backups::list(env.dataFolder()));
        auto *table = window.findChild<QTableWidget *>(u"LstSauvegardes"_s);
        auto *restore = window.findChild<QPushButton *>(u"CmdRestaurer"_s);
        int damaged = 0;
        for (int row = 0; row < table->rowCount(); ++row) {
            table->selectRow(row);
            const bool sound = table->item(row, table->columnCount() - 1)->text() == u"Bonne"_s;
            QCOMPARE(restore->isEnabled(), sound);
            damaged += sound ? 0 : 1;
        }
        QCOMPARE(damaged, 1);
    }

    void serverDataAreLeftToTheServer()
    {
        tvtest::TestEnv env;
        fillData(env);
        auto w = env.startWindow();
        QDir(backups::folder(env.dataFolder())).removeRecursively();
        env.writeFile(env.dataFile(files::ServerCfg), "host=cabinet-serveur dbname=tallvane\r\n");
        script::push(QMessageBox::Ok);
        w->view().menus.mnuSauvegardes->trigger();
        QVERIFY(tvtest::noUnexpectedDialogs());
        QVERIFY(script::texts().last().contains(u"l'affaire du serveur"_s));
        QVERIFY(w->backups().before(u"la purge"_s));
        QVERIFY(!QDir(backups::folder(env.dataFolder())).exists());
    }
};

QTEST_MAIN(TstBackups)
#include "tst_backups.moc"
