#pragma once

#include <QtGlobal>

// Registers the window pictures (":/pictures/...") compiled into the program.
// Outside any namespace, as the resource system asks.
inline void InitOrvellePictures() { Q_INIT_RESOURCE(pictures); }
