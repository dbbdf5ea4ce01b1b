#include "common/ui/Dialogs.h"

#include "common/core/Version.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace tv::dialogs {

namespace {

struct ScriptState {
    std::deque<script::Answer> answers;
    std::deque<Shown> log;
    bool strict = false;
    int unexpected = 0;
};

ScriptState &state()
{
    static ScriptState s;
    return s;
}

QString titleOr(const QString &title)
{
    return title.isEmpty() ? appTitle() : title;
}

// Takes the next queued answer of the wanted type; nullopt when the queue is
// empty or the test queued another kind (then the call counts as unexpected
// and the queue is left as it is).
template<typename T>
std::optional<T> takeAnswer(const Shown &shown)
{
    ScriptState &s = state();
    s.log.push_back(shown);
    if (!s.answers.empty()) {
        if (const T *value = std::get_if<T>(&s.answers.front())) {
            T result = *value;
            s.answers.pop_front();
            return result;
        }
        ++s.unexpected;
        return std::nullopt;
    }
    if (s.strict)
        ++s.unexpected;
    return std::nullopt;
}

bool scripted()
{
    return !state().answers.empty() || state().strict;
}

} // namespace

QMessageBox::StandardButton message(QWidget *parent, const QString &text, QMessageBox::Icon icon,
                                    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
                                    const QString &title)
{
    Shown shown{Kind::Message, titleOr(title), text, icon, buttons, defaultButton, {}, {}};
    if (scripted()) {
        if (auto answer = takeAnswer<QMessageBox::StandardButton>(shown))
            return *answer;
        // No answer queued: the safe reply (No where there is one).
        if (buttons.testFlag(QMessageBox::No))
            return QMessageBox::No;
        if (buttons.testFlag(QMessageBox::Cancel))
            return QMessageBox::Cancel;
        return QMessageBox::Ok;
    }
    QMessageBox box(icon, titleOr(title), text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void information(QWidget *parent, const QString &text, const QString &title)
{
    message(parent, text, QMessageBox::Information, QMessageBox::Ok, QMessageBox::NoButton, title);
}

void critical(QWidget *parent, const QString &text, const QString &title)
{
    message(parent, text, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::NoButton, title);
}

void plain(QWidget *parent, const QString &text)
{
    message(parent, text, QMessageBox::NoIcon);
}

bool askYesNo(QWidget *parent, const QString &text, bool noByDefault, QMessageBox::Icon icon)
{
    const auto answer = message(parent, text, icon, QMessageBox::Yes | QMessageBox::No,
                                noByDefault ? QMessageBox::No : QMessageBox::Yes);
    return answer == QMessageBox::Yes;
}

std::optional<QString> input(QWidget *parent, const QString &prompt, const QString &title, const QString &defaultText)
{
    Shown shown{Kind::Input, titleOr(title), prompt, QMessageBox::NoIcon, {}, QMessageBox::NoButton, defaultText, {}};
    if (scripted()) {
        if (auto answer = takeAnswer<std::optional<QString>>(shown))
            return *answer;
        return std::nullopt;
    }
    QInputDialog dialog(parent);
    dialog.setWindowTitle(titleOr(title));
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

// The path a test scripted for a file or folder choice; "" for Cancel.
QString scriptedPath(const Shown &shown)
{
    if (auto answer = takeAnswer<std::optional<QString>>(shown))
        return answer->value_or(QString());
    return {};
}

QString openFile(QWidget *parent, const QString &caption, const QString &folder, const QString &filter)
{
    Shown shown{Kind::OpenFile, caption, caption, QMessageBox::NoIcon, {}, QMessageBox::NoButton, folder, filter};
    if (scripted())
        return scriptedPath(shown);
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString folder(QWidget *parent, const QString &caption, const QString &startFolder)
{
    Shown shown{Kind::Folder, caption, caption, QMessageBox::NoIcon, {}, QMessageBox::NoButton, startFolder, {}};
    QString chosen = scripted() ? scriptedPath(shown) : QFileDialog::getExistingDirectory(parent, caption, startFolder);
    while (chosen.size() > 1 && (chosen.endsWith(u'/') || chosen.endsWith(QDir::separator())))
        chosen.chop(1);
    return chosen;
}

QString saveFile(QWidget *parent, const QString &caption, const QString &suggested, const QString &filter)
{
    Shown shown{Kind::SaveFile, caption, caption, QMessageBox::NoIcon, {}, QMessageBox::NoButton, suggested, filter};
    if (scripted())
        return scriptedPath(shown);
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

bool printPreview(QWidget *parent, const QString &title, const std::function<void(QPrinter *)> &paint)
{
    Shown shown{Kind::Print, titleOr(title), title, QMessageBox::NoIcon, {}, QMessageBox::NoButton, {}, {}};
    if (scripted()) {
        // A scripted Ok stands for "printed"; no printer is involved.
        const auto answer = takeAnswer<QMessageBox::StandardButton>(shown);
        return answer && *answer == QMessageBox::Ok;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(titleOr(title));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter *p) { paint(p); });
    return preview.exec() == QDialog::Accepted;
}

int exec(QDialog &dialog, const QString &caption)
{
    Shown shown{Kind::Dialog, titleOr(caption), caption, QMessageBox::NoIcon, {}, QMessageBox::NoButton, {}, {}};
    if (scripted()) {
        if (auto handler = takeAnswer<script::DialogHandler>(shown))
            return (*handler)(dialog);
        return QDialog::Rejected;
    }
    return dialog.exec();
}

namespace script {
void push(QMessageBox::StandardButton button)
{
    state().answers.emplace_back(button);
}
void pushInput(std::optional<QString> text)
{
    state().answers.emplace_back(std::move(text));
}
void pushPath(const QString &path)
{
    state().answers.emplace_back(std::optional<QString>(path));
}
void pushDialog(DialogHandler handler)
{
    state().answers.emplace_back(std::move(handler));
}
void setStrict(bool strict)
{
    state().strict = strict;
}
bool strict()
{
    return state().strict;
}
void reset()
{
    state().answers.clear();
    state().log.clear();
    state().unexpected = 0;
}
const std::deque<Shown> &log()
{
    return state().log;
}
QStringList texts()
{
    QStringList list;
    for (const Shown &s : state().log)
        list.append(s.text);
    return list;
}
int pending()
{
    return static_cast<int>(state().answers.size());
}
int unexpected()
{
    return state().unexpected;
}
} // namespace script

} // namespace tv::dialogs
