#include "sepafiles/core/SepaVorpruefung.h"

#include "zahlungsverkehr/Auftragspruefung.h"
#include "zahlungsverkehr/Bic.h"
#include "zahlungsverkehr/GlaeubigerId.h"
#include "zahlungsverkehr/Iban.h"
#include "zahlungsverkehr/SepaKennung.h"
#include "common/Textfunktionen.h"
#include "sepafiles/core/SepaText.h"

namespace SepaVorpruefung {

QString NachrichtenId(const QString& referenz) { return SepaZeichenWandeln(referenz); }

QString ReferenzMeldung(const QString& referenz) {
  const QString nachrichtenId = NachrichtenId(referenz);
  if (nachrichtenId.trimmed().isEmpty()) {
    return QStringLiteral(
        "Für Gutschriften und Lastschriften wird zwingend eine Referenz-Angabe benötigt.\r"
        "Die Referenz wird bei den Absender-Daten gespeichert und für jede einzelne\r"
        "SEPA-Datei hochgezählt, so dass für die nächste SEPA-Datei eine eindeutige\r"
        "Angabe vorhanden ist. Bitte tragen Sie die Referenz-Angabe ein.");
  }
  const SepaKennung::Fehler fehler = SepaKennung(nachrichtenId).Pruefen();
  if (fehler == SepaKennung::Fehler::Keiner) return {};
  return SepaKennung::Meldung(fehler, QStringLiteral("Die Referenz-Angabe")) +
         QStringLiteral("\r\rDie Referenz wird als Kennung der SEPA-Datei an die Bank "
                        "übermittelt. Bitte korrigieren Sie die Referenz-Angabe.");
}

QString AusfuehrungsdatumMeldung(const std::optional<QDate>& ausfuehrungsdatum, const QDate& erstellungsdatum) {
  if (!ausfuehrungsdatum || !ausfuehrungsdatum->isValid()) return {};
  const QDate bis = erstellungsdatum.addDays(14);
  if (*ausfuehrungsdatum >= erstellungsdatum && *ausfuehrungsdatum <= bis) return {};
  const QString format = QStringLiteral("dd.MM.yyyy");
  return QStringLiteral("Das Ausführungsdatum muß zwischen dem Erstellungsdatum \r") + erstellungsdatum.toString(format) +
         QStringLiteral(" und dem ") + bis.toString(format) + QStringLiteral(" liegen!\r\rBitte korrigieren/ergänzen Sie die Eingabe.");
}

QString GlaeubigerIdMeldung(const QString& glaeubigerId) {
  const GlaeubigerId id(glaeubigerId);
  const GlaeubigerId::Fehler fehler = id.Pruefen();
  if (fehler == GlaeubigerId::Fehler::Fehlt) {
    return QStringLiteral(
        "Für Lastschriften wird zwingend eine von der deutschen Bundesbank\r"
        "vergebene Gläubiger-ID benötigt.\r"
        "\r"
        "Falls Ihnen diese vorliegt, muss diese bei den Absender-Angaben eingetragen\r"
        "werden. Erst dann können Lastschriften verarbeitet werden.");
  }
  if (fehler == GlaeubigerId::Fehler::Keiner) return {};
  return QStringLiteral("Die Gläubiger-ID bei den Absender-Angaben ist ungültig:\r") + GlaeubigerId::Meldung(fehler) +
         QStringLiteral("\r\rBitte korrigieren Sie die Gläubiger-ID bei den Absender-Angaben.\r"
                        "Erst dann können Lastschriften verarbeitet werden.");
}

AbsenderMangel AbsenderPruefen(const SepaAbsender& absender, bool lastschrift) {
  // The name as the file carries it: nothing of it may be left after the conversion.
  if (SepaText::Gewandelt(absender.Name).isEmpty())
    return {QStringLiteral("Name"), QStringLiteral("Bei den Absender-Angaben fehlt der Name.")};
  if (const QString meldung = Auftragspruefung::AbsenderNameMeldung(absender.Name); !meldung.isEmpty())
    return {QStringLiteral("Name"), meldung};
  if (const Iban::Fehler f = Iban(absender.IBAN).Pruefen(); f != Iban::Fehler::Keiner)
    return {QStringLiteral("IBAN"), QStringLiteral("Die IBAN des Absenders ist ungültig:\r") + Iban::Meldung(f)};
  if (const Bic bic(absender.BIC); !bic.IstLeer() && !bic.Gueltig())
    return {QStringLiteral("BIC"), QStringLiteral("Die BIC des Absenders ist ungültig:\r") + Bic::Meldung(bic.Pruefen())};
  if (lastschrift) {
    const QString meldung = GlaeubigerIdMeldung(GlaeubigerId(absender.GlaeubigerID).Text());
    if (!meldung.isEmpty()) return {QStringLiteral("GläubigerID"), meldung};
  }
  return {};
}

QStringList VerwendeteReferenzen(Datenbank& db, const QString& iban, const QStringList& nachrichtenIds, DbFehler& fehler) {
  fehler = {};
  const QString konto = Iban(iban).Text();
  QStringList verwendet;
  if (konto.isEmpty()) return verwendet;   // no account, no file: the run refuses such a sender
  for (const QString& id : nachrichtenIds) {
    const std::optional<QVariant> anzahl = db.Wert(
        SqlText("SELECT COUNT(*) FROM GesendeteReferenzen WHERE IBAN = ? AND Referenz = ?"), {konto, id}, fehler);
    if (fehler) return {};
    if (anzahl && anzahl->toLongLong() > 0) verwendet << id;
  }
  return verwendet;
}

QString VerwendeteReferenzMeldung(const QString& nachrichtenId, const QString& iban) {
  return QStringLiteral("Die Referenz-Angabe \"%1\" wurde für dieses Konto (IBAN %2) bereits "
                        "in einer SEPA-Datei verwendet. Die Bank weist eine Datei zurück, "
                        "deren Kennung sie schon erhalten hat.\r"
                        "\r"
                        "Bitte tragen Sie eine neue Referenz-Angabe ein.")
      .arg(nachrichtenId, Iban(iban).Bloecke());
}

DbFehler ReferenzenMerken(Datenbank& db, int absenderNr, const QString& iban, const QStringList& nachrichtenIds,
                          const QDate& erstellt) {
  const QString konto = Iban(iban).Text();
  if (konto.isEmpty())
    return {DbFehlerNr::KeineTreffer,
            QStringLiteral("Beim Absender Nr. %1 fehlt die IBAN; die Referenz-Angabe kann keinem Konto "
                           "zugeordnet werden.").arg(absenderNr)};
  for (const QString& id : nachrichtenIds)
    if (DbFehler f = db.Ausfuehren(
            SqlText("INSERT INTO GesendeteReferenzen (IBAN, Referenz, AbsenderNr, Erstellt) VALUES (?, ?, ?, ?)"),
            {konto, id, absenderNr, erstellt}))
      return f;
  return {};
}

DbFehler ReferenzenVergessen(Datenbank& db, const QString& iban, const QStringList& nachrichtenIds) {
  const QString konto = Iban(iban).Text();
  for (const QString& id : nachrichtenIds)
    if (DbFehler f = db.Ausfuehren(SqlText("DELETE FROM GesendeteReferenzen WHERE IBAN = ? AND Referenz = ?"),
                                   {konto, id}))
      return f;
  return {};
}

}  // namespace SepaVorpruefung
