#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <variant>

class QDialog;
class QPrinter;
class QWidget;

namespace tv {

// The one way the program shows a modal box: messages, input boxes, file
// and folder choosers. In production each call shows the real dialog; a
// test queues the answers beforehand and reads back what was shown.
namespace dialogs {

enum class Kind { Message, Input, OpenFile, Folder, SaveFile, Print, Dialog };

// What one call showed, and what it was answered.
struct Shown {
    Kind kind = Kind::Message;
    QString title;
    QString text; // message text, input prompt, chooser caption
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString defaultText; // input default, chooser start folder
    QString filter;
};

QMessageBox::StandardButton message(QWidget *parent, const QString &text, QMessageBox::Icon icon,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
                                    const QString &title = QString());

// Shortcuts for the usual boxes (title "Tallvane" unless given).
void information(QWidget *parent, const QString &text, const QString &title = QString());
void critical(QWidget *parent, const QString &text, const QString &title = QString());
void plain(QWidget *parent, const QString &text); // OK, no icon
// Yes/No with the question icon; destructive questions pass noByDefault.
bool askYesNo(QWidget *parent, const QString &text, bool noByDefault = false,
              QMessageBox::Icon icon = QMessageBox::Question);

// Input box; nullopt on Cancel (an OK with an empty field gives "").
std::optional<QString> input(QWidget *parent, const QString &prompt, const QString &title,
                             const QString &defaultText = QString());

// File-open chooser; "" on Cancel.
QString openFile(QWidget *parent, const QString &caption, const QString &folder, const QString &filter);
// Folder chooser; "" on Cancel, otherwise the folder without trailing separator.
QString folder(QWidget *parent, const QString &caption, const QString &startFolder = QString());

// File-save chooser; "" on Cancel. Asks before replacing a file.
QString saveFile(QWidget *parent, const QString &caption, const QString &suggested, const QString &filter);

// Print preview with the print dialog behind its button; `paint` draws the
// pages on the printer chosen. False when the user closed it.
bool printPreview(QWidget *parent, const QString &title, const std::function<void(QPrinter *)> &paint);

// Runs a dialog of the program modally; returns its result code. A test
// scripts it with pushDialog: the handler gets the dialog, sets its fields
// and returns the result instead of exec().
int exec(QDialog &dialog, const QString &caption);

// Test seam. While answers are queued, calls take them in order instead of
// showing a dialog; every such call is recorded (a dialog really shown is
// not: the program keeps no record of its messages). With strict mode on, a call that
// finds no queued answer is recorded as unexpected and answered with
// Cancel/No/"" instead of blocking on a real dialog.
namespace script {
using DialogHandler = std::function<int(QDialog &)>;
using Answer = std::variant<QMessageBox::StandardButton, std::optional<QString>, DialogHandler>;
void push(QMessageBox::StandardButton button);
void pushInput(std::optional<QString> text); // nullopt = Cancel
void pushPath(const QString &path);          // file or folder chooser ("" = Cancel)
void pushDialog(DialogHandler handler);      // exec(): fills the dialog, returns its result
void setStrict(bool strict);
bool strict();
void reset(); // clears answers, log, unexpected count
const std::deque<Shown> &log();
QStringList texts(); // the text of every call, in order
int pending();
int unexpected();
} // namespace script

} // namespace dialogs
} // namespace tv
