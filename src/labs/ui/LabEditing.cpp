#include "labs/ui/LabEditing.h"

#include "app/ui/FrmLabo.h"
#include "backups/ui/BackupsController.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/Widgets.h"
#include "labs/core/LabRules.h"
#include "labs/ui/LabLists.h"
#include "labs/ui/LabPanel.h"

#include <QComboBox>
#include <QLabel>

namespace tv {

namespace {

const QString kDuplicate = QStringLiteral("Nom déjà présent dans la liste !");

QStringList doctorNames(const MainView &v)
{
    QStringList names;
    for (int i = 0; i < v.LstMed->count(); ++i)
        names.append(v.LstMed->item(i)->text().trimmed());
    return names;
}

} // namespace

LabEditing::LabEditing(FrmLabo &frm, LabPanel &panel)
    : m_frm(frm)
    , m_panel(panel)
{
}

bool LabEditing::acceptName(const QString &answer, int except)
{
    switch (labrules::checkName(lablists::entries(m_frm.view()), answer, except)) {
    case labrules::NameCheck::Ok: return true;
    case labrules::NameCheck::Cancelled: return false;
    case labrules::NameCheck::Blank:
        dialogs::information(&m_frm, QStringLiteral("Le nom du laboratoire ne peut pas être vide."));
        return false;
    case labrules::NameCheck::Duplicate: dialogs::critical(&m_frm, kDuplicate); return false;
    }
    return false;
}

void LabEditing::addLaboratory()
{
    MainView &v = m_frm.view();
    SharedState &s = m_frm.state();
    v.LstLabo->setCurrentRow(-1);

    const auto answer = dialogs::input(&m_frm, QStringLiteral("Inscrire le nom du laboratoire ."),
                                       QStringLiteral("Ajouter laboratoire"));
    s.Reponse = answer.value_or(QString());
    if (!acceptName(s.Reponse, -1))
        return;
    s.Reponse = s.Reponse.trimmed();
    const QString name = s.Reponse.toUpper();

    LaboEntry added;
    bool takenElsewhere = false;
    const bool saved = guarded(&m_frm, [&] {
        // Another workstation may have added it since the list was read.
        takenElsewhere = m_frm.store().labos().exists(name).get();
        if (!takenElsewhere)
            added = m_frm.store().addLaboratory(name, doctorNames(v));
    });
    if (!saved)
        return;
    if (takenElsewhere) {
        dialogs::critical(&m_frm, kDuplicate);
        return;
    }

    lablists::insert(v, labrules::listEntry(name));
    lablists::insertSorted(v.products.CboDs, QStringLiteral("  ") + added.nom);
    lablists::insertSorted(v.products.CboDh, QStringLiteral("  ") + added.nom);

    for (int i = 0; i < v.LstLabo->count(); ++i) {
        if (v.LstLabo->item(i)->text().trimmed().toUpper() == name) {
            v.LstLabo->setCurrentRow(i);
            break;
        }
    }
    m_frm.showTab(2);
    m_panel.focusDelegate();
}

void LabEditing::mnurenomlabo_Click()
{
    MainView &v = m_frm.view();
    SharedState &s = m_frm.state();
    if (!m_frm.hasLabo()) {
        dialogs::message(&m_frm, QStringLiteral("Quel est le laboratoire à renommer ?"), QMessageBox::Question);
        return;
    }
    const int row = v.LstLabo->currentRow();
    const QString old = m_frm.currentLabo();

    const auto answer =
        dialogs::input(&m_frm, QStringLiteral("Inscrire le nouveau nom"), QStringLiteral("Renommer"), old);
    s.Reponse = answer.value_or(QString());
    // Another laboratory's name would merge the two laboratories' quotas and
    // appointments beyond repair; the laboratory's own name in other
    // letters is accepted.
    if (!acceptName(s.Reponse, row))
        return;
    s.Reponse = s.Reponse.trimmed();
    const QString name = s.Reponse.toUpper();
    if (!m_frm.backups().before(QStringLiteral("le changement de nom du laboratoire")))
        return;

    const bool renamed = guarded(&m_frm, [&] {
        m_panel.save();
        m_frm.store().renameLaboratory(old, name);
    });
    if (!renamed)
        return;

    lablists::rename(v, row, labrules::listEntry(name));
    m_panel.renamed(old, name);
    v.labo.LblLaboratoire->setText(QStringLiteral("Notes pour le laboratoire\n") + name);
    guarded(&m_frm, [&] {
        m_frm.Liste_RV_Medecin();
        m_frm.Liste_RV_Labo_Medecin();
    });
}

void LabEditing::LstLabo_DblClick()
{
    MainView &v = m_frm.view();
    if (!m_frm.hasLabo())
        return;
    const int row = v.LstLabo->currentRow();
    const QString labo = m_frm.currentLabo();
    if (!dialogs::askYesNo(&m_frm,
                           QStringLiteral("Supprimer de la liste ") + labo
                               + QStringLiteral(", et supprimer tous ses rendez vous ?"),
                           true))
        return;
    if (!m_frm.backups().before(QStringLiteral("la suppression du laboratoire")))
        return;

    const bool removed = guarded(&m_frm, [&] {
        m_panel.save();
        m_frm.store().deleteLaboratory(labo);
    });
    if (!removed)
        return;

    m_panel.forget(labo);
    lablists::remove(v, row);
    {
        const QSignalBlocker blocker(v.products.CboDs);
        v.products.CboDs->setCurrentIndex(-1);
    }
    v.LstLabo->setCurrentRow(-1);
    m_frm.state().IndexLabo = -1;
    v.labo.LblLaboratoire->setText(QStringLiteral("Notes pour le laboratoire\n"));
    v.labo.LblPass->clear();
    v.labo.LblPass->hide();
    v.agenda.LblDateRV->setText(QString());
    guarded(&m_frm, [&] {
        m_frm.Liste_RV_Medecin();
        m_frm.Liste_RV_Labo_Medecin();
        m_frm.Remplir_Agenda();
    });
}

void LabEditing::mnuSuplabo_Click()
{
    dialogs::information(&m_frm, QStringLiteral("Faites un double click sur le laboratoire à supprimer."));
}

} // namespace tv
