#include "online/ui/FrmLien.h"

#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "online/core/LinkMail.h"
#include "online/core/OnlineLinks.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

namespace {
QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}
} // namespace

FrmLien::FrmLien(Store &store, QString dataFolder, QString labo, QString email, QWidget *parent)
    : QDialog(parent)
    , m_store(store)
    , m_dataFolder(std::move(dataFolder))
    , m_labo(std::move(labo))
    , m_email(std::move(email))
{
    setObjectName(QStringLiteral("FrmLien"));
    setWindowTitle(QStringLiteral("Lien de réservation en ligne de ") + m_labo);
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("LblLien"));
    m_state->setWordWrap(true);
    m_link = new QLineEdit(this);
    m_link->setObjectName(QStringLiteral("TxtLien"));
    m_link->setReadOnly(true);
    m_link->setMinimumWidth(520);
    m_create = button(this, "CmdCreerLien", QStringLiteral("Créer le lien"));
    m_renew = button(this, "CmdRenouvelerLien", QStringLiteral("Renouveler"));
    m_revoke = button(this, "CmdRevoquerLien", QStringLiteral("Révoquer"));
    m_copy = button(this, "CmdCopierLien", QStringLiteral("Copier"));
    m_write = button(this, "CmdEcrireLien", QStringLiteral("Écrire au délégué…"));
    QPushButton *close = button(this, "CmdFermerLien", QStringLiteral("Fermer"));

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_create, m_renew, m_revoke, m_copy, m_write})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_state);
    layout->addWidget(m_link);
    layout->addLayout(buttons);

    connect(m_create, &QPushButton::clicked, this, [this] { guarded(this, [&] { create(); }); });
    connect(m_renew, &QPushButton::clicked, this, [this] { guarded(this, [&] { renew(); }); });
    connect(m_revoke, &QPushButton::clicked, this, [this] { guarded(this, [&] { revoke(); }); });
    connect(m_copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(link()); });
    connect(m_write, &QPushButton::clicked, this, [this] { writeToDelegate(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    guarded(this, [&] { refresh(); });
}

void FrmLien::show(QWidget *parent, Store &store, const QString &dataFolder, const QString &labo, const QString &email)
{
    if (labo.isEmpty()) {
        dialogs::information(parent, QStringLiteral("Sélectionnez d'abord un laboratoire."));
        return;
    }
    FrmLien window(store, dataFolder, labo, email, parent);
    dialogs::exec(window, window.windowTitle());
}

QString FrmLien::link() const
{
    return m_link->text();
}

QString FrmLien::address()
{
    if (const auto known = online::readAddress(m_dataFolder))
        return *known;
    const auto typed = dialogs::input(this,
                                      QStringLiteral("Adresse à laquelle les délégués joignent le service de "
                                                     "réservation du cabinet (par exemple https://rdv.cabinet.fr) :"),
                                      QStringLiteral("Lien de réservation en ligne"));
    if (!typed)
        return {};
    const auto address = online::normaliseAddress(*typed);
    if (!address) {
        dialogs::critical(this, QStringLiteral("L'adresse indiquée n'est pas une URL !"));
        return {};
    }
    online::writeAddress(m_dataFolder, *address);
    return *address;
}

void FrmLien::refresh()
{
    online::LinkBook book(m_store, m_dataFolder);
    const auto token = book.token(m_labo);
    const auto known = online::readAddress(m_dataFolder);
    m_link->setText(token && known ? online::linkText(*known, *token) : QString());
    if (token) {
        const QDateTime created = QDateTime::fromString(book.createdOn(m_labo), Qt::ISODate);
        m_state->setText(QStringLiteral("Lien personnel de %1, créé le %2. Quiconque le connaît peut prendre et "
                                        "annuler les rendez-vous de ce laboratoire.")
                             .arg(m_labo, created.toString(QStringLiteral("dd/MM/yyyy à HH:mm"))));
    } else
        m_state->setText(QStringLiteral("%1 n'a pas de lien de réservation en ligne.").arg(m_labo));
    m_create->setVisible(!token);
    for (QPushButton *b : {m_renew, m_revoke, m_copy, m_write})
        b->setVisible(bool(token));
}

void FrmLien::create()
{
    if (address().isEmpty())
        return;
    online::LinkBook(m_store, m_dataFolder).ensure(m_labo);
    refresh();
}

void FrmLien::renew()
{
    if (!dialogs::askYesNo(
            this, QStringLiteral("Renouveler le lien de %1 ? L'ancien lien ne fonctionnera plus.").arg(m_labo), true))
        return;
    if (address().isEmpty())
        return;
    online::LinkBook(m_store, m_dataFolder).renew(m_labo);
    refresh();
}

void FrmLien::revoke()
{
    if (!dialogs::askYesNo(
            this, QStringLiteral("Révoquer le lien de %1 ? Le délégué ne pourra plus réserver en ligne.").arg(m_labo),
            true))
        return;
    online::LinkBook(m_store, m_dataFolder).revoke(m_labo);
    refresh();
}

void FrmLien::writeToDelegate()
{
    if (m_email.isEmpty()) {
        dialogs::critical(this, QStringLiteral("Aucune adresse valide n'est inscrite !"));
        return;
    }
    if (!dialogs::askYesNo(this,
                           QStringLiteral("Etes vous prêt à adresser un courrier à ") + m_labo + QStringLiteral(" ?")))
        return;
    QDesktopServices::openUrl(online::mailWithLink(m_email, m_labo, link()));
}

} // namespace tv
