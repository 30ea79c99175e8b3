#include "payments/core/Formulardarstellung.h"

const Schaltflaeche* Formulardarstellung::Suchen(Zahlungsbefehl befehl) const {
  for (const auto& s : schaltflaechen)
    if (s.befehl == befehl) return &s;
  return nullptr;
}

bool Formulardarstellung::Ausfuehrbar(Zahlungsbefehl befehl) const {
  switch (befehl) {
    case Zahlungsbefehl::Hilfe:
    case Zahlungsbefehl::Rechner:
      return true;
    case Zahlungsbefehl::Faelligkeit:
      return !eingabeModus;  // F6 only while browsing
    default: break;
  }
  const Schaltflaeche* s = Suchen(befehl);
  return s && s->sichtbar && s->aktiviert;
}

Formulardarstellung FormulardarstellungErmitteln(const ZahlungsformularZustand& zustand, int anzahlZahlungen,
                                                 const DarstellungsOptionen& optionen) {
  const bool eingabe = zustand.EingabeModus();
  auto text = [&](const QString& t) { return optionen.ohneText ? QString() : t; };
  auto knopf = [&](Zahlungsbefehl b, const QString& beschriftung, const QString& bild, const QString& tip) {
    Schaltflaeche s;
    s.befehl = b;
    s.schluessel = Schaltflaechenschluessel(b);
    s.beschriftung = text(beschriftung);
    s.bild = bild;
    s.tooltip = tip;
    return s;
  };

  Formulardarstellung d;
  Schaltflaeche neu = knopf(Zahlungsbefehl::Neu, eingabe ? QStringLiteral("Speichern<F9>") : QStringLiteral("&Neu<F9>"),
                            QStringLiteral("Neu"),
                            eingabe ? QStringLiteral("Zahlung speichern") : QStringLiteral("Neue Zahlung eingeben"));
  Schaltflaeche aendern = knopf(Zahlungsbefehl::Aendern, QStringLiteral("Ändern"), QStringLiteral("Ändern"),
                                QStringLiteral("Zahlung ändern"));
  aendern.sichtbar = !eingabe;
  aendern.aktiviert = anzahlZahlungen >= 1;
  Schaltflaeche kopieren = knopf(Zahlungsbefehl::Kopieren, QStringLiteral("&Kopieren"), QStringLiteral("Zahlung"),
                                 QStringLiteral("Aus einer vorhandenen Zahlung kopieren"));
  kopieren.sichtbar = eingabe;
  Schaltflaeche loeschen = knopf(Zahlungsbefehl::Loeschen, QStringLiteral("&Löschen"), QStringLiteral("Löschen"),
                                 QStringLiteral("Zahlung löschen"));
  loeschen.sichtbar = !eingabe;
  loeschen.aktiviert = anzahlZahlungen >= 1;
  Schaltflaeche suchen = knopf(Zahlungsbefehl::Suchen, QStringLiteral("&Suchen"), QStringLiteral("Suchen"),
                               zustand.Suchmodus() ? QStringLiteral("Suchmodus ausschalten")
                                                   : QStringLiteral("Suchmodus einschalten"));
  suchen.sichtbar = !eingabe;
  Schaltflaeche import = knopf(Zahlungsbefehl::Import, QStringLiteral("&Import"), QStringLiteral("Import"),
                               QStringLiteral("Zahlungen importieren aus anderen Tamo-Programmen"));
  // Shown without linked open items too: its press says why nothing can be imported and where to link them.
  import.sichtbar = !eingabe;
  Schaltflaeche skonto = knopf(Zahlungsbefehl::Skonto, QStringLiteral("S&konto"), QStringLiteral("Skonto"),
                               QStringLiteral("Zahlungen mit Skonto bearbeiten"));
  skonto.sichtbar = !eingabe;
  skonto.aktiviert = anzahlZahlungen > 0;
  Schaltflaeche pruefen = knopf(Zahlungsbefehl::Pruefen, QStringLiteral("&Prüfen"), QStringLiteral("Prüfen"),
                                zustand.NurFehlerhafte() ? QStringLiteral("Prüfmodus ausschalten")
                                                         : QStringLiteral("Zahlungen auf Fehler prüfen"));
  pruefen.sichtbar = !eingabe;
  pruefen.aktiviert = zustand.NurFehlerhafte() || anzahlZahlungen > 0;
  Schaltflaeche schliessen =
      knopf(Zahlungsbefehl::Schliessen, eingabe ? QStringLiteral("Abbruch<ESC>") : QStringLiteral("Schließen"),
            QStringLiteral("Schliessen"),
            eingabe ? QStringLiteral("Eingabe abbrechen ohne speichern") : QStringLiteral("Arbeitsfenster schließen"));
  d.schaltflaechen = {neu, aendern, kopieren, loeschen, suchen, import, skonto, pruefen, schliessen};

  // The limit of F6 hides payments: the caption says so, and how to show them all again.
  d.fenstertitel = QStringLiteral("Zahlungen erfassen");
  if (const auto& bis = zustand.FaelligBis())
    d.fenstertitel += QStringLiteral(" \u2013 nur fällig bis %1 (alle wieder: F6, dann \u201EAbbruch\u201C)")
                          .arg(bis->toString(QStringLiteral("dd.MM.yyyy")));
  switch (zustand.Modus()) {
    case Formularmodus::Blaettern: d.navigatorBeschriftung = QStringLiteral("Blättern"); break;
    case Formularmodus::Neueingabe: d.navigatorBeschriftung = QStringLiteral("Neueingabe"); break;
    case Formularmodus::Aendern: d.navigatorBeschriftung = QStringLiteral("Ändern"); break;
  }
  d.eingabeModus = eingabe;
  d.rahmenAktiv = !eingabe;
  d.eingabefelderAktiv = eingabe;
  d.mandatfelderAktiv = eingabe && zustand.IstLastschrift();
  d.zeilengitterBearbeitbar = eingabe;
  switch (zustand.AktuelleZahlart()) {
    case Zahlart::Ueberweisung: d.gesamtsummeBeschriftung = QStringLiteral("Gesamtsumme Gutschriften"); break;
    case Zahlart::BasisLastschrift: d.gesamtsummeBeschriftung = QStringLiteral("Gesamtsumme Basis-Lastschriften"); break;
    case Zahlart::FirmenLastschrift: d.gesamtsummeBeschriftung = QStringLiteral("Gesamtsumme Firmen-Lastschriften"); break;
  }
  d.farbeBlau = zustand.IstLastschrift();
  return d;
}

std::optional<QString> NavigatorTooltip(int bereich) {
  switch (bereich) {
    case 0: return QString();
    case 1: return QStringLiteral("Aktueller Modus");
    case 3: return QStringLiteral("Erster Datensatz");
    case 4: return QStringLiteral("Letzter Datensatz");
    case 5: return QStringLiteral("Vorherige Seite");
    case 6: return QStringLiteral("Nächste Seite");
    case 7: return QStringLiteral("Vorheriger Datensatz");
    case 8: return QStringLiteral("Nächster Datensatz");
    default: return std::nullopt;
  }
}

QString ImportOhneVerknuepfungMeldung() {
  return QStringLiteral(
      "Für den aktiven Absender ist keine Datenbank der Buchhaltung (Tamo-Livra) oder der Auftragsbearbeitung "
      "(Tamo-Ordel) verknüpft; es gibt daher keine offenen Posten, die übernommen werden könnten.\r\r"
      "Stellen Sie im Hauptfenster unter „Absender“ beim Absender das Adressenformat und bei „Verbindung“ die "
      "Datenbank des Programms ein und aktivieren Sie ihn.");
}
