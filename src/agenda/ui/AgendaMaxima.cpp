// The weekday maxima command of the agenda controller.
#include "agenda/core/AgendaFiles.h"
#include "agenda/core/NumberText.h"
#include "agenda/ui/AgendaController.h"
#include "app/ui/FrmLabo.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "store/engine/StoreError.h"

namespace tv {

namespace {

const char16_t *const kDayPrompts[7] = {u"Lundi", u"Mardi", u"Mercredi", u"Jeudi", u"Vendredi", u"Samedi", u"Dimanche"};

} // namespace

void AgendaController::mnuMax_Click()
{
    SharedState &s = m_frm.state();
    if (m_frm.view().LstMed->currentRow() < 0) {
        dialogs::information(&m_frm, QStringLiteral("Sélectionnez un médecin."));
        return;
    }
    dialogs::information(&m_frm,
                         QStringLiteral("Ce menu vous permet de fixer le nombre maximum de VM reçus, pour chaque "
                                        "jour de la semaine,\nafin de faciliter la prise des rendez-vous."));
    if (!dialogs::askYesNo(&m_frm, QStringLiteral("Continuez ?")))
        return;
    const QString doctor = doctorEntry();
    dialogs::information(&m_frm, QStringLiteral("Choix pour ") + doctor);

    for (std::size_t day = 0; day < 7; ++day) {
        for (;;) {
            const auto answer =
                dialogs::input(&m_frm, QString::fromUtf16(kDayPrompts[day]),
                               QStringLiteral("Nombre de VM reçus ce jour"), QString::number(s.MaxJour[day]));
            s.Reponse = answer.value_or(QString());
            // An empty answer or Cancel stops the whole command; the days
            // already answered stay in memory until the next grid fill.
            if (s.Reponse.isEmpty())
                return;
            if (const auto value = numbertext::toInt16(numbertext::val(s.Reponse))) {
                s.MaxJour[day] = *value;
                break;
            }
            dialogs::information(&m_frm, QStringLiteral("Le nombre doit être compris entre -32768 et 32767."));
        }
    }

    try {
        agendafiles::writeMaxima(s.CheminBase, doctor, s.MaxJour);
    } catch (const StoreError &error) {
        dialogs::critical(&m_frm, QStringLiteral("Le nombre maximum de visiteurs n'a pas été enregistré.\n\n")
                                      + error.fullText());
        return;
    }
    Remplir_Agenda();
}

} // namespace tv
