#pragma once

#include <QString>
#include <QStringList>

// Word of a change committed to the database, as the programs sharing it send it to each other:
// which tree changed and how, and when it costs nothing, which persons. A program that hears of
// a change reads again what it shows of that tree; a notice it cannot read, or one that says
// nothing more (Any), means that anything may have changed.
struct ChangeNotice
{
    enum class Kind {
        Any,         // anything in the database may have changed
        Persons,     // rows or records of the tree changed (keys: the persons named; others too)
        TreeMade,    // the tree was made (or filled by an import)
        TreeRenamed, // the tree is now called newName
        TreeDeleted, // the tree is gone
    };

    Kind kind = Kind::Any;
    // The tree as it is stored; a renamed tree's old name.
    QString tree;
    // A renamed tree's new name.
    QString newName;
    // Persons whose rows or records the change named (a rule of the model may have changed
    // others of the tree too). May be empty.
    QStringList keys;

    static ChangeNotice persons(const QString &tree, const QStringList &keys = {})
    {
        return {Kind::Persons, tree, {}, keys};
    }
    static ChangeNotice made(const QString &tree) { return {Kind::TreeMade, tree, {}, {}}; }
    static ChangeNotice renamed(const QString &from, const QString &to)
    {
        return {Kind::TreeRenamed, from, to, {}};
    }
    static ChangeNotice deleted(const QString &tree) { return {Kind::TreeDeleted, tree, {}, {}}; }

    // The notice as a text of at most kMostBytes bytes of UTF-8: a notice naming too many
    // persons names none.
    QString encode() const;
    // The notice in `payload`; Any when the text is no notice.
    static ChangeNotice decode(const QString &payload);

    bool operator==(const ChangeNotice &) const = default;

    // The server carries texts of up to 8000 bytes with a notification.
    static constexpr int kMostBytes = 7900;
};

// The channel the programs on a shared database announce their changes on.
inline constexpr const char *kChangeChannel = "velkintree_changes";
