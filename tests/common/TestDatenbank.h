#pragma once

#include <QString>

#include <memory>

#include "platform/db/Datenbank.h"

// A fresh database from the shipped schema in `ordner` (file TamoSEPA.db).
std::unique_ptr<Datenbank> SchemaDatenbank(const QString& ordner);
// Runs a script on a new SQLite file (sibling fixtures); fails the test on error.
void SkriptDatei(const QString& datei, const QString& skript);
