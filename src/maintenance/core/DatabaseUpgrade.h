#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <functional>
#include <memory>

namespace tv {
class Database;
struct AccessContent;
namespace upgrade_detail {
class OldDatabase;
}

// Carries the rows of the user's database into the empty database shipped
// with a new release. The rows go into a work copy of the shipped file in
// the data folder; the files change names only once every table is copied,
// in an order that lets the next start-up finish an interrupted swap
// (recover()). Until the swap starts, the user's database and the shipped
// file are left as they were.
class DatabaseUpgrade {
public:
    struct Paths {
        QString oldDatabase;     // data folder/Ferrune.mdb
        QString shipped;         // program folder/Copie de Ferrune.mdb
        QString backup;          // data folder/Ancien_Ferrune.mdb
        QString work() const;    // the filled copy, complete
        QString partial() const; // the filled copy while rows are added
    };
    static Paths paths(const QString &programFolder, const QString &dataFolder);

    // Called with the number of rows copied so far and the total.
    using Progress = std::function<void(int done, int total)>;
    // Called at named points ("copy:<table>:<row>", "swap:<step>"); tests
    // throw from it to stand for a crash or a refused value.
    using Checkpoint = std::function<void(const QString &point)>;

    explicit DatabaseUpgrade(Paths paths);

    // What a database file holds, told by its first bytes whatever its name:
    // this program's database, one of the Access program the practices come
    // from (imported with its counters), or neither.
    enum class Kind { Program, Access, Unknown };
    static Kind kindOf(const QString &path);
    // Where an empty database of the current layout is made beside the
    // database when no shipped one is at hand, and its making (an older
    // one left by a crash is replaced). Throws StoreError.
    static QString emptyTemplatePath(const QString &database);
    static void createEmpty(const QString &path);

    void setProgress(Progress progress) { m_progress = std::move(progress); }
    void setCheckpoint(Checkpoint checkpoint) { m_checkpoint = std::move(checkpoint); }
    // An Access database already read, whose losses the user accepted.
    // Without it an Access file is read here and imported only whole.
    void setAccessContent(std::shared_ptr<const AccessContent> content) { m_access = std::move(content); }

    // Fills the work copy. Throws StoreError; the work copy is then removed
    // and nothing else has changed.
    void copyRows();
    // Old database -> backup, work copy -> database, shipped file consumed.
    // Throws StoreError naming the file that could not be renamed.
    void swapFiles();

    // Rows copied per table by the last copyRows(), in table order, and
    // whether the old database had a Produit table.
    const QList<QPair<QString, int>> &copied() const { return m_copied; }
    bool hadProduit() const { return m_hadProduit; }

    // Start-up, before the shipped file is looked at: removes a copy left
    // half-filled by a crash (and the empty database of an import) and
    // finishes a swap that a crash interrupted.
    // True when it finished a swap.
    static bool recover(const Paths &paths);
    // Only the removal. Throws StoreError.
    static void removeLeftovers(const Paths &paths);

private:
    void checkpoint(const QString &point) const;
    int copyTable(upgrade_detail::OldDatabase &old, Database &target, const QString &table, int positions, int &done,
                  int total);
    static void finishSwap(const Paths &paths, const std::function<void(const QString &)> &point);

    Paths m_paths;
    Progress m_progress;
    Checkpoint m_checkpoint;
    std::shared_ptr<const AccessContent> m_access;
    QList<QPair<QString, int>> m_copied;
    bool m_hadProduit = false;
};

} // namespace tv
