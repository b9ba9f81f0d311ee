#include "CollectionMessages.h"

#include "MessageService.h"

const char *const kDuplicateKeyDescription =
    "This key is already associated with an element of this collection";

void ShowNodeKeyTaken(QWidget *parent)
{
    ReportError(kErrDuplicateKey, QString::fromLatin1(kDuplicateKeyDescription), parent);
}

QString PersonKeyTakenText(const QString &key)
{
    return QStringLiteral("The Key '") + key +
           QStringLiteral("' is already associated with an element of this collection.");
}

void ShowPersonKeyTaken(const QString &key, QWidget *parent)
{
    ShowMessage(PersonKeyTakenText(key), QStringLiteral("Key already exists"), MsgIcon::Critical,
                MsgButtons::OkOnly, parent);
}
