#include "labs/ui/LabEditing.h"

#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/MainWindow.h"
#include "common/ui/Widgets.h"
#include "labs/core/LabRules.h"
#include "labs/ui/LabLists.h"
#include "labs/ui/LabPanel.h"
#include "labs/ui/LaboPage.h"

#include <QLabel>

namespace tv {

namespace {

const QString kDuplicate = QStringLiteral("Nom déjà présent dans la liste !");

QStringList doctorNames(const LaboWidgets &w)
{
    QStringList names;
    for (int i = 0; i < w.LstMed->count(); ++i)
        names.append(w.LstMed->item(i)->text().trimmed());
    return names;
}

} // namespace

LabEditing::LabEditing(MainWindow &main, LaboWidgets &w, LabPanel &panel)
    : m_main(main)
    , m_w(w)
    , m_panel(panel)
{
}

bool LabEditing::acceptName(const QString &answer, int except)
{
    switch (labrules::checkName(lablists::entries(m_w), answer, except)) {
    case labrules::NameCheck::Ok: return true;
    case labrules::NameCheck::Cancelled: return false;
    case labrules::NameCheck::Blank:
        dialogs::information(m_main.widget(), QStringLiteral("Le nom du laboratoire ne peut pas être vide."));
        return false;
    case labrules::NameCheck::Duplicate: dialogs::critical(m_main.widget(), kDuplicate); return false;
    }
    return false;
}

void LabEditing::addLaboratory()
{
    m_w.LstLabo->setCurrentRow(-1);

    const QString answer = dialogs::input(m_main.widget(), QStringLiteral("Inscrire le nom du laboratoire ."),
                                          QStringLiteral("Ajouter laboratoire"))
                               .value_or(QString());
    if (!acceptName(answer, -1))
        return;
    const QString name = answer.trimmed().toUpper();

    LaboEntry added;
    bool takenElsewhere = false;
    const bool saved = guarded(m_main.widget(), [&] {
        // Another workstation may have added it since the list was read.
        takenElsewhere = m_main.store().labos().exists(name).get();
        if (!takenElsewhere)
            added = m_main.store().addLaboratory(name, doctorNames(m_w));
    });
    if (!saved)
        return;
    if (takenElsewhere) {
        dialogs::critical(m_main.widget(), kDuplicate);
        return;
    }

    const QString entry = labrules::listEntry(name);
    m_main.laboratoryInserted(lablists::insert(m_w, entry), entry, QStringLiteral("  ") + added.nom);

    for (int i = 0; i < m_w.LstLabo->count(); ++i) {
        if (m_w.LstLabo->item(i)->text().trimmed().toUpper() == name) {
            m_w.LstLabo->setCurrentRow(i);
            break;
        }
    }
    m_main.showTab(2);
    m_panel.focusDelegate();
}

void LabEditing::mnurenomlabo_Click()
{
    if (!m_main.hasLabo()) {
        dialogs::message(m_main.widget(), QStringLiteral("Quel est le laboratoire à renommer ?"),
                         QMessageBox::Question);
        return;
    }
    const int row = m_w.LstLabo->currentRow();
    const QString old = m_main.currentLabo();

    const QString answer =
        dialogs::input(m_main.widget(), QStringLiteral("Inscrire le nouveau nom"), QStringLiteral("Renommer"), old)
            .value_or(QString());
    // Another laboratory's name would merge the two laboratories' quotas and
    // appointments beyond repair; the laboratory's own name in other
    // letters is accepted.
    if (!acceptName(answer, row))
        return;
    const QString name = answer.trimmed().toUpper();
    if (!m_main.backupBefore(QStringLiteral("le changement de nom du laboratoire")))
        return;

    const bool renamed = guarded(m_main.widget(), [&] {
        m_panel.save();
        m_main.store().renameLaboratory(old, name);
    });
    if (!renamed)
        return;

    const QString entry = labrules::listEntry(name);
    m_main.laboratoryMoved(row, lablists::rename(m_w, row, entry), entry);
    m_panel.renamed(old, name);
    m_w.LblLaboratoire->setText(QStringLiteral("Notes pour le laboratoire\n") + name);
    guarded(m_main.widget(), [&] {
        m_main.Liste_RV_Medecin();
        m_main.Liste_RV_Labo_Medecin();
    });
}

void LabEditing::LstLabo_DblClick()
{
    if (!m_main.hasLabo())
        return;
    const int row = m_w.LstLabo->currentRow();
    const QString labo = m_main.currentLabo();
    if (!dialogs::askYesNo(m_main.widget(),
                           QStringLiteral("Supprimer de la liste ") + labo
                               + QStringLiteral(", et supprimer tous ses rendez vous ?"),
                           true))
        return;
    if (!m_main.backupBefore(QStringLiteral("la suppression du laboratoire")))
        return;

    const bool removed = guarded(m_main.widget(), [&] {
        m_panel.save();
        m_main.store().deleteLaboratory(labo);
    });
    if (!removed)
        return;

    m_panel.forget(labo);
    lablists::remove(m_w, row);
    m_main.laboratoryRemoved(row);
    m_w.LstLabo->setCurrentRow(-1);
    m_w.LblLaboratoire->setText(QStringLiteral("Notes pour le laboratoire\n"));
    m_w.LblPass->clear();
    m_w.LblPass->hide();
    m_main.forgetBookingDay();
    guarded(m_main.widget(), [&] {
        m_main.Liste_RV_Medecin();
        m_main.Liste_RV_Labo_Medecin();
        m_main.Remplir_Agenda();
    });
}

void LabEditing::mnuSuplabo_Click()
{
    dialogs::information(m_main.widget(), QStringLiteral("Faites un double click sur le laboratoire à supprimer."));
}

} // namespace tv
