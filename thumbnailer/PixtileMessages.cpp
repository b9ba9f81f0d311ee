#include "PixtileMessages.h"

#include "MessageService.h"

namespace Pixtile {

namespace PixtileMessages {

void ShowNameTaken(QWidget *parent)
{
    ShowMessage(QStringLiteral("Filenames must be unique in the collection."),
                QStringLiteral("Error: 457"), MsgIcon::Critical, MsgButtons::OkOnly, parent);
}

} // namespace PixtileMessages

} // namespace Pixtile
