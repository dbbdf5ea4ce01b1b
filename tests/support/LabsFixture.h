// Helpers shared by the laboratory window tests.
#pragma once

#include "app/ui/FrmLabo.h"
#include "app/ui/MainView.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "store/engine/Database.h"
#include "store/tables/Store.h"
#include "support/TestEnv.h"

#include <QComboBox>
#include <QTest>
#include <QToolButton>

namespace labstest {

namespace script = tv::dialogs::script;

inline QStringList items(const tv::LineAccess *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->text(i));
    return out;
}

inline QStringList items(const QComboBox *combo)
{
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out.append(combo->itemText(i));
    return out;
}

// The rows of a query read through a connection of its own (the database as
// another start of the program would find it), columns joined by "|".
inline QStringList rows(const tvtest::TestEnv &env, const QString &sql)
{
    return tvtest::queryRows(*env.openStore(), sql);
}

inline void exec(const tvtest::TestEnv &env, const QString &sql)
{
    auto store = env.openStore();
    tv::execStatement(store->db(), sql);
}

// A started, shown and active main window.
inline std::unique_ptr<tv::FrmLabo> showWindow(const tvtest::TestEnv &env)
{
    auto w = env.startWindow();
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("window not active: focus changes will not be seen");
    return w;
}

// Adds a laboratory through the icon bar.
inline void addLab(tv::FrmLabo &w, const std::optional<QString> &name)
{
    script::pushInput(name);
    w.view().menu[1]->click();
}

// A fresh data folder with the doctors and Vs.ini given, the window shown on
// it and the laboratories added one after the other through the icon bar.
inline std::unique_ptr<tv::FrmLabo> windowWithLabs(const tvtest::TestEnv &env, const QStringList &labs,
                                                   const QStringList &doctors = {QStringLiteral("Dr A")},
                                                   const QString &vsIni = QStringLiteral("0,0,0,0"))
{
    env.prepareData(doctors, vsIni);
    auto w = showWindow(env);
    for (const QString &name : labs)
        addLab(*w, name);
    return w;
}

inline void clickRow(tv::ListBox *list, int row)
{
    list->scrollToItem(list->item(row));
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

inline void doubleClickRow(tv::ListBox *list, int row)
{
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// LstLabo, CboLs and CboLh: same entries, same order.
inline void checkListsInStep(tv::FrmLabo &w, const QStringList &expected)
{
    tv::MainView &v = w.view();
    QCOMPARE(items(v.labo.LstLabo), expected);
    QCOMPARE(items(v.products.CboLs), expected);
    QCOMPARE(items(v.products.CboLh), expected);
}

} // namespace labstest
