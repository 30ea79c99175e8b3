#include "payments/core/Tastenbelegung.h"

#include "payments/core/Verwendungszweckzeilen.h"

QString Schaltflaechenschluessel(Zahlungsbefehl befehl) {
  switch (befehl) {
    case Zahlungsbefehl::Neu: return QStringLiteral("Neu");
    case Zahlungsbefehl::Aendern: return QStringLiteral("Ändern");
    case Zahlungsbefehl::Kopieren: return QStringLiteral("Kopieren");
    case Zahlungsbefehl::Loeschen: return QStringLiteral("Löschen");
    case Zahlungsbefehl::Suchen: return QStringLiteral("Suchen");
    case Zahlungsbefehl::Import: return QStringLiteral("Import");
    case Zahlungsbefehl::Skonto: return QStringLiteral("Skonto");
    case Zahlungsbefehl::Pruefen: return QStringLiteral("Prüfen");
    case Zahlungsbefehl::Schliessen: return QStringLiteral("Schliessen");
    default: return {};
  }
}

Zahlungsbefehl BefehlAusSchluessel(const QString& schluessel) {
  for (auto b : {Zahlungsbefehl::Neu, Zahlungsbefehl::Aendern, Zahlungsbefehl::Kopieren, Zahlungsbefehl::Loeschen,
                 Zahlungsbefehl::Suchen, Zahlungsbefehl::Import, Zahlungsbefehl::Skonto, Zahlungsbefehl::Pruefen,
                 Zahlungsbefehl::Schliessen}) {
    if (Schaltflaechenschluessel(b) == schluessel) return b;
  }
  return Zahlungsbefehl::Keiner;
}

Tastenaktion FormularTaste(int taste, Qt::KeyboardModifiers modifikatoren, const FormularTastenKontext& kontext) {
  const bool strgAlt = modifikatoren & (Qt::ControlModifier | Qt::AltModifier);
  switch (taste) {
    case Qt::Key_Escape:
      // Esc inside the line grid is the grid's (it first drops a pending line edit).
      if (kontext.fokusImZeilengitter) return {};
      return {Zahlungsbefehl::Schliessen, false};
    case Qt::Key_F1: return {Zahlungsbefehl::Hilfe, true};
    case Qt::Key_F2:
      if (strgAlt) return {Zahlungsbefehl::Rechner, true};
      return {};
    case Qt::Key_F3: return {Zahlungsbefehl::Suchen, true};
    case Qt::Key_F6:
      if (kontext.eingabeModus) return {};
      return {Zahlungsbefehl::Faelligkeit, false};
    case Qt::Key_F9: return {Zahlungsbefehl::Neu, true};
    default: break;
  }
  if (!strgAlt) return {};
  switch (taste) {
    case Qt::Key_N: return {Zahlungsbefehl::Neu, true};
    case Qt::Key_S: return {Zahlungsbefehl::Suchen, true};
    case Qt::Key_L: return {Zahlungsbefehl::Loeschen, true};
    case Qt::Key_I: return {Zahlungsbefehl::Import, true};
    case Qt::Key_P: return {Zahlungsbefehl::Pruefen, true};
    case Qt::Key_K:
      return {kontext.eingabeModus ? Zahlungsbefehl::Kopieren : Zahlungsbefehl::Skonto, true};
    default: return {};
  }
}

Tastenaktion BrowseGitterTasteGedrueckt(int taste, const BrowseGitterKontext& kontext) {
  if ((taste == Qt::Key_Return || taste == Qt::Key_Enter) && !kontext.imFilterbalken)
    return {Zahlungsbefehl::Aendern, true};
  return {};
}

Tastenaktion BrowseGitterTasteLosgelassen(int taste, const BrowseGitterKontext& kontext) {
  if (taste == Qt::Key_Delete && !kontext.filterbalkenSichtbar) return {Zahlungsbefehl::Loeschen, false};
  return {};
}

namespace {

// Enter and Tab while typing into lines move on like the old grid's Enter (right, then wrapping to
// the next line); on the last column the line is stored. The new row is offered only while the
// payment has fewer than five lines.
ZeilengitterAktion Weiter(const ZeilengitterTastenKontext& k) {
  using A = ZeilengitterAktion;
  const bool leereNeueZeile = k.neueZeile && !k.zeileAusstehend;
  if (!k.letzteSpalte) return A::ZelleWeiter;
  if (leereNeueZeile) return A::WieTab;
  const int zeilenDanach = k.zeilenAnzahl + (k.neueZeile ? 1 : 0);
  const bool naechsteIstNeu = k.zeile + 1 >= zeilenDanach;
  if (naechsteIstNeu && zeilenDanach >= MaximaleZeilen) return A::ZeileAbschliessen;
  return A::ZeileWeiter;
}

}  // namespace

ZeilengitterAktion ZeilengitterTaste(int taste, const ZeilengitterTastenKontext& k) {
  using A = ZeilengitterAktion;
  if (k.imFilter || k.listeOffen) return A::Keine;  // Esc and Enter belong to the open list
  const bool ohneModifikator = !(k.modifikatoren & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
  const bool tippen = k.eingabeModus && k.stil == ZeilengitterStil::Zellbearbeitung && k.zeile >= 0 && k.spalte >= 0;
  switch (taste) {
    case Qt::Key_Left:
    case Qt::Key_Right:
      // A filled cell is opened for editing instead of being left.
      if (k.imEditor || !ohneModifikator || k.editorOffen || k.spalte < 0 || k.zeile < 0 || k.zellTextLeer)
        return A::Keine;
      return taste == Qt::Key_Left ? A::ZelleOeffnenAnfang : A::ZelleOeffnenEnde;
    case Qt::Key_Escape:
      if (k.imEditor) return A::Keine;
      if (k.zeileAusstehend) return A::ZeileVerwerfen;
      if (k.stil == ZeilengitterStil::Zellbearbeitung) return A::Zeilenauswahl;
      return A::Schliessen;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      if (!k.eingabeModus) return A::Keine;
      if (k.stil == ZeilengitterStil::Zeilenauswahl) return A::Zellbearbeitung;
      const bool leereNeueZeile = k.zeile >= 0 && k.neueZeile && !k.zeileAusstehend;
      if (EnterSpeichertImZeilengitter(k.speicherfeld, k.feld, leereNeueZeile)) return A::Speichern;
      if (!tippen || (k.modifikatoren & (Qt::ControlModifier | Qt::AltModifier))) return A::Keine;
      return Weiter(k);
    }
    case Qt::Key_Tab:
      if (!tippen || !ohneModifikator) return A::Keine;
      return Weiter(k);
    case Qt::Key_Backtab:
      if (!tippen || (k.modifikatoren & (Qt::ControlModifier | Qt::AltModifier))) return A::Keine;
      if (!k.ersteSpalte) return A::ZelleZurueck;
      return k.zeile > 0 ? A::ZeileZurueck : A::WieUmschaltTab;
    case Qt::Key_Up:
    case Qt::Key_Down:
      // "AufAbPfeilVerwenden": up and down change the value in the number and date editors, as in
      // the fields outside the grid; without it they move between the lines.
      if (k.imEditor && ohneModifikator && k.aufAbPfeil && k.spalte >= 0 && k.editorOffen && k.wertEditor)
        return A::WertAendern;
      // Down on the line being typed into the new row stores it and opens the next one; between
      // stored lines the grid moves itself.
      if (taste == Qt::Key_Down && ohneModifikator && tippen && k.neueZeile && k.zeileAusstehend)
        return k.zeilenAnzahl + 1 >= MaximaleZeilen ? A::ZeileAbschliessen : A::ZeileRunter;
      return A::Keine;
    case Qt::Key_Delete:
      // The selected lines, or the current one, go through the payment's own delete (one transaction,
      // refused once the payment is done), never the grid's.
      if (k.imEditor || !k.eingabeModus) return A::Keine;
      return A::MarkierteLoeschen;
    case Qt::Key_F6:
      if (!k.neueZeilenErlaubt || k.zeile <= 0 || k.spalte < 0) return A::Keine;
      return A::WertVonOben;
    default: return A::Keine;
  }
}
