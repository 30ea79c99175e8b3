#include "FensterTestumgebung.h"

#include <QApplication>
#include <QFile>

#include <gtest/gtest.h>

#include "common/Programmzustand.h"
#include "common/Uhr.h"
#include "masterdata/core/Suchkriterium.h"
#include "platform/db/Recordset.h"
#include "platform/settings/Registrierung.h"

FensterTestumgebung::FensterTestumgebung(const AdressQuellenInfo& quelle) : m_meldungen(std::make_unique<MeldungsRekorder>()) {
  Programmzustand::Instanz().Zuruecksetzen();
  Registrierung::Instanz().Loeschen(QStringLiteral("Formular State"));
  Uhr::Festhalten(QDateTime(Heute(), QTime(9, 0)));
  auto db = Datenbank::InSpeicher();
  QFile f(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  const DbFehler fehler = db->SkriptAusfuehren(QString::fromUtf8(f.readAll()));
  EXPECT_TRUE(fehler.Ok()) << fehler.Beschreibung.toStdString();
  Zustand().DatenbankUebernehmen(std::move(db), nullptr, quelle);
  Zustand().AktuelleAbsenderNrSetzen(1);
  Optionsschalter o;
  o.NeuMitSuchliste = false;
  Zustand().OptionenSetzen(o);
  m_meldungen->BeiUnerwartet([](const QString& was) { ADD_FAILURE() << "unerwartete Meldung: " << was.toStdString(); });
}

FensterTestumgebung::~FensterTestumgebung() {
  m_fenster.reset();
  Zustand().DatenbankSchliessen();
  Uhr::Setzen({});
}

Datenbank& FensterTestumgebung::Db() { return *Zustand().Datenbank(); }

qint64 FensterTestumgebung::ZahlungAnlegen(const Zahlung& z) {
  auto opt = [](const QString& s) { return s.isEmpty() ? QVariant() : QVariant(s); };
  const DbFehler f = Db().Ausfuehren(
      "INSERT INTO Zahlungen (AbsenderNr, Art, Name, MandatSequenz, \"Fällig\", Erledigt, ZahlungGesamt, IBAN, BIC, "
      "Verwendungszweck1, MandatReferenz, MandatDatum, OPKontoNr, \"Textschlüssel\", Bank) "
      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'Commerzbank')",
      {QVariant(z.absenderNr), QVariant(z.art), QVariant(z.name),
       z.mandatSequenz ? QVariant(*z.mandatSequenz) : QVariant(), z.faellig ? QVariant(*z.faellig) : QVariant(),
       QVariant(z.erledigt ? 1 : 0), z.gesamt ? QVariant::fromValue(*z.gesamt) : QVariant(), opt(z.iban), opt(z.bic),
       opt(z.verwendungszweck1), opt(z.mandatReferenz), z.mandatDatum ? QVariant(*z.mandatDatum) : QVariant(),
       opt(z.opKontoNr), opt(z.textschluessel)});
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  return Db().LetzteEinfuegeNr();
}

qint64 FensterTestumgebung::ZeileAnlegen(qint64 zahlungNr, int zeilenNr, const QString& text,
                                         std::optional<Waehrung> betrag) {
  const QVariant b = betrag ? QVariant::fromValue(*betrag) : QVariant();
  const DbFehler f = Db().Ausfuehren(
      "INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPBetrag, ZahlungsBetrag) "
      "VALUES (?, ?, ?, ?, ?)",
      {QVariant(zahlungNr), QVariant(zeilenNr), QVariant(text), b, b});
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  return Db().LetzteEinfuegeNr();
}

void FensterTestumgebung::AdresseAnlegen(const QString& nr, const QString& name, const QString& iban,
                                         const QString& bic, const QString& sequenz, const QString& referenz) {
  const DbFehler f = Db().Ausfuehren(
      "INSERT INTO Adressen (OPKontoNr, Name, Bank, BIC, IBAN, MandatReferenz, MandatDatum, MandatSequenz) "
      "VALUES (?, ?, 'Sparkasse', ?, ?, ?, ?, ?)",
      {QVariant(nr), QVariant(name), QVariant(bic), QVariant(iban), referenz.isEmpty() ? QVariant() : QVariant(referenz),
       referenz.isEmpty() ? QVariant() : QVariant(QDate(2023, 5, 1)), sequenz.isEmpty() ? QVariant() : QVariant(sequenz)});
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
}

QVariant FensterTestumgebung::Wert(const SqlText& sql, const QVariantList& parameter) {
  DbFehler f;
  const auto w = Db().Wert(sql, parameter, f);
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  return w.value_or(QVariant());
}

FormularZahlung& FensterTestumgebung::Fenster() {
  m_fenster.reset();
  m_fenster = std::make_unique<FormularZahlung>();
  m_fenster->SuchlisteSetzen([this](int modus, const Bedingung&, const Suchkriterium& k, bool, QVariantList& werte) {
    suchlistenAufrufe.append({modus, k.feld, k.wert});
    if (!suchlistenAntwort) return false;
    werte = *suchlistenAntwort;
    suchlistenAntwort.reset();
    return true;
  });
  m_fenster->SkontoAufrufSetzen([this](SkontoForm& dialog) {
    ++skontoAufrufe;
    if (skontoHandlung) skontoHandlung(dialog);
  });
  m_fenster->resize(900, 700);
  m_fenster->show();
  QApplication::processEvents();
  return *m_fenster;
}

void FensterTestumgebung::FensterSchliessen() {
  if (m_fenster) m_fenster->close();
  m_fenster.reset();
}
