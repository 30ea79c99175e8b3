#include "payments/core/Tastenbelegung.h"

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
