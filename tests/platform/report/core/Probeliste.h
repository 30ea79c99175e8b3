#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QString>

#include "platform/db/Waehrung.h"
#include "platform/report/core/Reportengine.h"

// A small list report (title, page numbers, a name and a summed amount) and the driver's calls for
// its rows made by hand, for the engines' tests.
namespace Probeliste {

inline const QString kListe = QStringLiteral(
    "[Description]\nText=Probe\n[Seite]\nGroesse=10\n[Titel]\nZeile1=Liste {Titel}\n"
    "[Fuss]\nRechts=Seite {Seite} von {Seiten}\n"
    "[Spalte1]\nTitel=Name\nWert={Name}\nBreite=60\n"
    "[Spalte2]\nTitel=Betrag\nWert={Betrag}\nBreite=30\nAusrichtung=Rechts\nSumme=1\n");

inline void Schreiben(const QString& datei, const QString& text) {
  QFile f(datei);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text.toUtf8());
}

// The driver's calls for a list of rows (Name, Betrag), by hand; the result of the job's end.
inline int Ausgeben(Reportengine& e, const QString& datei, int ziel, int zeilen, int kopien = 1) {
  e.FelderBeginnen();
  e.VariablenBeginnen();
  e.VariableDefinieren(QStringLiteral("Titel"), QStringLiteral("Prüfung"), Report::Typ::Text);
  e.FeldDefinieren(QStringLiteral("Name"), QStringLiteral("Name"), Report::Typ::Text);
  e.FeldDefinieren(QStringLiteral("Betrag"), qint64(12345), Report::Typ::Zahl);
  const int start = e.DruckStarten(Report::Liste, datei, nullptr, QStringLiteral("Reportausgabe"));
  if (start != Report::Ok) return start;
  e.DruckOptionSetzen(Report::OptionZiel, ziel);
  if (kopien > 1) e.DruckOptionSetzen(Report::OptionKopien, kopien);
  e.Drucken();
  for (int i = 1; i <= zeilen; ++i) {
    e.FeldDefinieren(QStringLiteral("Name"), QStringLiteral("Kunde %1").arg(i), Report::Typ::Text);
    e.FeldDefinieren(QStringLiteral("Betrag"), QVariant::fromValue(Waehrung::AusCent(100 * i)), Report::Typ::Zahl);
    int r = e.FelderDrucken();
    if (r == Report::Wiederholen) {
      e.Drucken();
      r = e.FelderDrucken();
    }
    if (r != Report::Ok) return r;
  }
  while (e.FelderEnde() == Report::Wiederholen) {}
  return e.DruckEnde(0);
}

}  // namespace Probeliste
