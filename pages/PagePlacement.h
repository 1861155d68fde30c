#pragma once
// Where the program's page windows stand: as wide as the screen the main
// window is on, level with the main window's top, and a given number of
// twips (1500, 100 px at 96 dpi) lower than the main window, but never
// lower than their own size hint.

class QWidget;

namespace kova {

void placeUnderMainWindow(QWidget& window, const QWidget* mainWindow, int lowerTwips = 1500);

} // namespace kova
