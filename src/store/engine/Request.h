#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace tv {

// The rows a statement gave back, read forward once.
class Rows {
public:
    virtual ~Rows() = default;
    virtual bool next() = 0;
    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    virtual bool isNull(int column) const = 0;
    // "" for NULL.
    virtual QString text(int column) const = 0;
    virtual qint64 integer(int column) const = 0;
    // The value as the engine keeps it (a server gives text).
    virtual QVariant value(int column) const = 0;
    // Rows changed by an INSERT, UPDATE or DELETE.
    virtual qint64 affected() const = 0;
    // The same answer read again from its start; nullptr when the engine
    // keeps none (a file's rows are stepped, not kept).
    virtual std::unique_ptr<Rows> clone() const { return nullptr; }
};

// One statement with its values, waiting for its round trip or run. The
// text names its values (:labo); the same name may come back in it.
struct Request {
    explicit Request(const QString &statement);

    QString text;               // as written, with :names
    QStringList names;          // each name once, in order of first use
    QString positional;         // the text with $1, $2... for the server
    QList<QVariant> values;     // by index in names; null QVariant = NULL
    bool read = false;          // a SELECT: may be sent again when the link broke
    bool repeatable = false;    // a write that may be sent twice without harm
    bool sentTwice = false;     // its first answer was lost
    std::unique_ptr<Rows> rows; // set once it has run

    int indexOf(const QString &name) const { return static_cast<int>(names.indexOf(name)); }
    // The statement and its values: two reads with the same key give the
    // same rows until something is written.
    QString key() const;
};

} // namespace tv
