#include "agenda/ui/FrmHeure.h"

#include "agenda/core/Booking.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace tv {

FrmHeure::FrmHeure(const QString &dayAppointments, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmHeure"));
    setWindowTitle(QStringLiteral("   Heure du rendez-vous "));
    setModal(true);

    m_meb = named<QLineEdit>(QStringLiteral("MEB"), this);
    m_meb->setMaxLength(5);
    // Digits and the "H" separator only: a letter typed by mistake never
    // reaches the stored time.
    m_meb->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9H]{0,5}")), m_meb));
    m_lblHeure = named<QLabel>(QStringLiteral("LblHeure"), this, dayAppointments);
    m_lblHeure->setWordWrap(true);
    m_lblHeure->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_cmdOK = named<QPushButton>(QStringLiteral("CmdOK"), this, QStringLiteral("Enregistrer ou\nQuitter"));
    m_cmdOK->setDefault(true);

    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Heure du RV"), this), 0, 0);
    layout->addWidget(m_meb, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("L'indication de l'heure est facultative"), this), 1, 0, 1, 2);
    layout->addWidget(m_lblHeure, 2, 0, 1, 2);
    layout->addWidget(m_cmdOK, 3, 0, 1, 2, Qt::AlignHCenter);

    connect(m_meb, &QLineEdit::textEdited, this, &FrmHeure::MEB_Change);
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

void FrmHeure::MEB_Change(const QString &typed)
{
    // Two digits typed: the separator follows at once ("09H"). A user who
    // types the "H" anyway must not end up with two of them.
    QString text = typed;
    text.replace(QStringLiteral("HH"), QStringLiteral("H"));
    if (text.size() == 2)
        text += QStringLiteral("H");
    if (text != typed) {
        m_meb->setText(text);
        m_meb->setCursorPosition(text.size());
    }
}

void FrmHeure::done(int result)
{
    // The button, Escape and the close box all end here: the time is taken
    // whichever way the dialog is left.
    if (!m_closed) {
        m_closed = true;
        const booking::TimeEntry entry = booking::completeTime(m_meb->text());
        if (entry.incomplete)
            dialogs::information(this, booking::incompleteTimeMessage());
        m_heure = entry.heure;
    }
    QDialog::done(result);
}

} // namespace tv
