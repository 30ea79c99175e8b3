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
  static const char* const vorne[] = {"OPKontoNr", "Suchname", "Name", "BIC", "IBAN", "MandatReferenz", "MandatDatum",
                                      "MandatSequenz"};
  QStringList folge;
  for (const char* feld : vorne) folge << QString::fromUtf8(feld);
  gitter.SetzeSpaltenfolge(folge);
  int sichtbar = 0;
  for (const QString& feld : folge) {
    const int i = gitter.SpaltenIndex(feld);
    if (i >= 0 && gitter.SpalteSichtbar(i)) ++sichtbar;
  }
  if (QWidget* fenster = gitter.window())
    FensterFuerSpaltenVerbreitern(*fenster, gitter, sichtbar);
  else
    gitter.SpaltenNachInhalt(sichtbar);
}
