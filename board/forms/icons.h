// The board's own pictures, drawn in code: the mode icons of the tool palette (32 x 32, transparent
// background) and the program's icon.
#pragma once

#include <QIcon>
#include <QImage>

namespace sw::board {

QImage penIcon();             // a pen: pen mode
QImage sheetIcon();           // a sheet of paper bearing the letter A: lasso mode
QImage bookIcon();            // a closed book: operate mode
QImage boardImage(int size);  // the program's icon at one size: a framed green board with chalk writing
QIcon boardIcon();

}  // namespace sw::board
