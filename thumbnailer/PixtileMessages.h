#pragma once

class QWidget;

namespace Pixtile {

// The control's messages about its items' names. The collections (Thumbs, Thumbnails) show
// nothing: they refuse a name that is there already, and the control tells the user.
namespace PixtileMessages {

// A second item of a name already there (without regard to case): "Filenames must be unique in
// the collection.", titled "Error: 457" (the collections' duplicate-key error), critical, OK.
void ShowNameTaken(QWidget *parent);

} // namespace PixtileMessages

} // namespace Pixtile
