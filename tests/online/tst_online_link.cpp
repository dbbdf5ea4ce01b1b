// mnuLien on the real window: the selected laboratory's link created (the
// service's address asked once), shown as the service will read it, mailed
// to the delegate, renewed and revoked.
#include "support/LabsFixture.h"

#include "online/core/OnlineLinks.h"
#include "store/files/SettingsFiles.h"

#include <QAction>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QUrlQuery>

using namespace Qt::StringLiterals;
using namespace labstest;

class MailRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class TstOnlineLink : public QObject {
    Q_OBJECT
private slots:
    void createMailRenewRevoke()
    {
        tvtest::TestEnv env;
        auto w = windowWithLabs(env, {u"Alpha"_s});
        exec(env, u"UPDATE Labo SET Email = 'delegue@alpha.fr' WHERE Labo = 'ALPHA'"_s);
        MailRecorder mail;
        QDesktopServices::setUrlHandler(u"mailto"_s, &mail, "open");

        QStringList shown; // the link after each step
        script::pushDialog([&](QDialog &d) {
            const auto click = [&](const char *name) {
                d.findChild<QPushButton *>(QLatin1String(name))->click();
                shown.append(d.findChild<QLineEdit *>(u"TxtLien"_s)->text());
            };
            click("CmdCreerLien");
            click("CmdEcrireLien");
            click("CmdRenouvelerLien");
            click("CmdRevoquerLien");
            return int(QDialog::Accepted);
        });
        script::pushInput(u"https://rdv.cabinet.fr/"_s);
        script::push(QMessageBox::Yes); // write
        script::push(QMessageBox::Yes); // renew
        script::push(QMessageBox::Yes); // revoke
        w->view().menus.mnuLien->trigger();
        QDesktopServices::unsetUrlHandler(u"mailto"_s);
        QVERIFY(tvtest::noUnexpectedDialogs());

        QCOMPARE(shown.size(), 4);
        QVERIFY(shown[0].startsWith(u"https://rdv.cabinet.fr/r/"_s));
        QCOMPARE(shown[1], shown[0]);
        QVERIFY(shown[2].startsWith(u"https://rdv.cabinet.fr/r/"_s) && shown[2] != shown[0]);
        QCOMPARE(shown[3], QString());
        QCOMPARE(mail.opened.size(), 1);
        QCOMPARE(mail.opened[0].path(), u"delegue@alpha.fr"_s);
        QVERIFY(QUrlQuery(mail.opened[0]).queryItemValue(u"body"_s, QUrl::FullyDecoded).contains(shown[0]));
        // Only digests in the database: neither token is stored.
        const QString rows = labstest::rows(env, u"SELECT Labo, Graine, Empreinte FROM Lien"_s).join(u'\n');
        QVERIFY(!rows.contains(shown[0].section(u'/', -1)) && !rows.contains(shown[2].section(u'/', -1)));
        QCOMPARE(tv::online::readAddress(env.dataFolder()), u"https://rdv.cabinet.fr"_s);
    }
};

QTEST_MAIN(TstOnlineLink)
#include "tst_online_link.moc"
