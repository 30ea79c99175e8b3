#include "masterdata/Gitterspalten.h"

#include <QFontMetrics>
#include <QStringList>
#include <QWidget>
#include <QTableView>

#include <numeric>
#include <utility>
#include <vector>

#include "platform/ui/DatenGitter.h"

void Gitterspalten::CodesVerbreitern(DatenGitter& gitter) {
  static const std::pair<const char*, const char*> muster[] = {
      {"BLZ", "00000000"},         {"BIC", "DEUTDEMMXXX"},        {"IBAN", "DE00000000000000000000"},
      {"KontoNr", "0000000000"},   {"BankBIC", "DEUTDEMMXXX"},    {"BankIBAN", "DE00000000000000000000"},
      {"BankKontoNr", "0000000000"},
  };
  const QFontMetrics fm(gitter.font());
  for (const auto& [feld, text] : muster) {
    const int s = gitter.SpaltenIndex(QString::fromUtf8(feld));
    if (s < 0) continue;
    const int noetig = fm.horizontalAdvance(QString::fromUtf8(text)) + 16;
    if (gitter.Spaltenbreite(s) < noetig) gitter.SetzeSpaltenbreite(s, noetig);
  }
}

void Gitterspalten::BreiteFuellen(DatenGitter& gitter) {
  std::vector<float> prozente = gitter.SpaltenProzente();
  const float summe = std::accumulate(prozente.begin(), prozente.end(), 0.0f);
  if (summe <= 0.0f || summe >= 100.0f) return;
  for (float& p : prozente) p *= 100.0f / summe;
  gitter.SpaltenProzenteAnwenden(prozente);
}

void Gitterspalten::AdressenAnordnen(DatenGitter& gitter) {
  struct Spalte {
    const char* feld;
    const char* muster;  // typical content
    bool weicht;         // gives way when the grid is too narrow
  };
  static const Spalte vorne[] = {
      {"OPKontoNr", "00000", false},         {"Suchname", "MUSTERMANN", true},
      {"Name", "Mustermann GmbH & Co. KG", true}, {"BIC", "DEUTDEMMXXX", false},
      {"IBAN", "DE00000000000000000000", false}, {"MandatReferenz", "MR-2024-00001", false},
      {"MandatDatum", "00.00.0000", false},  {"MandatSequenz", "3-Mehrfach-Einzug Folgeeinzug", true},
  };
  QStringList folge;
  for (const Spalte& s : vorne) folge << QString::fromUtf8(s.feld);
  gitter.SetzeSpaltenfolge(folge);

  const QFontMetrics fm(gitter.font());
  int summe = 0;
  int weichend = 0;
  for (const Spalte& s : vorne) {
    const int i = gitter.SpaltenIndex(QString::fromUtf8(s.feld));
    if (i < 0 || !gitter.SpalteSichtbar(i)) continue;
    gitter.SetzeSpaltenbreite(i, std::max(gitter.Mindestbreite(i), fm.horizontalAdvance(QString::fromUtf8(s.muster)) + 16));
    summe += gitter.Spaltenbreite(i);
    if (s.weicht) weichend += gitter.Spaltenbreite(i) - gitter.Mindestbreite(i);
  }
  const int ueber = summe - gitter.Ansicht()->viewport()->width();
  if (ueber <= 0 || weichend <= 0) return;
  for (const Spalte& s : vorne) {
    const int i = gitter.SpaltenIndex(QString::fromUtf8(s.feld));
    if (i < 0 || !s.weicht || !gitter.SpalteSichtbar(i)) continue;
    const int spiel = gitter.Spaltenbreite(i) - gitter.Mindestbreite(i);
    const int weniger = std::min(spiel, (ueber * spiel + weichend - 1) / weichend);
    gitter.SetzeSpaltenbreite(i, gitter.Spaltenbreite(i) - weniger);
  }
}
