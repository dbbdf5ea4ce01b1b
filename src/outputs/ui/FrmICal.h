#pragma once

#include <QDate>
#include <QDialog>

class QCheckBox;
class QDateEdit;

namespace tv {

// The period of an iCalendar export and whether absences go with it.
class FrmICal : public QDialog {
    Q_OBJECT
public:
    FrmICal(const QDate &from, const QDate &to, QWidget *parent = nullptr);

    QDate from() const;
    QDate to() const;
    bool withAbsences() const;

private:
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QCheckBox *m_absences = nullptr;
};

} // namespace tv
