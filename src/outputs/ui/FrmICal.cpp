#include "outputs/ui/FrmICal.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

namespace tv {

namespace {

QDateEdit *dateEdit(const QDate &date, const char *name, QWidget *parent)
{
    auto *edit = new QDateEdit(date, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    edit->setCalendarPopup(true);
    return edit;
}

} // namespace

FrmICal::FrmICal(const QDate &from, const QDate &to, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmICal"));
    setWindowTitle(QStringLiteral("Exporter vers un agenda"));
    m_from = dateEdit(from, "DtDebut", this);
    m_to = dateEdit(to, "DtFin", this);
    m_absences = new QCheckBox(QStringLiteral("Ajouter les jours d'absence"), this);
    m_absences->setObjectName(QStringLiteral("ChkAbsences"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Exporter…"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Du"), m_from);
    form->addRow(QStringLiteral("Au"), m_to);
    form->addRow(m_absences);
    form->addRow(buttons);
}

QDate FrmICal::from() const
{
    return m_from->date();
}

QDate FrmICal::to() const
{
    return m_to->date();
}

bool FrmICal::withAbsences() const
{
    return m_absences->isChecked();
}

} // namespace tv
