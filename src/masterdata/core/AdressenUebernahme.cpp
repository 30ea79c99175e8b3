#include "masterdata/core/AdressenUebernahme.h"

#include <QSet>
#include <QVariant>

#include <cmath>
#include <optional>
#include <vector>

#include "platform/db/Datenbank.h"
#include "platform/settings/Registrierung.h"

namespace {

constexpr const char* Felder[] = {"OPKontoNr", "Suchname", "Name", "Bank", "BLZ", "KontoNr"};
constexpr int FeldAnzahl = 6;
constexpr int MaxAbgewieseneInMeldung = 20;

struct Quellzeile {
  qint64 zeile = 0;                     // position in the file, for addresses without a number
  std::optional<QString> werte[FeldAnzahl];
  QString fehler;                       // why it cannot be stored; empty when fine
};

QString Zeilen(const QStringList& z) { return z.join(QLatin1Char('\r')); }

QString Fehlschlag(const QString& was, const DbFehler& f) {
  return Zeilen({was, QString(), f.Meldungstext()});
}

// Values of the old file as text; a blob is no text.
std::optional<QString> AlsText(const QVariant& v, bool& ungueltig) {
  if (v.isNull() || !v.isValid()) return std::nullopt;
  switch (v.typeId()) {
    case QMetaType::QByteArray:
      ungueltig = true;
      return std::nullopt;
    case QMetaType::Double: {
      const double d = v.toDouble();
      if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15) return QString::number(static_cast<qint64>(d));
      return QString::number(d, 'g', 15);
    }
    default:
      return v.toString();
  }
}

}  // namespace

QString AdressenUebernahmeErgebnis::Zusammenfassung() const {
  QStringList z;
  z << (Neu == 1 ? QStringLiteral("Es wurde 1 neue Adresse übernommen.")
                 : QStringLiteral("Es wurden %1 neue Adressen übernommen.").arg(Neu))
    << (Uebersprungen == 1 ? QStringLiteral("1 Adresse war bereits vorhanden und wurde übersprungen.")
                           : QStringLiteral("%1 Adressen waren bereits vorhanden und wurden übersprungen.").arg(Uebersprungen));
  if (!Abgewiesen.isEmpty()) {
    z << QString()
      << (Abgewiesen.size() == 1 ? QStringLiteral("1 Adresse konnte nicht übernommen werden:")
                                 : QStringLiteral("%1 Adressen konnten nicht übernommen werden:").arg(Abgewiesen.size()));
    z << Abgewiesen.mid(0, MaxAbgewieseneInMeldung);
    if (Abgewiesen.size() > MaxAbgewieseneInMeldung) z << QStringLiteral("...");
  }
  return Zeilen(z);
}

QString AdressenUebernahme::GemerkteDatei() {
  return Registrierung::Instanz().Lesen(Abschnitt(), Schluessel(), VorgabeDatei());
}

void AdressenUebernahme::DateiMerken(const QString& datei) {
  Registrierung::Instanz().Schreiben(Abschnitt(), Schluessel(), datei);
}

AdressenUebernahmeErgebnis AdressenUebernahme::Uebernehmen(Datenbank& ziel, const QString& quellDatei) {
  AdressenUebernahmeErgebnis ergebnis;
  const QString titel = QStringLiteral("Die Adressen konnten nicht aus der Datei %1 übernommen werden.").arg(quellDatei);

  // Read the old file completely first: it is closed again before our transaction begins.
  std::vector<Quellzeile> zeilen;
  {
    DbFehler f;
    std::unique_ptr<Datenbank> quelle = Datenbank::OeffnenNurLesen(quellDatei, f);
    if (!quelle) {
      ergebnis.Meldung = Fehlschlag(titel, f);
      return ergebnis;
    }
    qint64 nr = 0;
    f = quelle->Abfragen(SqlText("SELECT OPKontoNr, Suchname, Name, Bank, BLZ, KontoNr FROM Adressen"),
                         {}, [&](const Zeile& z) {
                           Quellzeile q;
                           q.zeile = ++nr;
                           for (int i = 0; i < FeldAnzahl; ++i) {
                             bool ungueltig = false;
                             q.werte[i] = AlsText(z.Wert(i), ungueltig);
                             if (ungueltig && q.fehler.isEmpty())
                               q.fehler = QStringLiteral("%1 ist kein Text").arg(QLatin1String(Felder[i]));
                           }
                           zeilen.push_back(std::move(q));
                           return true;
                         });
    if (f) {
      ergebnis.Meldung = Fehlschlag(titel, f);
      return ergebnis;
    }
  }

  const QString tabelle = QStringLiteral("main.Adressen");
  int groesse[FeldAnzahl];
  for (int i = 0; i < FeldAnzahl; ++i) groesse[i] = ziel.FeldGroesse(tabelle, QLatin1String(Felder[i]));

  Transaktion t(ziel);
  if (t.Fehler()) {
    ergebnis.Meldung = Fehlschlag(titel, t.Fehler());
    return ergebnis;
  }
  // The numbers already there, in the form in which the program compares keys (case and umlauts alike).
  QSet<QString> vorhanden;
  if (const DbFehler f = ziel.Abfragen(SqlText("SELECT OPKontoNr FROM main.Adressen"), {}, [&](const Zeile& z) {
        vorhanden.insert(TamoVergleichsform(z.Wert(0).toString()));
        return true;
      })) {
    ergebnis.Meldung = Fehlschlag(titel, f);
    return ergebnis;
  }
  for (Quellzeile& q : zeilen) {
    const QString nr = q.werte[0].value_or(QString());
    if (q.fehler.isEmpty() && nr.trimmed().isEmpty()) q.fehler = QStringLiteral("ohne Adress-Nr.");
    for (int i = 0; i < FeldAnzahl && q.fehler.isEmpty(); ++i) {
      if (groesse[i] > 0 && q.werte[i] && q.werte[i]->size() > groesse[i])
        q.fehler = QStringLiteral("%1 ist länger als %2 Zeichen").arg(QLatin1String(Felder[i])).arg(groesse[i]);
    }
    if (!q.fehler.isEmpty()) {
      const QString wer = nr.trimmed().isEmpty() ? QStringLiteral("Zeile %1").arg(q.zeile) : nr;
      ergebnis.Abgewiesen << wer + QStringLiteral(": ") + q.fehler;
      continue;
    }

    if (vorhanden.contains(TamoVergleichsform(nr))) {
      ++ergebnis.Uebersprungen;
      continue;
    }
    QVariantList werte;
    for (const auto& w : q.werte) werte << (w ? QVariant(*w) : QVariant());
    DbFehler f = ziel.Ausfuehren(SqlText("INSERT INTO main.Adressen (OPKontoNr, Suchname, Name, Bank, BLZ, KontoNr) "
                                "VALUES (?, ?, ?, ?, ?, ?)"),
                        werte);
    if (f) {
      ergebnis = {};
      ergebnis.Meldung =
          Fehlschlag(QStringLiteral("Die Adresse %1 konnte nicht übernommen werden. Es wurde keine Adresse übernommen.")
                         .arg(nr),
                     f);
      return ergebnis;
    }
    vorhanden.insert(TamoVergleichsform(nr));
    ++ergebnis.Neu;
  }
  if (const DbFehler f = t.Commit()) {
    ergebnis = {};
    ergebnis.Meldung = Fehlschlag(titel + QStringLiteral(" Es wurde keine Adresse übernommen."), f);
    return ergebnis;
  }
  ergebnis.Ok = true;
  return ergebnis;
}
