#include "common/Programmzustand.h"

#include <QDir>

#include "common/Dateifunktionen.h"
#include "common/Uhr.h"
#include "platform/db/Recordset.h"
#include "platform/settings/Registrierung.h"

Programmzustand::Programmzustand() = default;
Programmzustand::~Programmzustand() = default;

Programmzustand& Programmzustand::Instanz() {
  static Programmzustand zustand;
  return zustand;
}

void Programmzustand::DatenbankUebernehmen(std::unique_ptr<::Datenbank> db, std::unique_ptr<Recordset> absenderDaten,
                                           const AdressQuellenInfo& quelle) {
  DatenbankSchliessen();
  m_datenbank = std::move(db);
  m_absenderDaten = std::move(absenderDaten);
  m_adressQuelle = quelle;
  m_arbeitsbereich.SetzeDatenbank(m_datenbank.get());
}

void Programmzustand::DatenbankSchliessen() {
  m_absenderDaten.reset();  // the recordset before its database
  m_arbeitsbereich.SetzeDatenbank(nullptr);
  m_datenbank.reset();
  m_adressQuelle = AdressQuellenInfo::Intern();
}

void Programmzustand::ProgrammVerzeichnisSetzen(const QString& ordner) {
  m_programmVerzeichnis = BackslashAnhaengen(QDir::toNativeSeparators(ordner));
  m_hilfeDatei = HilfeOrdner() + QDir::separator() + QStringLiteral("index.html");
  m_tabellenLayoutDatei = m_programmVerzeichnis + QStringLiteral("TamoSEPATabellenLayout.GRD");
}

void Programmzustand::DatenVerzeichnisSetzen(const QString& ordner) {
  m_datenVerzeichnis = BackslashAnhaengen(QDir::toNativeSeparators(ordner));
}

void Programmzustand::StartwerteLesen() {
  const QString abschnitt = QStringLiteral("Window State");
  const int nr = EinstellungZahl(GetSetting(abschnitt, QStringLiteral("AbsenderNr"), QStringLiteral("1"))).value_or(1);
  m_aktuelleAbsenderNr = nr >= 1 ? nr : 1;   // sender numbers start at 1
  m_optionen = Optionsschalter::AusRegistrierung();
  for (int i = 0; i < 6; ++i)
    m_kopierfeld[i] = GetSetting(QStringLiteral("Formular State"), QStringLiteral("Kopierfeld") + QString::number(i),
                                 QStringLiteral("0")).trimmed() == QLatin1String("1");
  m_reportDatum = Uhr::Heute();
}

void Programmzustand::Zuruecksetzen() {
  DatenbankSchliessen();
  m_aktuelleAbsenderNr = 1;
  m_programmVerzeichnis.clear();
  m_datenVerzeichnis.clear();
  m_hilfeDatei.clear();
  m_tabellenLayoutDatei.clear();
  m_pdfDateiname.clear();
  m_pdfPfad.clear();
  m_reportDatum = QDate();
  m_optionen = Optionsschalter();
  m_kopierfeld = {};
  m_gemeldet.clear();
}
