#include "labs/ui/LabPanel.h"

#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/MainWindow.h"
#include "labs/core/LabRules.h"
#include "labs/ui/LaboPage.h"
#include "store/engine/StoreError.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>

namespace tv {

namespace {

const QString kWebPrefix = QStringLiteral("http://www.");

QString fieldText(const QWidget *w)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(w))
        return line->text();
    if (const auto *plain = qobject_cast<const QPlainTextEdit *>(w))
        return plain->toPlainText();
    return QString();
}

void setFieldText(QWidget *w, const QString &text)
{
    if (auto *line = qobject_cast<QLineEdit *>(w)) {
        line->setText(text);
        line->setCursorPosition(0);
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(w)) {
        plain->setPlainText(text);
    }
}

// Notes written on the old platform end their lines with CR LF; an edit
// keeps that form so the other workstations read them alike.
QString keepLineEnds(const QString &original, const QString &typed)
{
    if (!original.contains(QStringLiteral("\r\n")))
        return typed;
    QString text = typed;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

// A focus loss the user made inside the window; a pop-up (context menu) or
// another window coming forward (a message box) is not leaving the field.
QString vanishedMessage(const QString &labo)
{
    return QStringLiteral("Le laboratoire %1 a été supprimé ou renommé sur un autre poste : les modifications de "
                          "sa fiche n'ont pas été enregistrées.")
        .arg(labo.trimmed());
}

bool leftTheField(const QFocusEvent *event)
{
    return event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason;
}

} // namespace

LabPanel::LabPanel(MainWindow &main, LaboWidgets &w)
    : m_main(main)
    , m_w(w)
{
}

QList<LabPanel::Field> LabPanel::fields() const
{
    const LaboWidgets &w = m_w;
    return {
        {w.TextVM[0], &LaboRecord::nom},     {w.TextVM[1], &LaboRecord::url},   {w.TextVM[2], &LaboRecord::budget},
        {w.TextVM[3], &LaboRecord::mdp},     {w.TextVM[4], &LaboRecord::email}, {w.TxtTel_1, &LaboRecord::tel},
        {w.TxtTel_2, &LaboRecord::telP},     {w.Text4, &LaboRecord::adresse},   {w.TxtCommune, &LaboRecord::communeVM},
        {w.Text5, &LaboRecord::laboratoire},
    };
}

void LabPanel::connectSignals()
{
    for (const Field &f : fields())
        f.widget->installEventFilter(this);
    // A right click on these two copies them; their context menu would
    // come up over the message.
    LaboWidgets &w = m_w;
    w.TextVM[2]->setContextMenuPolicy(Qt::NoContextMenu);
    w.TextVM[3]->setContextMenuPolicy(Qt::NoContextMenu);
    setFieldsEnabled(false);
}

void LabPanel::setFieldsEnabled(bool enabled)
{
    for (const Field &f : fields())
        f.widget->setEnabled(enabled);
}

void LabPanel::load(const QString &labo)
{
    const std::optional<LaboRecord> record = m_main.store().labos().findByLabo(labo).get();
    if (!record) {
        unbind();
        return;
    }
    m_record = record;
    showRecord(*record);
    setFieldsEnabled(true);
}

void LabPanel::showRecord(const LaboRecord &record)
{
    m_w.LBlLabo->setText(record.labo);
    for (const Field &f : fields())
        setFieldText(f.widget, record.*f.column);
    takeSnapshot();
}

void LabPanel::takeSnapshot()
{
    m_shown = m_record.value_or(LaboRecord{});
    for (const Field &f : fields())
        m_shown.*f.column = fieldText(f.widget);
}

LaboRecord LabPanel::edited() const
{
    LaboRecord record = *m_record;
    for (const Field &f : fields()) {
        const QString now = fieldText(f.widget);
        // Only what the user changed: a text the widget shows differently
        // from the column (line ends) is not an edit.
        if (now != m_shown.*f.column)
            record.*f.column = keepLineEnds(m_record.value().*f.column, now);
    }
    return record;
}

void LabPanel::save()
{
    if (!m_record)
        return;
    const LaboRecord after = edited();
    if (after == *m_record)
        return;
    if (m_main.store().labos().updateChanged(*m_record, after) == 0) {
        const QString message = vanishedMessage(m_record->labo);
        unbind();
        emit vanished();
        throw StoreError(message);
    }
    const QString before = m_record->nom;
    m_record = after;
    takeSnapshot();
    // Whatever ended the edit (leaving the field, another laboratory, a
    // search), the delegate combos follow the name now stored.
    if (after.nom != before)
        m_main.delegateRenamed(before, after.nom);
}

QString LabPanel::follow()
{
    if (!m_record)
        return {};
    const std::optional<LaboRecord> now = m_main.store().labos().findByNumber(m_record->numLabo);
    if (now && now->labo == m_record->labo) {
        takeChanges(*now);
        return now->labo.trimmed();
    }
    const bool pending = edited() != *m_record;
    const QString message = vanishedMessage(m_record->labo);
    unbind();
    if (pending)
        dialogs::information(m_main.widget(), message);
    return now ? now->labo.trimmed() : QString();
}

void LabPanel::takeChanges(const LaboRecord &now)
{
    for (const Field &f : fields()) {
        if (fieldText(f.widget) == m_shown.*f.column && now.*f.column != (*m_record).*f.column) {
            setFieldText(f.widget, now.*f.column);
            m_shown.*f.column = fieldText(f.widget);
        }
    }
    // What was typed stays, and is written over the new value.
    m_record = now;
}

void LabPanel::unbind()
{
    m_record.reset();
    m_w.LBlLabo->clear();
    for (const Field &f : fields())
        setFieldText(f.widget, QString());
    takeSnapshot();
    setFieldsEnabled(false);
}

bool LabPanel::shows(const QString &labo) const
{
    return m_record && m_record->labo.trimmed().compare(labo, Qt::CaseInsensitive) == 0;
}

void LabPanel::renamed(const QString &from, const QString &to)
{
    if (!shows(from))
        return;
    m_record->labo = to;
    m_shown.labo = to;
    m_w.LBlLabo->setText(to);
}

void LabPanel::forget(const QString &labo)
{
    if (shows(labo))
        unbind();
}

void LabPanel::focusDelegate()
{
    QLineEdit *field = m_w.TextVM[0];
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

bool LabPanel::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !m_record)
        return QObject::eventFilter(watched, event);
    const LaboWidgets &w = m_w;

    switch (event->type()) {
    case QEvent::FocusOut: {
        const auto *focus = static_cast<QFocusEvent *>(event);
        if (focus->reason() == Qt::PopupFocusReason)
            break;
        if (leftTheField(focus))
            lostFocus(widget);
        else
            guarded(m_main.widget(), [&] { save(); });
        break;
    }
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (widget == w.TextVM[1] && w.TextVM[1]->text().isEmpty()) {
            urlPressed();
            return true;
        }
        if (mouse->button() == Qt::RightButton && (widget == w.TextVM[2] || widget == w.TextVM[3])) {
            copyToClipboard(static_cast<QLineEdit *>(widget));
            return true;
        }
        break;
    }
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void LabPanel::lostFocus(QWidget *field)
{
    const LaboWidgets &w = m_w;
    if (field == w.TextVM[1] && w.TextVM[1]->text() == kWebPrefix)
        w.TextVM[1]->clear();
    if (field == w.TxtTel_1 || field == w.TxtTel_2)
        telephoneLostFocus(static_cast<QLineEdit *>(field));

    guarded(m_main.widget(), [&] { save(); });
}

void LabPanel::urlPressed()
{
    QLineEdit *field = m_w.TextVM[1];
    field->setFocus(Qt::MouseFocusReason);
    field->setText(kWebPrefix);
    field->setCursorPosition(static_cast<int>(kWebPrefix.size()));
}

void LabPanel::copyToClipboard(QLineEdit *field)
{
    const QString text = field->text().trimmed();
    if (text.isEmpty())
        return;
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
    dialogs::information(m_main.widget(), u'"' + text + QStringLiteral("\" copié dans le presse papiers !"));
}

void LabPanel::telephoneLostFocus(QLineEdit *field)
{
    const QString text = field->text();
    if (text.isEmpty())
        return;
    if (labrules::hasLetters(text)) {
        // Grouping digits would drop what was typed; say so once per edit.
        if (field->isModified()) {
            field->setModified(false);
            dialogs::information(m_main.widget(), QStringLiteral("Le numéro de téléphone contient des lettres : il est "
                                                                 "enregistré tel qu'il a été tapé."));
        }
        return;
    }
    field->setText(labrules::normaliseTelephone(text));
}

} // namespace tv
