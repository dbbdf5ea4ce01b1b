// The weekday maxima command of the agenda controller.
#include "agenda/core/AgendaFiles.h"
#include "agenda/core/NumberText.h"
#include "agenda/ui/AgendaController.h"
#include "common/ui/Dialogs.h"
#include "common/ui/MainWindow.h"
#include "common/ui/Widgets.h"
#include "store/engine/StoreError.h"

namespace tv {

namespace {

const char16_t *const kDayPrompts[7] = {u"Lundi", u"Mardi", u"Mercredi", u"Jeudi", u"Vendredi", u"Samedi", u"Dimanche"};

} // namespace

void AgendaController::mnuMax_Click()
{
    if (!m_main.hasDoctor()) {
        dialogs::information(m_main.widget(), QStringLiteral("Sélectionnez un médecin."));
        return;
    }
    dialogs::information(m_main.widget(),
                         QStringLiteral("Ce menu vous permet de fixer le nombre maximum de VM reçus, pour chaque "
                                        "jour de la semaine,\nafin de faciliter la prise des rendez-vous."));
    if (!dialogs::askYesNo(m_main.widget(), QStringLiteral("Continuez ?")))
        return;
    const QString doctor = m_main.doctorEntry();
    dialogs::information(m_main.widget(), QStringLiteral("Choix pour ") + doctor);

    for (std::size_t day = 0; day < 7; ++day) {
        for (;;) {
            const QString answer =
                dialogs::input(m_main.widget(), QString::fromUtf16(kDayPrompts[day]),
                               QStringLiteral("Nombre de VM reçus ce jour"), QString::number(m_maxJour[day]))
                    .value_or(QString());
            // An empty answer or Cancel stops the whole command; the days
            // already answered stay in memory until the next grid fill.
            if (answer.isEmpty())
                return;
            if (const auto value = numbertext::toInt16(numbertext::val(answer))) {
                m_maxJour[day] = *value;
                break;
            }
            dialogs::information(m_main.widget(), QStringLiteral("Le nombre doit être compris entre -32768 et 32767."));
        }
    }

    try {
        agendafiles::writeMaxima(m_main.state().CheminBase, doctor, m_maxJour);
    } catch (const StoreError &error) {
        dialogs::critical(m_main.widget(), QStringLiteral("Le nombre maximum de visiteurs n'a pas été enregistré.\n\n")
                                               + error.fullText());
        return;
    }
    Remplir_Agenda();
}

} // namespace tv
