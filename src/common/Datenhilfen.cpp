#include "common/Datenhilfen.h"

#include "common/Programmzustand.h"

DbFehler KeineDatenbankFehler() {
  return {DbFehlerNr::DateiFehler, QStringLiteral("Die Datenbank ist nicht geöffnet.")};
}

QString DatenermittlungsFehlertext(const DbFehler& fehler, const QString& abfrage) {
  const QString text = QStringLiteral("Fehler bei der Datenermittlung!\r\r") + fehler.Meldungstext();
  return abfrage.isEmpty() ? text : text + QLatin1Char('\r') + abfrage;
}

QString EinstellungLesen(Datenbank& db, const QString& schluessel, const QString& vorgabe, bool memo,
                         DbFehler* fehler) {
  DbFehler f;
  const SqlText sql = memo ? SqlText("SELECT memowert FROM Einstellungen WHERE einstellung = ?")
                           : SqlText("SELECT Wert FROM Einstellungen WHERE einstellung = ?");
  const std::optional<QVariant> wert = db.Wert(sql, {schluessel}, f);
  if (fehler) *fehler = f;
  if (f || !wert || wert->isNull()) return vorgabe;
  const QString text = wert->toString().trimmed();
  return text.isEmpty() ? vorgabe : text;
}

QString EinstellungLesen(const QString& schluessel, const QString& vorgabe, bool memo, DbFehler* fehler) {
  Datenbank* db = Zustand().Datenbank();
  if (!db) {
    if (fehler) *fehler = KeineDatenbankFehler();
    return vorgabe;
  }
  return EinstellungLesen(*db, schluessel, vorgabe, memo, fehler);
}

DbFehler EinstellungSpeichern(Datenbank& db, const QString& schluessel, const QString& wert, bool memo) {
  // The key compares without regard to case (collation TAMO), as the old index did.
  const SqlText sql =
      memo ? SqlText("INSERT INTO Einstellungen (einstellung, memowert) VALUES (?, ?) "
                     "ON CONFLICT (einstellung) DO UPDATE SET memowert = excluded.memowert")
           : SqlText("INSERT INTO Einstellungen (einstellung, Wert) VALUES (?, ?) "
                     "ON CONFLICT (einstellung) DO UPDATE SET Wert = excluded.Wert");
  return db.Ausfuehren(sql, {schluessel, wert});
}

DbFehler EinstellungSpeichern(const QString& schluessel, const QString& wert, bool memo) {
  Datenbank* db = Zustand().Datenbank();
  if (!db) return KeineDatenbankFehler();
  return EinstellungSpeichern(*db, schluessel, wert, memo);
}
