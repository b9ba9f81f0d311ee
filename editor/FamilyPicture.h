#pragma once

#include <QImage>

// The about window's picture: a family of four under a tree, drawn at 124 x 122 pixels.
QImage FamilyPicture();
