#pragma once
// The program's pictures, drawn in code: the six 40 x 40 toolbar pictures
// and the product picture of the login window and the splash.
#include <QPixmap>

namespace fenwa::app::icons {

enum class Tool { Open = 0, Exit = 1, Reports = 2, Dictionaries = 3, Settings = 4, About = 5 };

QPixmap tool(Tool which);                 // 40 x 40
QPixmap product(int width, int height);   // the product picture

} // namespace fenwa::app::icons
