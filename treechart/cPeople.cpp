#include "cPeople.h"

#include "MessageService.h"

cPersonPtr cPeople::Add(const cPerson &person)
{
    auto stored = std::make_shared<cPerson>(person);
    if (!m_items.Append(stored->Key(), stored)) {
        ShowMessage(QStringLiteral("The Key '") + person.Key() +
                        QStringLiteral("' is already associated with an element of this "
                                       "collection."),
                    QStringLiteral("Key already exists"), MsgIcon::Critical, MsgButtons::OkOnly);
        return nullptr;
    }
    return stored;
}
