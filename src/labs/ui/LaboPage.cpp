#include "labs/ui/LaboPage.h"

#include "common/ui/Widgets.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace tv {

QWidget *buildLaboPage(LaboWidgets &w, QWidget *parent, LineView **appointments)
{
    w.page = named<QWidget>(QStringLiteral("PctTab_1"), parent);
    QWidget *page = w.page;

    w.LblNomLabo = named<QLabel>(QStringLiteral("LblNomLabo"), page, QStringLiteral("LABORATOIRE"));
    w.LBlLabo = named<QLabel>(QStringLiteral("LBlLabo"), page);
    QFont bold = w.LBlLabo->font();
    bold.setBold(true);
    w.LBlLabo->setFont(bold);
    w.LblVM = named<QLabel>(QStringLiteral("LblVM"), page, QStringLiteral("DELEGUE MEDICAL"));
    w.LblUrl = named<QLabel>(QStringLiteral("LblUrl"), page, QStringLiteral("URL (site internet)"));
    w.LblTel = named<QLabel>(QStringLiteral("LblTel"), page, QStringLiteral("Tél"));
    w.LblLaboratoire = named<QLabel>(QStringLiteral("LblLaboratoire"), page);

    for (int i = 0; i < 5; ++i)
        w.TextVM[i] = named<QLineEdit>(QStringLiteral("TextVM_%1").arg(i), page);
    const QString clipboardHint = QStringLiteral("Click droit : copie le texte dans le Presse Papiers");
    w.TextVM[2]->setToolTip(clipboardHint);
    w.TextVM[3]->setToolTip(clipboardHint);
    w.TxtTel_1 = named<QLineEdit>(QStringLiteral("TxtTel_1"), page);
    w.TxtTel_2 = named<QLineEdit>(QStringLiteral("TxtTel_2"), page);
    w.Text4 = named<QLineEdit>(QStringLiteral("Text4"), page);
    w.TxtCommune = named<QLineEdit>(QStringLiteral("TxtCommune"), page);
    w.Text5 = named<QPlainTextEdit>(QStringLiteral("Text5"), page);

    w.LblPassTitre =
        named<QLabel>(QStringLiteral("LblPassTitre"), page, QStringLiteral("Nombre de visites annuelles autorisées"));
    w.LblPass = named<QLabel>(QStringLiteral("LblPass"), page);
    w.LblPass->setAlignment(Qt::AlignCenter);
    w.LblPass->setFont(bold);
    w.LblPass->setMinimumWidth(40);
    // A quota exists only for a laboratory and a doctor both selected.
    w.LblPass->hide();
    w.CmdPassage = pictureButton(QStringLiteral("CmdPassage"), QStringLiteral(":/icons/quota.svg"), page);
    w.CmdPassage->setFocusPolicy(Qt::StrongFocus);
    *appointments = named<LineView>(QStringLiteral("LstRV"), page);
    w.menu6 = pictureButton(QStringLiteral("menu_6"), QStringLiteral(":/icons/web.svg"), page);
    w.menu6->setToolTip(QStringLiteral("Lancer le navigateur"));
    w.menu7 = pictureButton(QStringLiteral("menu_7"), QStringLiteral(":/icons/mail.svg"), page);
    w.menu7->setToolTip(QStringLiteral("Lancer la messagerie"));

    auto *header = new QHBoxLayout;
    header->addWidget(w.LblNomLabo);
    header->addWidget(w.LBlLabo, 1);

    auto *form = new QFormLayout;
    form->addRow(w.LblVM);
    // The delegate's town has no caption: it sits beside his name.
    auto *nameAndTown = new QHBoxLayout;
    nameAndTown->addWidget(w.TextVM[0], 3);
    nameAndTown->addWidget(w.TxtCommune, 2);
    form->addRow(QStringLiteral("Nom"), nameAndTown);
    form->addRow(w.LblTel, w.TxtTel_1);
    form->addRow(QStringLiteral("Port"), w.TxtTel_2);
    form->addRow(QStringLiteral("Email"), w.TextVM[4]);
    form->addRow(w.LblUrl, w.TextVM[1]);
    form->addRow(QStringLiteral("Identifiant"), w.TextVM[2]);
    form->addRow(QStringLiteral("Mot de passe"), w.TextVM[3]);
    form->addRow(QStringLiteral("Adresse"), w.Text4);

    auto *links = new QHBoxLayout;
    links->addWidget(w.menu6);
    links->addWidget(w.menu7);
    links->addStretch(1);

    auto *quota = new QHBoxLayout;
    quota->addWidget(w.LblPassTitre);
    quota->addWidget(w.LblPass);
    quota->addWidget(w.CmdPassage);
    quota->addStretch(1);

    auto *record = new QVBoxLayout;
    record->addLayout(form);
    record->addLayout(links);
    record->addWidget(w.LblLaboratoire);
    record->addWidget(w.Text5, 1);
    record->addLayout(quota);

    auto *body = new QHBoxLayout;
    body->addLayout(record, 3);
    body->addWidget(*appointments, 1);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(header);
    layout->addLayout(body, 1);
    return page;
}

} // namespace tv
