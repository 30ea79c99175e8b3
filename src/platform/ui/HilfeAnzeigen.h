#pragma once

#include <QString>

class QWidget;

// F1: shows the help viewer at the topic of a context number from the help folder (the program
// folder's "help"); a missing topic shows the contents. Returns the file shown, empty when the
// folder holds no help at all (the viewer then says so).
QString HilfeAnzeigen(int kontextNummer, const QString& hilfeOrdner, QWidget* eltern = nullptr);
