#include "ChangeNotice.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const char *const kKindNames[] = {"any", "persons", "made", "renamed", "deleted"};

QString kindName(ChangeNotice::Kind kind)
{
    return QLatin1String(kKindNames[int(kind)]);
}

ChangeNotice::Kind kindOf(const QString &name)
{
    for (int i = 0; i < int(std::size(kKindNames)); ++i) {
        if (name == QLatin1String(kKindNames[i]))
            return ChangeNotice::Kind(i);
    }
    return ChangeNotice::Kind::Any;
}

QByteArray toJson(const ChangeNotice &notice, bool withKeys)
{
    QJsonObject object;
    object.insert(QStringLiteral("k"), kindName(notice.kind));
    if (!notice.tree.isEmpty())
        object.insert(QStringLiteral("t"), notice.tree);
    if (!notice.newName.isEmpty())
        object.insert(QStringLiteral("n"), notice.newName);
    if (withKeys && !notice.keys.isEmpty())
        object.insert(QStringLiteral("p"), QJsonArray::fromStringList(notice.keys));
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

QString ChangeNotice::encode() const
{
    QByteArray text = toJson(*this, true);
    if (text.size() > kMostBytes)
        text = toJson(*this, false);
    if (text.size() > kMostBytes) // no tree name is this long; still, never more than allowed
        text = toJson(ChangeNotice(), false);
    return QString::fromUtf8(text);
}

ChangeNotice ChangeNotice::decode(const QString &payload)
{
    QJsonParseError problem;
    const QJsonDocument document = QJsonDocument::fromJson(payload.toUtf8(), &problem);
    if (problem.error != QJsonParseError::NoError || !document.isObject())
        return {};
    const QJsonObject object = document.object();
    ChangeNotice notice;
    notice.kind = kindOf(object.value(QStringLiteral("k")).toString());
    notice.tree = object.value(QStringLiteral("t")).toString();
    notice.newName = object.value(QStringLiteral("n")).toString();
    for (const QJsonValue &key : object.value(QStringLiteral("p")).toArray())
        notice.keys << key.toString();
    // A notice about a tree that names none says nothing more than Any.
    if (notice.kind != Kind::Any && notice.tree.isEmpty())
        return {};
    if (notice.kind == Kind::TreeRenamed && notice.newName.isEmpty())
        return {};
    return notice;
}
