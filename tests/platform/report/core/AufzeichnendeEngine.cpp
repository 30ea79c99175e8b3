#include "AufzeichnendeEngine.h"

#include <algorithm>

int AufzeichnendeEngine::Anzahl(const QString& aufruf) const {
  int n = 0;
  for (const QString& a : aufrufe) n += a.startsWith(aufruf) ? 1 : 0;
  return n;
}

int AufzeichnendeEngine::Position(const QString& aufruf) const {
  for (qsizetype i = 0; i < aufrufe.size(); ++i)
    if (aufrufe.at(i).startsWith(aufruf)) return int(i);
  return -1;
}

int AufzeichnendeEngine::Antwort(const QString& name, int vorgabe) {
  auto it = antworten.find(name);
  if (it == antworten.end() || it->isEmpty()) return vorgabe;
  return it->takeFirst();
}

QString AufzeichnendeEngine::Dateiendung(int projektTyp) {
  aufrufe << QStringLiteral("Dateiendung(%1)").arg(projektTyp);
  return projektTyp == Report::Liste ? QStringLiteral("lst") : QString();
}

int AufzeichnendeEngine::DateiAuswaehlen(QObject*, const QString& titel, int projektTyp, QString& datei) {
  aufrufe << QStringLiteral("DateiAuswaehlen(%1,%2,%3)").arg(titel).arg(projektTyp).arg(datei);
  const int r = Antwort(QStringLiteral("DateiAuswaehlen"));
  if (r == Report::Ok) datei = gewaehlteDatei;
  return r;
}

void AufzeichnendeEngine::SortierungenBeginnen() { aufrufe << QStringLiteral("SortierungenBeginnen()"); }
void AufzeichnendeEngine::SortierungDefinieren(const QString& kennung, const QString& text) {
  aufrufe << QStringLiteral("SortierungDefinieren(%1,%2)").arg(kennung, text);
}
void AufzeichnendeEngine::FelderBeginnen() { aufrufe << QStringLiteral("FelderBeginnen()"); }
void AufzeichnendeEngine::VariablenBeginnen() { aufrufe << QStringLiteral("VariablenBeginnen()"); }

void AufzeichnendeEngine::VariableDefinieren(const QString& name, const QVariant& wert, Report::Typ typ) {
  aufrufe << QStringLiteral("VariableDefinieren(%1)").arg(name);
  variablen << Definition{name, wert, typ};
  aktuell.insert(name, wert);
}

void AufzeichnendeEngine::FeldDefinieren(const QString& name, const QVariant& wert, Report::Typ typ) {
  aufrufe << QStringLiteral("FeldDefinieren(%1)").arg(name);
  felder << Definition{name, wert, typ};
  aktuell.insert(name, wert);
}

int AufzeichnendeEngine::DruckStarten(int projektTyp, const QString& datei, QObject*, const QString& boxTitel) {
  aufrufe << QStringLiteral("DruckStarten(%1,%2,%3)").arg(projektTyp).arg(datei, boxTitel);
  return Antwort(QStringLiteral("DruckStarten"));
}

int AufzeichnendeEngine::Designer(QObject*, const QString& titel, int projektTyp, const QString& datei) {
  aufrufe << QStringLiteral("Designer(%1,%2,%3)").arg(titel).arg(projektTyp).arg(datei);
  return designerErgebnis;
}

void AufzeichnendeEngine::ExportParameterSetzen(const QString& format, const QString& schluessel, const QString& wert) {
  aufrufe << QStringLiteral("ExportParameterSetzen(%1,%2,%3)").arg(format, schluessel, wert);
  export_.insert(schluessel, wert);
}

void AufzeichnendeEngine::ExportFormatSetzen(const QString& format) {
  aufrufe << QStringLiteral("ExportFormatSetzen(%1)").arg(format);
}

int AufzeichnendeEngine::OptionenDialog(QObject*, const QString& titel, const QString& text) {
  aufrufe << QStringLiteral("OptionenDialog(%1,%2)").arg(titel, text);
  return Antwort(QStringLiteral("OptionenDialog"));
}

int AufzeichnendeEngine::DruckOption(int option) {
  aufrufe << QStringLiteral("DruckOption(%1)").arg(option);
  return optionen.value(option);
}

int AufzeichnendeEngine::DruckOptionSetzen(int option, int wert) {
  aufrufe << QStringLiteral("DruckOptionSetzen(%1,%2)").arg(option).arg(wert);
  optionen.insert(option, wert);
  return Antwort(QStringLiteral("DruckOptionSetzen"));
}

QString AufzeichnendeEngine::Sortierung() {
  aufrufe << QStringLiteral("Sortierung()");
  return sortierung;
}

int AufzeichnendeEngine::AktuelleSeite() { return seite; }

bool AufzeichnendeEngine::FeldBenutzt(const QString& name) {
  aufrufe << QStringLiteral("FeldBenutzt(%1)").arg(name);
  return alleBenutzt || benutzt.contains(name);
}

bool AufzeichnendeEngine::VariableBenutzt(const QString& name) {
  aufrufe << QStringLiteral("VariableBenutzt(%1)").arg(name);
  return alleBenutzt || benutzt.contains(name);
}

int AufzeichnendeEngine::BoxTextSetzen(const QString& text, int prozent) {
  aufrufe << QStringLiteral("BoxTextSetzen(%1)").arg(prozent);
  prozente << prozent;
  Q_UNUSED(text);
  return Antwort(QStringLiteral("BoxTextSetzen"));
}

int AufzeichnendeEngine::Drucken() {
  aufrufe << QStringLiteral("Drucken()");
  const int r = Antwort(QStringLiteral("Drucken"));
  if (r != Report::Ok) return r;
  if (etikett) {
    seite = std::max(seite, 1);
    zeilen << aktuell;
    return Report::Ok;
  }
  if (seite == 0 || m_umbruch) {
    ++seite;
    m_umbruch = false;
    m_zeilenAufSeite = 0;
  }
  return Report::Ok;
}

int AufzeichnendeEngine::FelderDrucken() {
  aufrufe << QStringLiteral("FelderDrucken()");
  const int r = Antwort(QStringLiteral("FelderDrucken"));
  if (r != Report::Ok) return r;
  if (zeilenJeSeite > 0 && m_zeilenAufSeite >= zeilenJeSeite) {
    m_umbruch = true;
    return Report::Wiederholen;
  }
  ++m_zeilenAufSeite;
  zeilen << aktuell;
  return Report::Ok;
}

int AufzeichnendeEngine::FelderEnde() {
  aufrufe << QStringLiteral("FelderEnde()");
  return Antwort(QStringLiteral("FelderEnde"));
}

void AufzeichnendeEngine::DruckAbbrechen() {
  aufrufe << QStringLiteral("DruckAbbrechen()");
  abgebrochen = true;
}

int AufzeichnendeEngine::DruckEnde(int flags) {
  aufrufe << QStringLiteral("DruckEnde(%1)").arg(flags);
  return Antwort(QStringLiteral("DruckEnde"));
}

void AufzeichnendeEngine::VorschauAnzeigen(const QString& datei, const QString&, QObject*) {
  aufrufe << QStringLiteral("VorschauAnzeigen(%1)").arg(datei);
}

void AufzeichnendeEngine::VorschauDateienLoeschen(const QString& datei, const QString&) {
  aufrufe << QStringLiteral("VorschauDateienLoeschen(%1)").arg(datei);
}
