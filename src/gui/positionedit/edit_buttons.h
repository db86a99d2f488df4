#pragma once
// The editing panel's pictures: the replay panel's twelve buttons with the signs of position
// editing, drawn for the button size of the loaded picture set (raised or pressed).
#include <QPixmap>
#include <QSize>
#include <QString>

namespace movra {

// The sign of editing button 1-12 (one character), and its name for the tooltip.
QString EditButtonSign(int number);
QString EditButtonName(int number);
QPixmap EditButtonPicture(int number, bool down, QSize size);

}  // namespace movra
